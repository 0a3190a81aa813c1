#!/usr/bin/env bash
# End to end: an animated GIF dropped as a folder plays in the built-in viewer (two screenshots of
# successive frames differ, and each shows its frame's colour), and a wheel step to the still
# picture beside it stops it: no frame of the GIF is shown afterwards.
# Usage: moving_pictures.sh PIMROSE_BINARY DRAG_SOURCE_BINARY
# With PIMROSE_SCREENSHOT_DIR set, the two frames are kept there (moving-1.png, moving-2.png).
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
export QT_LOGGING_RULES="pimrose.app=true;pimrose.browsing=true"

if ! command -v convert >/dev/null || ! command -v compare >/dev/null; then
  echo "SKIP: ImageMagick is not installed (scripts/install-deps.sh test installs it)"
  exit 0
fi

pictures="$WORK/Moving"
mkdir -p "$pictures"
# Three frames of half a second each, looping for ever; then a still picture.
convert -size 480x360 -delay 50 -loop 0 xc:red xc:lime xc:blue "$pictures/a moving.gif"
convert -size 480x360 xc:gray50 "PNG24:$pictures/b still.png"

ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini
mkdir -p "$(dirname "$ini")"
printf '[选择框]\n选择框_双击查看图片=真\n选择框_内置看图=真\n' >"$ini"

start_on_own_display "$binary"
drop_from_source "$drag_source" "$pictures"
check "both are listed" wait_for_line "$WORK/pimrose.log" 'found 2 pictures' 20

shots=${PIMROSE_SCREENSHOT_DIR:-$WORK}
mkdir -p "$shots"
# The colour in the middle of the viewer, as "r,g,b".
middle() { convert "$1" -crop 1x1+600+350 -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:; }

xdotool mousemove --window "$main" 143 175 click --repeat 2 --delay 80 1
check "the viewer plays the GIF" wait_for_line "$WORK/pimrose.log" 'viewer plays item 0' 20
check "its second frame is shown" wait_for_line "$WORK/pimrose.log" 'viewer plays frame 2 of item 0' 10
import -window "$main" "$shots/moving-1.png"
check "its third frame is shown" wait_for_line "$WORK/pimrose.log" 'viewer plays frame 3 of item 0' 10
import -window "$main" "$shots/moving-2.png"
check "the two screenshots differ" bash -c "[ \"\$(compare -metric AE '$shots/moving-1.png' '$shots/moving-2.png' null: 2>&1)\" -gt 10000 ]"
check "the second frame is green" test "$(middle "$shots/moving-1.png")" = "0,255,0"
check "the third frame is blue" test "$(middle "$shots/moving-2.png")" = "0,0,255"

xdotool mousemove --window "$main" 600 350 click 5
check "a step shows the still picture" wait_for_line "$WORK/pimrose.log" 'viewer shows item 1 picture' 10
xdotool key Escape
check "the viewer closed" wait_for_line "$WORK/pimrose.log" 'viewer closed' 10
check "no frame was shown after the step" bash -c \
  "! sed -n '/viewer shows item 1 picture/,\$p' '$WORK/pimrose.log' | grep -q 'viewer plays frame'"
summary
