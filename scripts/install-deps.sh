#!/usr/bin/env bash
# Installs the Debian packages Pimrose needs to build, run and test, and only those missing.
# Usage: scripts/install-deps.sh [build|test|bench|fuzz]...   (default: build)
set -euo pipefail

build_packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-image-formats-plugins
  libturbojpeg0-dev libjpeg62-turbo-dev libpng-dev libdeflate-dev libgif-dev libfontconfig-dev
  libheif-dev libjxl-dev liblcms2-dev zlib1g-dev
  libxcb1-dev libxcb-keysyms1-dev libx11-dev
  qt6-wayland
  fonts-wqy-microhei
)
test_packages=(
  libgtest-dev libgmock-dev googletest
  xvfb xauth xdotool x11-utils imagemagick xclip openbox trayer
  python3 clang-tidy clang-format libbenchmark-dev
  dbus-daemon dbus-bin
  sway xwayland grim wtype wl-clipboard libwayland-dev
  fuse3 libfuse3-dev
  dpkg-dev file desktop-file-utils lintian appstream webp libtiff-tools
  libheif-examples libavif-bin libjxl-tools
)
# Start-up is timed on a real X server: on Qt's offscreen platform an empty window starts in half
# the time, and the ratio means nothing.
bench_packages=(libbenchmark-dev libvips-tools libgdk-pixbuf2.0-bin findutils python3 libheif-examples libjxl-tools
  imagemagick xvfb)
# libFuzzer and its sanitizer runtimes come with clang (fuzz/run).
fuzz_packages=(clang-14 libclang-rt-14-dev)

wanted=()
for group in "${@:-build}"; do
  case "$group" in
    build) wanted+=("${build_packages[@]}") ;;
    test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
    bench) wanted+=("${build_packages[@]}" "${bench_packages[@]}") ;;
    fuzz) wanted+=("${build_packages[@]}" "${fuzz_packages[@]}") ;;
    *) echo "unknown package group: $group" >&2; exit 2 ;;
  esac
done

missing=()
for pkg in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
