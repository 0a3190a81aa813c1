#!/usr/bin/env bash
# Starts Pimrose on a virtual display (Xvfb) when the machine has none, writes a screenshot of its main
# window and keeps it running until Pimrose ends (Ctrl+C stops both).
# Usage: scripts/run-on-xvfb.sh BINARY [SCREENSHOT.png]
set -euo pipefail
binary=$(realpath "$1")
shot=$(realpath -m "${2:-screenshots/main-window.png}")
mkdir -p "$(dirname "$shot")"
work=$(mktemp -d)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.025; done
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
echo "No display found: Pimrose runs on the virtual display $DISPLAY (Xvfb)."

"$binary" &
pimrose=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Pimrose$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -n "$window" ]; then
  sleep 1  # a mapped window is painted a moment later
  import -window "$window" "$shot"
  echo "Screenshot of the main window: $shot"
else
  echo "The main window did not appear (it stays hidden when the system started less than two minutes ago)."
fi
wait "$pimrose"
