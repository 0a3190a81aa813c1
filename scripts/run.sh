#!/usr/bin/env bash
# Installs what is missing, builds a release Pimrose and starts it. On a machine without a display it
# starts Pimrose on a virtual display (Xvfb), drops a folder of generated sample pictures onto it and
# writes a screenshot of the main window once the thumbnails are in.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh build test
cmake --preset release -DPIMROSE_BUILD_TESTS=OFF -DPIMROSE_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target pimrose
binary=build/release/src/pimrose

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$binary"
fi
cmake --build --preset release --target pimrose_drag_source >/dev/null
echo "Drawing the sample pictures (once, in build/samples)..."
scripts/make-samples.sh build/samples
exec scripts/run-on-xvfb.sh "$binary" screenshots/main-window.png build/samples build/release/pimrose_drag_source
