#!/usr/bin/env bash
# End to end with a real XEmbed tray host (trayer) under a window manager (openbox): the caption's
# close button hides the window into the tray, a left press on the icon brings it back in front of
# the window the user is typing in without taking its focus, the icon comes back with a restarted
# host, a window hidden into a tray that goes away comes back on screen, and the tray menu ends the
# program.
# Usage: tray_icon.sh PIMROSE_BINARY DRAG_SOURCE FILE_MANAGER KEY_GRABBER DROP_TARGET
. "$(dirname "$0")/e2e_common.sh"
binary=$1
other_program=$5
command -v trayer >/dev/null || { echo "SKIP: trayer is not installed"; exit 0; }
# No session bus: Qt uses the XEmbed tray rather than a StatusNotifierItem.
export DBUS_SESSION_BUS_ADDRESS=disabled:
# The log lines tell when the program has seen the tray host go and come, and where a window went.
export QT_LOGGING_RULES="pimrose.shell.debug=true;pimrose.app.debug=true"
TRAYER=(trayer --edge top --align right --widthtype request --height 32 --SetDockType true --transparent false
        --expand false)

start_trayer() {
  "${TRAYER[@]}" >>"$WORK/trayer.log" 2>&1 &
  TRAYER_PID=$!
  PIDS+=("$TRAYER_PID")
}

# The program's icon: its viewable window inside trayer's panel, larger than Qt's helper windows.
tray_icon_window() {
  local w
  for w in $(xdotool search --classname '^pimrose$' 2>/dev/null); do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    [ "$(xwininfo -id "$w" | awk '/Width:/{print $2}')" -gt 5 ] || continue
    xwininfo -root -tree | sed -n '/"panel": ("panel" "trayer")/,/^     0x/p' | grep -q "$(printf 0x%x "$w") " &&
      { echo "$w"; return 0; }
  done
  return 1
}
wait_tray_icon() { within "${1:-10}" tray_icon_window; }
close_by_caption() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" $((WIDTH - 24)) 16 click 1
}

# Window ids in the window manager's stacking order, bottom first, and the window with the focus.
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | tr -d ',' | cut -d'#' -f2; }
stacked_above() {
  local top bottom
  top=$(printf '0x%x' "$1") bottom=$(printf '0x%x' "$2")
  stacking | tr ' ' '\n' | grep -E "^($top|$bottom)$" | tail -1 | grep -qx "$top"
}
root_number() { xprop -root "$1" | awk '{print $NF}' | xargs printf '%d'; }
has_focus() { [ "$(root_number _NET_ACTIVE_WINDOW)" = "$1" ]; }
desktops_are() { [ "$(root_number _NET_NUMBER_OF_DESKTOPS)" = "$1" ]; }
# Whatever a client asked of the window manager before now has been handled once it has answered a
# request sent after it (the number of desktops, which nothing else here reads).
window_manager_caught_up() {
  local want=$(($(root_number _NET_NUMBER_OF_DESKTOPS) % 4 + 1))
  xdotool set_num_desktops "$want"
  within 10 desktops_are "$want"
}

start_xvfb
start_openbox
start_trayer
start_main_window "$binary"

icon=$(wait_tray_icon 10)
check "tray icon embedded in the tray host" test -n "$icon"

close_by_caption "$main"
check "caption close hides the window into the tray" wait_gone '^Pimrose$' 10
check "the program keeps running" kill -0 "$PIMROSE_PID"
# The user types in another program while the window waits in the tray.
"$other_program" >"$WORK/other.log" 2>&1 &
PIDS+=($!)
other=$(wait_window '^Pimrose test drop target$' 20)
xdotool windowactivate "$other" 2>/dev/null
check "the other program has the focus" within 10 has_focus "$other"
xdotool mousemove --window "$icon" 8 8 click 1
check "a left press on the icon shows the window" wait_window '^Pimrose$' 10
check "in front of the other program" within 10 stacked_above "$main" "$other"
window_manager_caught_up
check "the focus stays with the other program" has_focus "$other"

# The tray host goes away while the window waits in the tray: the window comes back on screen.
close_by_caption "$main"
wait_gone '^Pimrose$' 10
returns=$(grep -c 'tray host came back' "$WORK/pimrose.log")
kill "$TRAYER_PID"; wait "$TRAYER_PID" 2>/dev/null
minimised() { xprop -id "$main" WM_STATE 2>/dev/null | grep -q 'window state: Iconic'; }
check "without a tray host the hidden window waits minimised" within 10 minimised

start_trayer
icon=$(wait_tray_icon 10)
check "the icon is embedded again when the tray host returns" test -n "$icon"
seen_return() { [ "$(grep -c 'tray host came back' "$WORK/pimrose.log")" -gt "$returns" ]; }
check "the program sees the tray host return" within 10 seen_return
xdotool windowactivate "$other" 2>/dev/null
within 10 has_focus "$other"
xdotool mousemove --window "$icon" 8 8 click 1
check "a left press restores the minimised window" wait_window '^Pimrose$' 10
check "in front of the other program again" within 10 stacked_above "$main" "$other"
window_manager_caught_up
check "the focus still stays with the other program" has_focus "$other"
close_by_caption "$main"
check "hidden into the returned tray" wait_gone '^Pimrose$' 10
xdotool mousemove --window "$icon" 8 8 click 1
check "the returned icon still answers a left press" wait_window '^Pimrose$' 10

sleep 0.6  # keep the right press out of the double-click interval
menu_windows() { xdotool search --onlyvisible --classname '^pimrose$' 2>/dev/null | wc -l; }
before=$(menu_windows)
xdotool mousemove --window "$icon" 8 8 click 3
for _ in $(seq 100); do [ "$(menu_windows)" -gt "$before" ] && break; sleep 0.05; done
check "a right press opens the tray menu" test "$(menu_windows)" -gt "$before"
import -window root "$WORK/tray-menu.png" 2>/dev/null
xdotool key Down Down Down Return
check "退出程序 in the tray menu ends the program" wait_exit "$PIMROSE_PID" 10
PIMROSE_PID=  # it ended on purpose
summary
