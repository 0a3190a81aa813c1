#!/usr/bin/env bash
# End to end: the floating icon appears with its option, drags and stays where dropped, toggles the
# main window on a double-click, and its menu's "隐藏悬浮" hides it. A double-click on the main
# window's caption maximises it onto the screen and back.
# Usage: float_window.sh PIMROSE_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1

# The floating icon: the program's visible 48 x 48 window.
float_window() {
  local w
  for w in $(xdotool search --onlyvisible --classname '^pimrose$' 2>/dev/null); do
    xdotool getwindowgeometry "$w" | grep -q 'Geometry: 48x48' && { echo "$w"; return 0; }
  done
  return 1
}
wait_float() {
  local end=$(($(ms) + ${1:-10} * 1000))
  while [ "$(ms)" -lt "$end" ]; do float_window && return 0; sleep 0.05; done
  return 1
}
float_gone() {
  local end=$(($(ms) + 10000))
  while [ "$(ms)" -lt "$end" ]; do float_window >/dev/null || return 0; sleep 0.05; done
  return 1
}
position_of() { xdotool getwindowgeometry "$1" | awk '/Position:/{print $2}'; }
visible_windows() { xdotool search --onlyvisible --classname '^pimrose$' 2>/dev/null | wc -l; }

# 1280 x 720: with the taskbar kept clear a maximised window is 1280 x 680, less than the main
# window's least height of 700.
start_xvfb 1280x720
start_openbox
start_main_window "$binary"
check "no floating icon while its option is off" test -z "$(float_window)"

# The settings page, then its box "显示悬浮图标" (at 419,289 in the main window's layout).
xdotool mousemove --window "$main" 21 21 click 1
sleep 0.3
xdotool mousemove --window "$main" 419 289 click 1
icon=$(wait_float 10)
check "checking the option shows the floating icon" test -n "$icon"
[ -n "$icon" ] || { summary; exit 1; }
check "it starts at the top-left corner" test "$(position_of "$icon")" = "0,0"
import -window root "$WORK/float.png"

xdotool mousemove --window "$icon" 24 24 mousedown 1 sleep 0.1 mousemove 60 60 sleep 0.1 mousemove 300 400 \
  sleep 0.2 mouseup 1
for _ in $(seq 100); do [ "$(position_of "$icon")" != "0,0" ] && break; sleep 0.05; done
dropped=$(position_of "$icon")
check "a left-press drag moves it" test "$dropped" != "0,0"
xdotool mousemove 800 800
check "it stays where it was dropped" test "$(position_of "$icon")" = "$dropped"

sleep 0.6
xdotool mousemove --window "$icon" 24 24 click --repeat 2 --delay 80 1
check "a double-click hides the shown main window" wait_gone '^Pimrose$' 10
sleep 0.6
xdotool mousemove --window "$icon" 24 24 click --repeat 2 --delay 80 1
check "the next double-click shows it again" wait_window '^Pimrose$' 10

sleep 0.6
before=$(visible_windows)
xdotool mousemove --window "$icon" 24 24 click 3
for _ in $(seq 100); do [ "$(visible_windows)" -gt "$before" ] && break; sleep 0.05; done
check "a right press opens the floating menu" test "$(visible_windows)" -gt "$before"
xdotool key Down Down Return
check "隐藏悬浮 hides the floating icon" float_gone
check "the program keeps running" kill -0 "$PIMROSE_PID"

box_of() { xdotool getwindowgeometry "$1" | awk '/Position:/{p=$2} /Geometry:/{print p, $2}'; }
restored=$(box_of "$main")
toggle_and_expect() {
  local before
  before=$(box_of "$main")
  sleep 0.6
  xdotool mousemove --window "$main" 700 16 click --repeat 2 --delay 80 1
  for _ in $(seq 100); do [ "$(box_of "$main")" != "$before" ] && break; sleep 0.05; done
  [ "$(box_of "$main")" = "$1" ]
}
check "a caption double-click maximises onto the whole screen" toggle_and_expect "0,0 1280x720"
check "the next one restores the box it had" toggle_and_expect "$restored"
# "最大化不遮任务栏" on the settings page: the box a maximise sets is grown to 1280 x 700.
xdotool mousemove --window "$main" 419 233 click 1
check "kept clear of the taskbar, as high as the window may be" toggle_and_expect "0,0 1280x700"
check "the second toggle restores it" toggle_and_expect "$restored"
check "the third maximises it again" toggle_and_expect "0,0 1280x700"
summary
