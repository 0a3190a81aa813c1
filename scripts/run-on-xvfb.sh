#!/usr/bin/env bash
# Starts Pimrose on a virtual display (Xvfb) when the machine has none and keeps it running until
# Pimrose ends (Ctrl+C stops both). With a folder and a drag source it drops the folder onto the main
# window through a real drag and drop and writes the screenshot once the thumbnails have filled in;
# without them it screenshots the window as it comes up.
# Usage: scripts/run-on-xvfb.sh BINARY [SCREENSHOT.png [FOLDER DRAG_SOURCE]]
# PIMROSE_SCALE (e.g. 2) runs Pimrose with that device pixel ratio. PIMROSE_EXIT_AFTER_SHOT=1 ends
# Pimrose once the screenshot is written.
set -euo pipefail
binary=$(realpath "$1")
shot=$(realpath -m "${2:-screenshots/main-window.png}")
folder=${3:+$(realpath "$3")}
drag_source=${4:+$(realpath "$4")}
mkdir -p "$(dirname "$shot")"
work=$(mktemp -d)
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT

ms() { echo $(($(date +%s%N) / 1000000)); }
# wait_for_line REGEX SECONDS: true once a line of Pimrose's log matches.
wait_for_line() {
  local end=$(($(ms) + $2 * 1000))
  while [ "$(ms)" -lt "$end" ]; do
    grep -qE -- "$1" "$work/pimrose.log" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}
# wait_settled SECONDS: true once the thumbnails have settled and no load has started for a second
# (a filled row can bring the next one into view, which loads and settles again).
wait_settled() {
  local end=$(($(ms) + $1 * 1000)) count last=-1 since
  while [ "$(ms)" -lt "$end" ]; do
    count=$(grep -c 'thumbnails settled' "$work/pimrose.log" 2>/dev/null || true)
    if [ "$count" != "$last" ]; then
      last=$count since=$(ms)
    elif [ "$count" -gt 0 ] && [ $(($(ms) - since)) -ge 1000 ]; then
      return 0
    fi
    sleep 0.1
  done
  return 1
}

screen=1600x1000x24
[ "${PIMROSE_SCALE:-1}" = 2 ] && screen=3200x2000x24
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
for _ in $(seq 200); do [ -s "$work/display" ] && break; sleep 0.025; done
export DISPLAY=":$(head -1 "$work/display")" QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY
[ -n "${PIMROSE_SCALE:-}" ] && export QT_SCALE_FACTOR=$PIMROSE_SCALE
echo "No display found: Pimrose runs on the virtual display $DISPLAY (Xvfb)."

# The browsing and thumbnail lines tell when the dropped folder is listed and its icons are in.
QT_LOGGING_RULES="pimrose.browsing=true;pimrose.thumbnails=true${QT_LOGGING_RULES:+;$QT_LOGGING_RULES}" \
  "$binary" >"$work/pimrose.log" 2>&1 &
pimrose=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Pimrose$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
if [ -z "$window" ]; then
  echo "The main window did not appear (it stays hidden when the system started less than two minutes ago)."
  wait "$pimrose"
  exit
fi

if [ -n "$folder" ] && [ -n "$drag_source" ]; then
  "$drag_source" "$folder" >"$work/source.log" 2>&1 &
  source_pid=$!
  source=""
  for _ in $(seq 100); do
    source=$(xdotool search --onlyvisible --name '^Pimrose test drag source$' 2>/dev/null | head -1 || true)
    [ -n "$source" ] && break
    sleep 0.1
  done
  sleep 0.5  # the source window takes the button only once it is mapped and painted
  # The pointer leaves the source while the button is down, as a hand does, and lets go over the
  # middle of the main window (positions in logical pixels).
  scale=${PIMROSE_SCALE:-1}
  xdotool mousemove --window "$source" $((100 * scale)) $((80 * scale)) mousedown 1 sleep 0.05 \
    mousemove --window "$window" $((590 * scale)) $((340 * scale)) sleep 0.05 \
    mousemove --window "$window" $((600 * scale)) $((350 * scale)) sleep 0.2 mouseup 1
  if wait_for_line 'found [0-9]+ pictures' 20 && wait_settled 60; then
    echo "The sample folder $folder is shown."
  else
    echo "The dropped folder was not shown in time; the screenshot shows the window as it is."
  fi
  kill "$source_pid" 2>/dev/null || true
else
  sleep 1  # a mapped window is painted a moment later
fi
import -window "$window" "$shot"
echo "Screenshot of the main window: $shot"
if [ "${PIMROSE_EXIT_AFTER_SHOT:-0}" = 1 ]; then
  kill "$pimrose"
  exit 0
fi
wait "$pimrose"
