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
export QT_LOGGING_RULES="pimrose.app=true;pimrose.notices=true;pimrose.commands=true"

start_xvfb
start_openbox
start_main_window "$binary"

# Places on the 1200 x 700 main window: the settings button, then the options of the settings page.
click() { xdotool mousemove --window "$main" "$1" "$2" click 1; sleep 0.3; }
click 21 16
click 700 600   # an empty spot: a press on the caption may leave a window-manager move to finish
click 586 290   # 关闭提示
click 586 234   # 开机启动
check "autostart entry written" test -f "$entry"
check "it starts this program" grep -qF "Exec=\"$(readlink -f "$binary")\"" "$entry"
check "notice: set" wait_for_line "$WORK/pimrose.log" '开机启动设置成功' 5
click 586 234
check "autostart entry removed" test ! -e "$entry"
check "notice: removed" wait_for_line "$WORK/pimrose.log" '开机启动取消完成' 5
# The notice slides in and rests over the hotkey list for about two seconds before it goes.
sleep 2.2

# Hotkey on, F1 as listed first; then F7 chosen in the list.
click 419 123
key_hides_window() { xdotool key "$1" && wait_gone '^Pimrose$' 10; }
check "F1 toggles the window" key_hides_window F1
xdotool key F1
check "F1 calls it up again" wait_window '^Pimrose$' 10
click 588 124
xdotool key Down Down Down Down Down Down Return
sleep 0.3
xdotool key F1
sleep 0.5
check "F1 does nothing any more" wait_window '^Pimrose$' 1
xdotool key F7
check "F7 toggles the window" wait_gone '^Pimrose$' 10
xdotool key F7
main=$(wait_window '^Pimrose$' 10)
check "F7 calls it up again" test -n "$main"

# Switched off, the key is free for other clients.
click 419 123
if [ -x "$grabber" ]; then
  "$grabber" >"$WORK/grabber.log" 2>&1 &
  PIDS+=($!)
  check "another client can grab the key after switching off" wait_for_line "$WORK/grabber.log" '^grabbed=1' 10
fi
xdotool key F7
sleep 0.5
check "F7 no longer toggles Pimrose" wait_window '^Pimrose$' 1

click 419 123   # on again, on F7, so that it is saved on
kill -TERM "$PIMROSE_PID"
check "SIGTERM ends the program" wait_exit "$PIMROSE_PID" 20
check "the changed option was saved" grep -q '^选择框_关闭提示=真$' "$ini"
check "the chosen key was saved" grep -q '^下拉框_热键=.*<||>6<|>F7$' "$ini"

start_pimrose "$binary"
main=$(wait_window '^Pimrose$' 30)
check "new start" test -n "$main"
sleep 0.5
xdotool key F7
check "the saved key works after the new start" wait_gone '^Pimrose$' 10
summary
