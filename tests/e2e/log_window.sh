#!/usr/bin/env bash
# End to end: the log window holds the program's own lines (with no logging rules set, so nothing is
# printed to the terminal), a click in the main window's top-left corner shows it and a second one
# hides it, and a row's message can be copied to the clipboard.
# Usage: log_window.sh PIMROSE_BINARY DRAG_SOURCE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
unset QT_LOGGING_RULES

photos="$WORK/Holiday"
mkdir -p "$photos"
for i in 1 2 3; do
  convert -size 200x150 "gradient:hsl($((i * 50)),80%,60%)-hsl($((i * 90)),70%,30%)" "$photos/picture $i.jpg"
done

start_xvfb
start_pimrose "$binary"
main=$(wait_window '^Pimrose$' 30)
check "main window shows" test -n "$main"
drop_from_source "$drag_source" "$photos"

# The settings button sits in the corner; the strip left of it is the window's own background.
xdotool mousemove --window "$main" 4 16 click 1
log=$(wait_window '^日志$' 10)
check "a click in the corner shows the log window" test -n "$log"

# The newest row is the listing of the drop that happened before the window was shown.
sleep 0.5
xdotool mousemove --window "$log" 200 80 click 1 sleep 0.2 key ctrl+End sleep 0.2 key ctrl+c
check "the copied row is the drop's listing" bash -c \
  "for _ in \$(seq 50); do xclip -selection clipboard -o 2>/dev/null | grep -q 'found 3 pictures' && exit 0; sleep 0.1; done; exit 1"
check "nothing is printed without logging rules" bash -c "! grep -q 'found 3 pictures' '$WORK/pimrose.log'"
xdotool key ctrl+Home sleep 0.2 key ctrl+c
check "the first row is the start" bash -c \
  "for _ in \$(seq 50); do [ \"\$(xclip -selection clipboard -o 2>/dev/null)\" = started ] && exit 0; sleep 0.1; done; exit 1"

xdotool mousemove --window "$main" 4 16 click 1
check "a second click hides it" wait_gone '^日志$' 10
summary
