#!/usr/bin/env bash
# End to end in a Wayland session: a headless sway, with a private session bus carrying a stand-in
# GlobalShortcuts portal and a StatusNotifierItem watcher. Pimrose runs as a native Wayland client:
# the portal binds the chosen hotkey and its activation toggles the main window, the tray icon is a
# StatusNotifierItem whose click calls the window up, the floating icon floats at its size and
# toggles the window, a folder dropped from a drag source of the same session is listed and its
# thumbnails painted (screenshots in both skins), a double-click opens the viewer, the picture menu
# copies a picture that wl-paste reads back, a thumbnail dragged out reaches another client, typing
# searches, the pointer tip shows, and the caption moves and resizes the window through the
# compositor. Then, as an X11 client of the session's XWayland and on a bus without a portal, the
# hotkey fails and says so.
# Usage: wayland_session.sh PIMROSE DRAG_SOURCE FILE_MANAGER KEY_GRABBER DROP_TARGET DESKTOP_STAND_IN
#        VIRTUAL_POINTER
# With PIMROSE_SCREENSHOT_DIR set, the screenshots are kept there (wayland-dark.png, wayland-light.png).
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
drop_target=$5
stand_in=${6:-}
pointer=${7:-none}
[ -x "$pointer" ] || { echo "SKIP: no virtual pointer built (wayland-scanner or wayland-client missing)"; exit 0; }
for tool in sway swaymsg grim wtype wl-paste dbus-daemon dbus-send setpriv python3 convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

# sway refuses to run as root: the session belongs to an unprivileged user, made here when needed.
session=$WORK/session
mkdir -p "$session"
as_user=()
if [ "$(id -u)" -eq 0 ]; then
  user=pimrose-e2e
  id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
  as_user=(setpriv --reuid="$(id -u "$user")" --regid="$(id -g "$user")" --clear-groups)
  chmod 711 "$WORK"
  # The build tree may sit where the user cannot reach it: then the user runs copies.
  if ! "${as_user[@]}" test -x "$binary"; then
    mkdir -p "$session/bin"
    cp "$binary" "$drag_source" "$drop_target" "$stand_in" "$pointer" "$session/bin/"
    binary=$session/bin/$(basename "$binary") drag_source=$session/bin/$(basename "$drag_source")
    drop_target=$session/bin/$(basename "$drop_target")
    stand_in=$session/bin/$(basename "$stand_in") pointer=$session/bin/$(basename "$pointer")
  fi
fi
runtime=$session/runtime
mkdir -p "$runtime" "$session/home" "$session/config/Pimrose"
chmod 700 "$runtime"
photos="$session/Photos 2024"
mkdir -p "$photos/trip"
for i in 1 2 3 4 5; do
  convert -size 400x300 "gradient:hsl($((i * 53 % 360)),80%,60%)-hsl($((i * 97 % 360)),70%,30%)" "$photos/picture $i.jpg"
done
convert -size 300x400 xc:teal "$photos/trip/portrait.png"
# The hotkey on F5; a double-click opens the built-in viewer; the floating icon shown.
printf '[选择框]\n选择框_呼出窗口热键=真\n选择框_双击查看图片=真\n选择框_内置看图=真\n选择框_显示悬浮图标=真\n[组合框]\n下拉框_热键=%s\n' \
  'F1<|>0<||>F2<|>1<||>F3<|>2<||>F4<|>3<||>F5<|>4<||>F6<|>5<||>F7<|>6<||>F8<|>7<||>F9<|>8<||>F10<|>9<||>F11<|>10<||>F12<|>11<||>4<|>F5' \
  >"$session/config/Pimrose/Pimrose.ini"
# A click on a thumbnail hands it to the desktop's handler: a recording stand-in here.
mkdir -p "$session/path"
printf '#!/bin/sh\necho "xdg-open $*" >>"%s/xdg-open.log"\n' "$session" >"$session/path/xdg-open"
chmod +x "$session/path/xdg-open"
cat >"$session/sway.cfg" <<'CFG'
output HEADLESS-1 resolution 1600x1000 position 0 0
xwayland enable
default_border none
default_floating_border none
focus_follows_mouse no
for_window [app_id=".*"] floating enable
CFG
[ ${#as_user[@]} -eq 0 ] || chown -R "$user:" "$session"

# as COMMAND...: runs COMMAND as the session's user, inside the session.
session_env=(env -u DISPLAY HOME="$session/home" XDG_RUNTIME_DIR="$runtime" XDG_CONFIG_HOME="$session/config"
  DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$runtime/sway.sock"
  QT_QPA_PLATFORM=wayland PATH="$session/path:$PATH")
as() { "${as_user[@]}" "${session_env[@]}" "$@"; }
start_as() {  # start_as LOG COMMAND...: in the background (its PID is the command's), killed at the end
  local log=$1
  shift
  (exec "${as_user[@]}" "${session_env[@]}" "$@") >>"$log" 2>&1 &
  PIDS+=($!)
}
swaycmd() { as swaymsg "$@" >/dev/null; }

start_as "$WORK/dbus.log" dbus-daemon --session --nofork --address="unix:path=$runtime/bus"
within 5 test -S "$runtime/bus"
start_as "$WORK/desktop.log" "$stand_in" --portal --tray-watcher
check "portal and tray watcher on the session bus" wait_for_line "$WORK/desktop.log" '^ready' 10
start_as "$WORK/sway.log" env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$session/sway.cfg"
sway_up() { test -S "$runtime/wayland-1" && test -S "$runtime/sway.sock"; }
check "sway runs headless" within 20 sway_up
# The pointer device takes "move X Y", "press" and "release" lines from a pipe kept open here.
mkfifo "$session/pointer"
[ ${#as_user[@]} -eq 0 ] || chown "$user:" "$session/pointer"
(exec "${as_user[@]}" "${session_env[@]}" "$pointer" 1600 1000 <"$session/pointer" >"$WORK/pointer.log" 2>&1) &
PIDS+=($!)
exec 7>"$session/pointer"
check "the seat has a pointer" wait_for_line "$WORK/pointer.log" 'virtual pointer ready' 10

# window_box APP_ID [icon|main]: "x y width height" of the shown window (the 48x48 floating icon
# or the other one of the program), nothing while there is none; window_id: its sway container.
window_query() {
  as swaymsg -t get_tree | python3 -c '
import json, sys
app, kind, field = sys.argv[1:4]
def wanted(node):
    r = node["rect"]
    icon = (r["width"], r["height"]) == (48, 48)
    return node.get("app_id") == app and node.get("visible") and kind in ("any", "icon" if icon else "main")
def walk(node):
    if wanted(node):
        r = node["rect"]
        print(node["id"] if field == "id" else "%d %d %d %d" % (r["x"], r["y"], r["width"], r["height"]))
        sys.exit(0)
    for child in node.get("nodes", []) + node.get("floating_nodes", []): walk(child)
walk(json.load(sys.stdin)); sys.exit(1)' "$1" "${2:-any}" "$3"
}
window_box() { window_query "$1" "${2:-any}" box; }
main_box() { window_box pimrose main; }
# place APP_ID X Y [icon|main]: moves the window and waits until the compositor has moved it.
place() {
  swaycmd "[con_id=$(window_query "$1" "${4:-any}" id)] move position $2 $3"
  within 5 placed_at "$@"
}
placed_at() { [ "$(window_box "$1" "${4:-any}" | cut -d' ' -f1,2)" = "$2 $3" ]; }
main_to_origin() { place pimrose 0 0 main; }
no_main_box() { ! main_box >/dev/null; }
click() {  # click X Y [BUTTON]: held a moment, as a hand does (a popup needs its press held)
  swaycmd seat - cursor set "$1" "$2"
  swaycmd seat - cursor press "${3:-button1}"
  sleep 0.1
  swaycmd seat - cursor release "${3:-button1}"
}
double_click() {
  swaycmd seat - cursor set "$1" "$2"
  for _ in 1 2; do swaycmd seat - cursor press button1 && swaycmd seat - cursor release button1; done
}
# pointer_drag X0 Y0 X1 Y1: presses at the first point and releases at the second, moving the
# pointer device itself (a move or resize the compositor runs, and motion while a button is held,
# follow the device, not the IPC), at a hand's pace: the program starts a move or a drag only once
# the pointer has travelled.
pointer_drag() {
  local step done
  for step in "move $1 $2" press "move $(($1 + 6)) $(($2 + 6))" "move $(($1 + 30)) $(($2 + 30))" \
    "move $((($1 + $3) / 2)) $((($2 + $4) / 2))" "move $(($3 - 10)) $(($4 - 10))" "move $3 $4" release; do
    done=$(grep -c '^ok' "$WORK/pointer.log")
    echo "$step" >&7
    within 5 pointer_answered $((done + 1))
    sleep 0.15
  done
}
pointer_answered() { [ "$(grep -c '^ok' "$WORK/pointer.log")" -ge "$1" ]; }
keys() { as wtype -s 300 "$@"; }  # a new virtual keyboard's first key is lost without the pause
shot() {  # shot FILE: the whole output
  as grim "$session/shot.png" && cp "$session/shot.png" "$1"
}
pixel() { convert "$1" -format "%[hex:u.p{$2,$3}]" info:; }

export QT_LOGGING_RULES="pimrose.app=true;pimrose.notices=true;pimrose.commands=true;pimrose.browsing=true;pimrose.thumbnails=true;pimrose.platform=true;pimrose.shell=true;pimrose.ui.debug=true"
start_as "$WORK/pimrose.log" env QT_LOGGING_RULES="$QT_LOGGING_RULES" QT_QPA_PLATFORMTHEME= \
  ASAN_OPTIONS="$ASAN_OPTIONS" "$binary"
PIMROSE_PID=$!
check "main window shown by the compositor" within 30 main_box
main_to_origin
check "the hotkey is bound through the portal" wait_for_line "$WORK/pimrose.log" 'hotkey status: "热键注册成功"' 10
check "the portal was asked for the chosen key, F5" \
  grep -q '^BindShortcuts toggle-main-window-f5 preferred_trigger=F5$' "$WORK/desktop.log"
check "the tray icon is a StatusNotifierItem" wait_for_line "$WORK/desktop.log" '^item registered' 10

# The portal's activation toggles the main window.
press_hotkey() {
  as dbus-send --session --type=method_call --dest=org.pimrose.StandIn /org/pimrose/StandIn \
    org.pimrose.StandIn.Press string:toggle-main-window-f5
}
press_hotkey
check "the hotkey hides the main window" within 10 no_main_box
press_hotkey
check "the hotkey calls it up again" within 10 main_box
# A click on the tray icon (the host calls the item's Activate) calls the hidden window up too.
press_hotkey
check "hidden again" within 10 no_main_box
item=$(sed -n 's/^item registered \([^/]*\).*/\1/p' "$WORK/desktop.log" | head -1)
as dbus-send --session --type=method_call --dest="$item" /StatusNotifierItem \
  org.kde.StatusNotifierItem.Activate int32:0 int32:0
check "a click on the tray icon calls it up" within 10 main_box
main_to_origin

# The floating icon: placed by the compositor, floating at its own size (here moved clear of the
# main window, as the compositor keeps no window above the others); a double-click on it toggles
# the main window.
icon_box() { window_box pimrose icon; }
check "the floating icon is shown" within 10 icon_box
read -r _ _ iw ih <<<"$(icon_box)"
check "the floating icon floats at 48x48" test "${iw:-0}x${ih:-0}" = 48x48
place pimrose 1400 100 icon
double_click 1424 124
check "a double-click on the floating icon hides the main window" within 10 no_main_box
double_click 1424 124
check "and calls it up again" within 10 main_box
main_to_origin

# sway_drag X0 Y0 X1 Y1: a drag and drop from a client that starts it on the press, in steps,
# pausing before the release so the target's answer is back before the button goes up.
sway_drag() {
  swaycmd seat - cursor set "$1" "$2"
  swaycmd seat - cursor press button1
  sleep 0.2  # the source's drag has begun before the pointer moves on
  for at in "$(($1 + 10)) $(($2 + 10))" "$(($1 + 30)) $(($2 + 30))" "$((($1 + $3) / 2)) $((($2 + $4) / 2))" \
    "$(($3 - 10)) $(($4 - 10))" "$3 $4"; do
    swaycmd seat - cursor set $at
    sleep 0.05
  done
  sleep 0.2
  swaycmd seat - cursor release button1
}

# A folder dragged from another Wayland client onto the main window.
start_as "$WORK/source.log" "$drag_source" "$photos"
check "drag source shown" within 20 window_box pimrose_drag_source
wait_for_line "$WORK/source.log" 'drag source ready' 20
place pimrose_drag_source 1300 700
sway_drag 1400 780 600 350
check "the drop was taken" wait_for_line "$WORK/source.log" 'drag finished action=[12]' 10
check "the folder was listed: 6 pictures" wait_for_line "$WORK/pimrose.log" 'found 6 pictures' 15
check "the shown thumbnails settled" wait_for_line "$WORK/pimrose.log" 'thumbnails settled' 15
sleep 0.5
shot "$WORK/wayland-dark.png"
check "the dark skin is painted" test "$(pixel "$WORK/wayland-dark.png" 600 10)" = 17181B

# A double-click on the first thumbnail opens the viewer; Escape (a key through wtype) closes it.
double_click 143 175
check "a double-click opens the viewer" wait_for_line "$WORK/pimrose.log" 'viewer opens item' 5
keys -k Escape
check "Escape closes the viewer" wait_for_line "$WORK/pimrose.log" 'viewer closed' 5

# The picture menu (a popup at the pointer): its third item copies the picture; wl-paste reads it.
painted=$(count_lines "$WORK/pimrose.log" 'menu painted')
click 143 175 button3
check "the picture menu is on screen" wait_count "$WORK/pimrose.log" 'menu painted' $((painted + 1)) 5
click 190 239
check "the copy is reported done" wait_for_line "$WORK/pimrose.log" 'notice.*置剪贴板完成' 10
clipboard_offers_png() { as wl-paste -l | grep -qx image/png; }
check "the clipboard offers image/png" within 5 clipboard_offers_png
as wl-paste -t image/png >"$WORK/clip.png" 2>/dev/null
check "the clipboard holds a picture of the folder" \
  bash -c "case \$(identify -format '%wx%h' '$WORK/clip.png') in 400x300|300x400) ;; *) exit 1;; esac"

# A thumbnail dragged out to another Wayland client arrives as its file's URI and as a picture.
start_as "$WORK/target.log" "$drop_target"
check "drop target shown" within 20 window_box pimrose_drop_target
wait_for_line "$WORK/target.log" 'drop target ready' 20
place pimrose_drop_target 1300 300
pointer_drag 143 175 1400 380
check "the target received the file's URI" wait_for_line "$WORK/target.log" \
  "^uri=file://$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$photos/trip/portrait.png")$" 10
check "the target received the picture as PNG" wait_for_line "$WORK/target.log" '^png bytes=[1-9]' 10

# Typing in the search box, then Enter, searches.
click 170 16
keys "trip"
keys -k Return
check "typed text searches: the folder name matches its picture" \
  wait_for_line "$WORK/pimrose.log" 'search "trip" matches 1' 5

# The settings page; the pointer over the autostart box shows its tip 30 pixels below the pointer,
# over the main window (the tip is a popup of the main window).
click 21 16
sleep 0.5
shot "$WORK/wayland-settings.png"
swaycmd seat - cursor set 586 234
sleep 0.5
shot "$WORK/wayland-tip.png"
# changed_pixels A B X Y W H: how many pixels of the box differ between two screenshots.
changed_pixels() {
  convert "$1" -crop "$5x$6+$3+$4" +repage "$WORK/crop-a.png"
  convert "$2" -crop "$5x$6+$3+$4" +repage "$WORK/crop-b.png"
  compare -metric AE "$WORK/crop-a.png" "$WORK/crop-b.png" null: 2>&1 | cut -d' ' -f1
}
check "the tip shows below the pointer" \
  test "$(changed_pixels "$WORK/wayland-settings.png" "$WORK/wayland-tip.png" 586 264 36 20)" -gt 20

# The light skin: the skin list of the settings page (a popup over its box), second item "白色".
painted=$(count_lines "$WORK/pimrose.log" 'list painted')
click 588 177
check "the skin list is on screen" wait_count "$WORK/pimrose.log" 'list painted' $((painted + 1)) 5
click 560 200
check "白色 is chosen" wait_for_line "$WORK/pimrose.log" 'drop-down .* item 1' 5
shot "$WORK/wayland-settings-light.png"
click 21 16
sleep 0.5
shot "$WORK/wayland-light.png"
check "the light skin is painted" test "$(pixel "$WORK/wayland-light.png" 600 10)" = FFFFFF
if [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ]; then
  mkdir -p "$PIMROSE_SCREENSHOT_DIR"
  cp "$WORK"/wayland-*.png "$PIMROSE_SCREENSHOT_DIR/"
fi

# The caption moves the window and the grip resizes it, both run by the compositor.
pointer_drag 700 14 850 150
box_is() { [ "$(main_box)" = "$1" ]; }
box_is_not() { ! box_is "$1"; }
check "a caption drag moves the window" within 5 box_is_not '0 0 1200 700'
read -r x y w h <<<"$(main_box)"
pointer_drag $((x + 1190)) $((y + 689)) $((x + 1290)) $((y + 749))
check "the grip resizes it" within 5 box_is "$x $y 1300 760"
echo "window box: $(main_box), was $x $y $w $h"

# X11 under XWayland, on a bus without a portal or a tray watcher: a root grab would hear keys only
# while an X11 window has the focus, so the hotkey fails instead of reporting a success that does not
# hold; and the window has no tray to hide into.
kill -TERM "$PIMROSE_PID"
check "Pimrose ends on SIGTERM" wait_exit "$PIMROSE_PID" 20
swaycmd exec "echo \$DISPLAY >$session/display"
check "XWayland runs" within 10 test -s "$session/display"
start_as "$WORK/dbus2.log" dbus-daemon --session --nofork --address="unix:path=$runtime/bus2"
within 5 test -S "$runtime/bus2"
start_as "$WORK/pimrose-x11.log" env -u WAYLAND_DISPLAY DISPLAY="$(cat "$session/display")" QT_QPA_PLATFORM=xcb \
  DBUS_SESSION_BUS_ADDRESS="unix:path=$runtime/bus2" QT_LOGGING_RULES="$QT_LOGGING_RULES" QT_QPA_PLATFORMTHEME= \
  ASAN_OPTIONS="$ASAN_OPTIONS" "$binary"
PIMROSE_PID=$!
check "XWayland is recognised" wait_for_line "$WORK/pimrose-x11.log" 'XWayland session' 30
check "the hotkey fails there" wait_for_line "$WORK/pimrose-x11.log" 'hotkey status: "热键注册失败"' 30
check "without a watcher there is no tray icon to hide into" \
  wait_for_line "$WORK/pimrose-x11.log" 'tray icon added, host present: false' 5
summary
