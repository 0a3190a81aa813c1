#!/usr/bin/env bash
# End to end: the picture menu of a thumbnail copies the picture to the clipboard, shows it in the
# file manager and opens it with the desktop's handler; a double-click opens the built-in viewer, the
# wheel steps through the pictures and Escape closes it.
# Usage: picture_commands.sh PIMROSE_BINARY DRAG_SOURCE_BINARY FILE_MANAGER_STAND_IN
# With PIMROSE_SCREENSHOT_DIR set, the viewer is saved there in both skins (viewer-dark.png,
# viewer-light.png).
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
file_manager=$3
export QT_LOGGING_RULES="pimrose.app=true;pimrose.notices=true;pimrose.commands=true;pimrose.browsing=true;pimrose.platform=true;pimrose.thumbnails=true;pimrose.ui.debug=true"

# Three JPEGs whose EXIF orientation 6 turns them a quarter: stored W x H, they are H x W upright.
# Whichever the list shows first, the copy checks the upright size.
photos="$WORK/Photos 2024"
mkdir -p "$photos"
declare -A upright
for sample in "north 400x240 orange-purple" "south 500x300 teal-navy" "west 300x200 crimson-gold"; do
  read -r name size colours <<<"$sample"
  convert -size "$size" "gradient:$colours" "$WORK/stored.jpg"
  python3 - "$WORK/stored.jpg" "$photos/$name.jpg" <<'PY'
import struct, sys
jpeg = open(sys.argv[1], "rb").read()
ifd = b"II*\x00\x08\x00\x00\x00" + b"\x01\x00" + struct.pack("<HHIHH", 0x0112, 3, 1, 6, 0) + b"\x00\x00\x00\x00"
app1 = b"Exif\x00\x00" + ifd
open(sys.argv[2], "wb").write(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:])
PY
  upright[$name.jpg]="${size#*x}x${size%x*}"
done

# The desktop around the program: a private session bus with a stand-in file manager on it, and
# an xdg-open first on PATH that records what it is asked to open.
dbus-daemon --session --nofork --print-address=3 3>"$WORK/bus" 2>"$WORK/dbus.log" &
PIDS+=($!)
wait_for_line "$WORK/bus" 'unix:' 5
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus")
"$file_manager" >"$WORK/file_manager.log" 2>&1 &
PIDS+=($!)
check "the stand-in file manager owns its name" wait_for_line "$WORK/file_manager.log" '^ready' 10
mkdir -p "$WORK/bin"
cat >"$WORK/bin/xdg-open" <<SH
#!/bin/sh
echo "xdg-open \$*" >>"$WORK/xdg-open.log"
SH
chmod +x "$WORK/bin/xdg-open"
export PATH="$WORK/bin:$PATH"

start_on_own_display "$binary"
drop_from_source "$drag_source" "$photos"
check "the folder was listed" wait_for_line "$WORK/pimrose.log" 'found 3 pictures' 15
check "the shown thumbnails settled" wait_for_line "$WORK/pimrose.log" 'thumbnails settled' 15

# A click on the first thumbnail shows its details line (and, as single-click opening is the
# default, hands it to the desktop's handler once).
xdotool mousemove --window "$main" 143 175 click 1
check "the click shows the details line" wait_for_line "$WORK/pimrose.log" 'details: .*路径：' 5
first=$(grep -o 'details: .*' "$WORK/pimrose.log" | tail -1 | sed 's/.*路径：//')
check "the first thumbnail is one of ours" test -n "${upright[$(basename "$first")]:-}"
uri="file://$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$first")"
check "a click opens it with the desktop's handler" wait_for_line "$WORK/xdg-open.log" "^xdg-open $uri\$" 5

# after COUNT REGEX: true once more than COUNT lines of the log match.
after() { wait_count "$WORK/pimrose.log" "$2" $(($1 + 1)) 10; }
# click_then X Y REGEX: clicks the main window there, true once one more log line matches REGEX.
click_then() {
  local before
  before=$(count_lines "$WORK/pimrose.log" "$3")
  xdotool mousemove --window "$main" "$1" "$2" click 1
  after "$before" "$3"
}

# menu_item N: right-click the first thumbnail and click the Nth item of the picture menu (three
# items of 24 pixels, centred in the menu's window) once the menu has been painted on screen.
menu_item() {
  local painted menu
  painted=$(count_lines "$WORK/pimrose.log" 'menu painted')
  xdotool mousemove --window "$main" 143 175 click 3
  after "$painted" 'menu painted'
  menu=$(xdotool search --onlyvisible --classname '^pimrose$' | grep -vx "$main" | tail -1)
  eval "$(xdotool getwindowgeometry --shell "$menu")"
  xdotool mousemove $((X + WIDTH / 2)) $((Y + (HEIGHT - 72) / 2 + 24 * ($1 - 1) + 12)) click 1
}

menu_item 3  # 置剪贴板
check "the copy is reported done" wait_for_line "$WORK/pimrose.log" 'notice.*完成.*置剪贴板完成' 10
check "the clipboard offers image/png" bash -c "xclip -selection clipboard -t TARGETS -o | grep -qx image/png"
xclip -selection clipboard -t image/png -o >"$WORK/clip.png" 2>/dev/null
expected=${upright[$(basename "$first")]:-none}
check "the clipboard picture is upright: $expected" \
  bash -c "[ \"\$(identify -format '%wx%h' '$WORK/clip.png')\" = $expected ]"

menu_item 1  # 访问目录
check "the file manager is asked to show the file" wait_for_line "$WORK/file_manager.log" "^ShowItems $uri startup=" 10
check "no folder was opened instead" bash -c "! grep -q '/\$' '$WORK/xdg-open.log'"

menu_item 2  # 打开文件
check "the desktop's handler is asked to open the file" wait_count "$WORK/xdg-open.log" "^xdg-open $uri\$" 2

# Settings: double-click opening and the built-in viewer on.
# The log window opens with the settings page, over the check boxes: it goes aside first.
check "the settings page shows" click_then 21 16 'tabs 选择夹_组件 page 1'
log_window=$(wait_window '^日志$' 5) && xdotool windowmove --sync "$log_window" 1000 600
check "double-click opening on" click_then 475 451 'check box 选择框_双击查看图片 on'
check "the built-in viewer on" click_then 644 395 'check box 选择框_内置看图 on'
check "the browser page shows" click_then 21 16 'tabs 选择夹_组件 page 0'

# details_differ_from LINE: the newest details line is there and is not LINE.
details_differ_from() {
  local newest
  newest=$(grep -o 'details: .*' "$WORK/pimrose.log" | tail -1)
  [ -n "$newest" ] && [ "$newest" != "$1" ]
}

viewer_round() {  # viewer_round SKIN_NAME
  local opened shown closed
  opened=$(count_lines "$WORK/pimrose.log" 'viewer opens item')
  shown=$(count_lines "$WORK/pimrose.log" 'viewer shows item')
  xdotool mousemove --window "$main" 143 175 click --repeat 2 --delay 80 1
  check "double-click opens the viewer ($1)" wait_count "$WORK/pimrose.log" 'viewer opens item' $((opened + 1))
  check "the viewer shows the picture ($1)" wait_count "$WORK/pimrose.log" 'viewer shows item' $((shown + 1))
  if [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ]; then
    mkdir -p "$PIMROSE_SCREENSHOT_DIR"
    import -window "$main" "$PIMROSE_SCREENSHOT_DIR/viewer-$1.png"
  fi
  local before
  before=$(grep -o 'details: .*' "$WORK/pimrose.log" | tail -1)
  xdotool mousemove --window "$main" 600 350 click 5
  check "the wheel steps to the next picture ($1)" within 5 details_differ_from "$before"
  closed=$(count_lines "$WORK/pimrose.log" 'viewer closed')
  xdotool key Escape
  check "Escape closes the viewer ($1)" wait_count "$WORK/pimrose.log" 'viewer closed' $((closed + 1))
}
viewer_round dark

# The light skin: the skin drop-down of the settings page, its second item "白色".
check "the settings page shows again" click_then 21 16 'tabs 选择夹_组件 page 1'
check "the skin list opens" click_then 588 177 'drop-down 下拉框_皮肤 opened'
xdotool key Down Return
check "the light skin is chosen" wait_for_line "$WORK/pimrose.log" 'drop-down 下拉框_皮肤 item 1' 10
check "the browser page shows again" click_then 21 16 'tabs 选择夹_组件 page 0'
viewer_round light
summary
