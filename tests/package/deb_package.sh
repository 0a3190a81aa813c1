#!/usr/bin/env bash
# The Debian package: cpack makes it from a build folder, it unpacks into a private root with the
# binary, the desktop entry, the icon, the manual page, the copyright file, the changelog and the
# AppStream metadata where a desktop and a distribution look for them, declares what it needs, and
# passes lintian --pedantic, desktop-file-validate and appstreamcli. The hardening lintian looks for
# is demanded of the packaged build (Release, flags from dpkg-buildflags); a sanitizer or debug
# build folder, such as the test command's, is excused from it. Usage: deb_package.sh BUILD_FOLDER
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

# The package's maintainer is whoever makes it; this test is.
export DEBFULLNAME="Pimrose package test" DEBEMAIL=package-test@pimrose.invalid
maintainer="$DEBFULLNAME <$DEBEMAIL>"
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
  ./usr/share/icons/hicolor/256x256/apps/pimrose.png ./usr/share/icons/hicolor/512x512/apps/pimrose.png \
  ./usr/share/man/man1/pimrose.1.gz ./usr/share/doc/pimrose/copyright ./usr/share/doc/pimrose/changelog.gz \
  ./usr/share/metainfo/io.github.pimrose.Pimrose.metainfo.xml | sort)
check "the package holds exactly the binary, the desktop entry, the icons and the documents" \
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
for needed in libqt6widgets6 libqt6gui6 libjpeg62-turbo libpng16-16 libgif7 libheif1 libjxl0.7 liblcms2-2 \
  qt6-qpa-plugins qt6-wayland qt6-image-formats-plugins; do
  check "depends on $needed" grep -q "\\b$needed\\b" <<<"$depends"
done
check "the package is for this machine's architecture" \
  test "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)"

# A new version needs its own changelog entry and release entry, not the last one's.
version=$(dpkg-deb -f "$deb" Version)
check "the changelog's latest entry is this version ($version)" \
  test "$(zcat "$root/usr/share/doc/pimrose/changelog.gz" | head -1)" = "pimrose ($version) unstable; urgency=medium"
check "the metainfo's latest release is this version" \
  grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/io.github.pimrose.Pimrose.metainfo.xml"
check "the maintainer is whoever made the package, and signed the changelog" \
  bash -c "[ \"\$(dpkg-deb -f '$deb' Maintainer)\" = '$maintainer' ] &&
    zcat '$root/usr/share/doc/pimrose/changelog.gz' | grep -qF ' -- $maintainer  '"

# AppStream: the metainfo, and that its launchable names the desktop entry the package holds.
if appstreamcli validate-tree --no-net --strict --pedantic "$root" >"$work/appstream.log" 2>&1; then
  echo "PASS: appstreamcli validate-tree --strict (pedantic hints listed below)"
else
  echo "FAIL: appstreamcli validate-tree --strict"
  fails=$((fails + 1))
fi
sed -n 's/^ *P: /  appstream pedantic: /p' "$work/appstream.log"

# lintian at every level. Only the packaged build must show no hardening gaps; the tags excused
# elsewhere come from building without dpkg-buildflags (a sanitizer build at -O0 fortifies nothing).
excused=()
if ! grep -q '^PIMROSE_DPKG_BUILDFLAGS:BOOL=ON$' "$build/CMakeCache.txt"; then
  excused=(hardening-no-fortify-functions hardening-no-bindnow hardening-no-relro)
  echo "NOTE: $build is not built with dpkg-buildflags; excused: ${excused[*]}"
fi
if lintian --pedantic --display-info --display-experimental --no-tag-display-limit --fail-on none \
  "$deb" >"$work/lintian.log" 2>&1; then
  # A line a tag: "I: pimrose: hardening-no-bindnow [usr/bin/pimrose]".
  unexcused=$(awk 'NR == FNR { excused[$1]; next } /^[EWIPXO]: / && !($3 in excused)' \
    <(printf '%s\n' "${excused[@]:-}") "$work/lintian.log")
  if [ -z "$unexcused" ]; then
    echo "PASS: lintian --pedantic: no tag but the excused ($(grep -c '^[EWIPXO]: ' "$work/lintian.log") shown)"
  else
    echo "FAIL: lintian --pedantic:"
    echo "$unexcused"
    fails=$((fails + 1))
  fi
else
  echo "FAIL: lintian did not run"
  cat "$work/lintian.log"
  fails=$((fails + 1))
fi

[ "$fails" -eq 0 ] && echo "all passed"
[ "$fails" -eq 0 ]
