#!/usr/bin/env bash
# The Debian package: cpack makes it from a build folder, it unpacks into a private root with the
# binary, the desktop entry and the icon where a desktop finds them, declares what it needs, and its
# desktop entry passes desktop-file-validate. Usage: deb_package.sh BUILD_FOLDER
set -u
build=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/pimrose-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
fails=0
check() {
  local what=$1
  shift
  if "$@" >/dev/null 2>&1; then echo "PASS: $what"; else echo "FAIL: $what"; fails=$((fails + 1)); fi
}

if ! cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  echo "FAIL: cpack"
  cat "$work/cpack.log"
  exit 1
fi
deb=$(find "$work/out" -maxdepth 1 -name 'pimrose_*.deb' | head -1)
check "cpack made pimrose_VERSION_ARCH.deb" test -n "$deb"
[ -n "$deb" ] || exit 1

root=$work/root
dpkg -x "$deb" "$root"
(cd "$root" && find . -type f | sort) >"$work/files"
expected=$(printf '%s\n' ./usr/bin/pimrose ./usr/share/applications/pimrose.desktop \
  ./usr/share/icons/hicolor/256x256/apps/pimrose.png ./usr/share/icons/hicolor/512x512/apps/pimrose.png | sort)
check "the package holds exactly the binary, the desktop entry and the icons" \
  diff <(echo "$expected") "$work/files"
check "the binary is executable" test -x "$root/usr/bin/pimrose"
check "desktop-file-validate accepts the desktop entry" \
  desktop-file-validate "$root/usr/share/applications/pimrose.desktop"
check "the entry starts the installed binary and names the installed icon" \
  grep -qx 'Exec=pimrose' "$root/usr/share/applications/pimrose.desktop"
check "the 256 icon is a 256x256 PNG" \
  bash -c "file '$root/usr/share/icons/hicolor/256x256/apps/pimrose.png' | grep -q '256 x 256'"
check "the 512 icon is a 512x512 PNG" \
  bash -c "file '$root/usr/share/icons/hicolor/512x512/apps/pimrose.png' | grep -q '512 x 512'"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in libqt6widgets6 libqt6gui6 libturbojpeg0 libpng16-16 libgif7 libheif1 libjxl0.7 liblcms2-2 \
  qt6-qpa-plugins qt6-image-formats-plugins; do
  check "depends on $needed" grep -q "\\b$needed\\b" <<<"$depends"
done
check "the package is for this machine's architecture" \
  test "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)"

[ "$fails" -eq 0 ] && echo "all passed"
[ "$fails" -eq 0 ]
