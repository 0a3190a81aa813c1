#!/usr/bin/env bash
# End to end without a tray host: a close with "最小化到托盘" checked leaves the window on screen
# (minimised where a window manager can minimise) and the program running, never a program with no
# window to call back.
# Usage: no_tray_host.sh PIMROSE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1
export DBUS_SESSION_BUS_ADDRESS=disabled:
export QT_LOGGING_RULES="pimrose.app.debug=true;pimrose.ui.debug=true"

start_xvfb
# A window manager minimises for real; without one, X has no iconic state to go to.
start_openbox
start_main_window "$binary"

# The settings page, then its box "最小化到托盘" (at 419,345 in the main window's layout).
xdotool mousemove --window "$main" 21 21 click 1
check "the settings page shows" wait_for_line "$WORK/pimrose.log" 'tabs 选择夹_组件 page 1' 10
xdotool mousemove --window "$main" 419 345 click 1
check "minimise to tray is checked" wait_for_line "$WORK/pimrose.log" 'check box 选择框_最小化到托盘 on' 10
eval "$(xdotool getwindowgeometry --shell "$main")"
xdotool mousemove --window "$main" $((WIDTH - 24)) 16 click 1
check "the close request is answered by minimising" wait_for_line "$WORK/pimrose.log" 'sent away: minimise' 10
iconic() { xprop -id "$main" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
for _ in $(seq 100); do iconic && break; sleep 0.05; done
check "the window is minimised, not withdrawn" iconic
check "the program keeps running" kill -0 "$PIMROSE_PID"
xdotool windowactivate "$main" 2>/dev/null
check "the minimised window can be brought back" wait_window '^Pimrose$' 10
summary
