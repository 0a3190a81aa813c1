#!/usr/bin/env bash
# End to end through the settings page of the real program: a changed option survives an exit and a
# new start, the autostart entry comes and goes with its notices, the hotkey moves to another key and
# is let go when switched off.
# Usage: settings_page.sh PIMROSE_BINARY DRAG_SOURCE KEY_GRABBER
. "$(dirname "$0")/e2e_common.sh"
binary=$1
grabber=${4:-}
ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini
entry=$XDG_CONFIG_HOME/autostart/Pimrose.desktop
export QT_LOGGING_RULES="pimrose.app=true;pimrose.notices=true;pimrose.commands=true;pimrose.ui.debug=true"

start_xvfb
start_openbox
start_main_window "$binary"

# Each step waits for the program's own line saying it was done.
seen() { grep -cE -- "$1" "$WORK/pimrose.log" 2>/dev/null || true; }
more_than() { [ "$(seen "$1")" -gt "$2" ]; }
# click X Y [REGEX]: a click on the 1200 x 700 main window; with REGEX, true once one more line matches.
click() {
  local before
  before=$(seen "${3:-^$}")
  xdotool mousemove --window "$main" "$1" "$2" click 1
  [ -z "${3:-}" ] || within 10 more_than "$3" "$before"
}
check "the settings page shows" click 21 16 'tabs 选择夹_组件 page 1'
click 700 600   # an empty spot: a press on the caption may leave a window-manager move to finish
check "tips switched off" click 586 290 'check box 选择框_关闭提示 on'
check "autostart switched on" click 586 234 'check box 选择框_开机启动 on'
check "autostart entry written" test -f "$entry"
check "it starts this program" grep -qF "Exec=\"$(readlink -f "$binary")\"" "$entry"
check "notice: set" wait_for_line "$WORK/pimrose.log" '开机启动设置成功' 5
check "autostart switched off" click 586 234 'check box 选择框_开机启动 off'
check "autostart entry removed" test ! -e "$entry"
check "notice: removed" wait_for_line "$WORK/pimrose.log" '开机启动取消完成' 5
# The notices slide in and rest over the hotkey list for a while before they go.
check "both notices gone" within 10 bash -c "[ \$(grep -c 'notice gone' '$WORK/pimrose.log') -ge 2 ]"

# Hotkey on, F1 as listed first; then F7 chosen in the list.
check "hotkey on, on F1" click 419 123 '^pimrose.app: hotkey F1 id [1-9]'
key_hides_window() { xdotool key "$1" && wait_gone '^Pimrose$' 10; }
check "F1 toggles the window" key_hides_window F1
xdotool key F1
check "F1 calls it up again" wait_window '^Pimrose$' 10
check "the key list opens" click 588 124 'drop-down 下拉框_热键 opened'
xdotool key Down Down Down Down Down Down Return
check "F7 chosen" wait_for_line "$WORK/pimrose.log" '^pimrose.app: hotkey F7 id [1-9]' 10
# F1 then F7: the program hears the keys in that order, so once F7's press is there F1's would be.
presses=$(seen 'hotkey pressed')
xdotool key F1 F7
check "F7 toggles the window" wait_gone '^Pimrose$' 10
check "F1 does nothing any more" test "$(seen 'hotkey pressed')" -eq $((presses + 1))
xdotool key F7
main=$(wait_window '^Pimrose$' 10)
check "F7 calls it up again" test -n "$main"

# Switched off, the key is free for other clients.
check "hotkey off" click 419 123 '^pimrose.app: hotkey off'
if [ -x "$grabber" ]; then
  "$grabber" >"$WORK/grabber.log" 2>&1 &
  PIDS+=($!)
  check "another client can grab the key after switching off" wait_for_line "$WORK/grabber.log" '^grabbed=1' 10
fi
# F7, then the box on again (on F7, so that it is saved on): by the time the box's line is there, F7
# has been handled, or ignored.
presses=$(seen 'hotkey pressed')
xdotool key F7
check "hotkey on again" click 419 123 '^pimrose.app: hotkey F7 id [1-9]'
check "F7 no longer toggled Pimrose" test "$(seen 'hotkey pressed')" -eq "$presses"
check "the window is still shown" wait_window '^Pimrose$' 1
kill -TERM "$PIMROSE_PID"
check "SIGTERM ends the program" wait_exit "$PIMROSE_PID" 20
check "the changed option was saved" grep -q '^选择框_关闭提示=真$' "$ini"
check "the chosen key was saved" grep -q '^下拉框_热键=.*<||>6<|>F7$' "$ini"

registered=$(seen '^pimrose.app: hotkey F7 id [1-9]')
start_pimrose "$binary"
main=$(wait_window '^Pimrose$' 30)
check "new start" test -n "$main"
check "the saved key is registered" within 10 more_than '^pimrose.app: hotkey F7 id [1-9]' "$registered"
xdotool key F7
check "the saved key works after the new start" wait_gone '^Pimrose$' 10
summary
