#!/usr/bin/env bash
# End to end, the clipboard between programs: a copied 12-megapixel photo is pasted by another
# program (xclip) while the window goes on serving its events (the stall watch); a clipboard manager
# that keeps every format but the first (the stand-in, shaped after xfce4-clipman) still keeps
# image/png when the program exits; a manager that never answers holds the exit a second at most
# (Qt alone waits five seconds and says "Unable to receive an event from the clipboard manager").
# Usage: clipboard_peers.sh PIMROSE DRAG_SOURCE FILE_MANAGER KEY_GRABBER DROP_TARGET CLIPBOARD_MANAGER
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
manager=${9:-none}
if [ "$manager" = none ] || [ ! -x "$manager" ]; then
  echo "SKIP: no clipboard manager stand-in (built only with xcb)"
  exit 0
fi
export QT_LOGGING_RULES="pimrose.platform=true;pimrose.notices=true;pimrose.browsing=true;pimrose.thumbnails=true;pimrose.stall=true;pimrose.ui.debug=true"
log=$WORK/pimrose.log
mkdir -p "$WORK/photo" "$WORK/small"
convert -size 4000x3000 gradient:'#d08040'-'#304090' -quality 90 "$WORK/photo/camera.jpg"
convert -size 300x200 gradient:teal-navy "$WORK/small/small.jpg"

# start_with_manager [--silent]: a fresh display with the stand-in manager on it, then the program
# with fresh settings (what the last run saved would move its window).
runs=0
start_with_manager() {
  runs=$((runs + 1))
  export XDG_CONFIG_HOME=$WORK/config-$runs
  mkdir -p "$XDG_CONFIG_HOME"
  start_xvfb
  "$manager" "$@" >"$WORK/manager.log" 2>&1 &
  PIDS+=($!)
  check "the stand-in manager owns CLIPBOARD_MANAGER" wait_for_line "$WORK/manager.log" '^ready' 10
  start_main_window "$binary"
}
# new_line REGEX: a line matching REGEX was logged since the mark (the line count in `mark`).
new_line() { tail -n +"$mark" "$log" | grep -qE -- "$1"; }
# copy_first FOLDER: drops the folder and copies its first thumbnail through the picture menu.
copy_first() {
  mark=$(($(wc -l <"$log") + 1))
  drop_from_source "$drag_source" "$1"
  check "the folder was listed" within 30 new_line "opened QList\\(\"$1\"\\) found 1 pictures"
  check "its thumbnail settled" within 30 new_line 'thumbnails settled'
  local painted
  painted=$(count_lines "$log" 'menu painted')
  xdotool mousemove --window "$main" 143 175 click 3
  check "the picture menu is on screen" wait_count "$log" 'menu painted' $((painted + 1)) 10
  xdotool key Down Down Down Return
  check "the copy is reported done" within 60 new_line '置剪贴板完成'
}
# exit_by_signal: the program's own exit steps (SIGTERM), then it must be gone.
exit_by_signal() {
  kill -TERM "$PIMROSE_PID"
  check "the program exits" wait_exit "$PIMROSE_PID" 20
  PIMROSE_PID=
}

start_with_manager
first_line=$(($(wc -l <"$log") + 1))
copy_first "$WORK/photo"
check "another program pastes the photo as PNG" \
  bash -c "timeout 60 xclip -selection clipboard -t image/png -o >'$WORK/paste.png' && [ \"\$(identify -format '%wx%h' '$WORK/paste.png')\" = 4000x3000 ]"
# "ui stall: W ms, busy B ms": B is the UI thread's own work in one turn of its event loop.
busiest=$(tail -n +"$first_line" "$log" | sed -n 's/.*ui stall: [0-9]* ms, busy \([0-9]*\) ms.*/\1/p' | sort -n | tail -1)
check "the UI thread never worked more than 50 ms in one turn (longest ${busiest:-0} ms)" test "${busiest:-0}" -le 50

copy_first "$WORK/small"
exit_by_signal
check "the manager was asked to save" wait_for_line "$WORK/manager.log" '^asked to save' 5
check "it kept image/png, dropping the first format offered" wait_for_line "$WORK/manager.log" '^saved( [^ ]+)* image/png' 5
check "the program heard the manager saved" wait_for_line "$log" 'the clipboard manager saved the clipboard' 5
check "the manager holds the clipboard" wait_for_line "$WORK/manager.log" '^holding the clipboard' 10
check "the picture outlives the program as PNG" \
  bash -c "timeout 10 xclip -selection clipboard -t image/png -o >'$WORK/kept.png' && [ \"\$(identify -format '%wx%h' '$WORK/kept.png')\" = 300x200 ]"

# A manager that never answers: the program waits its second, lets go, and Qt has nothing to wait for.
for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
start_with_manager --silent
copy_first "$WORK/small"
exit_by_signal
check "the silent manager was asked" wait_for_line "$WORK/manager.log" '^asked to save' 5
check "the program stopped waiting for it" within 5 new_line 'did not answer within 1000 ms'
check "Qt did not wait for it again" bash -c "! grep -q 'Unable to receive an event from the clipboard manager' '$log'"
summary
