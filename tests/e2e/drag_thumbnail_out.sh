#!/usr/bin/env bash
# End to end: a thumbnail dragged out of the main window reaches another program as its file's URI
# (and the picture as PNG); a drag dropped back on the main window opens nothing.
# Usage: drag_thumbnail_out.sh PIMROSE_BINARY DRAG_SOURCE_BINARY DROP_TARGET_BINARY
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
drop_target=$5
export QT_LOGGING_RULES="pimrose.browsing=true;pimrose.thumbnails.debug=true"

folder="$WORK/Drag out"
mkdir -p "$folder"
convert -size 400x300 xc:orange "$folder/only one.jpg"

start_xvfb
start_pimrose "$binary"
main=$(wait_window '^Pimrose$' 30)
check "main window shows" test -n "$main"
"$drag_source" "$folder" >"$WORK/source.log" 2>&1 &
PIDS+=($!)
source=$(wait_window '^Pimrose test drag source$' 20)
"$drop_target" >"$WORK/target.log" 2>&1 &
PIDS+=($!)
target=$(wait_window '^Pimrose test drop target$' 20)
check "drag source and drop target show" test -n "$source" -a -n "$target"
wait_for_line "$WORK/source.log" 'drag source ready' 20
wait_for_line "$WORK/target.log" 'drop target ready' 20

# drag FROM_WINDOW X Y TO_WINDOW X Y: press, move in steps, and pause before the release, so the
# target's answer is back before the button goes up.
drag() {
  xdotool mousemove --window "$1" "$2" "$3" mousedown 1 sleep 0.05 \
    mousemove --window "$1" $(($2 + 20)) $(($3 + 20)) sleep 0.05 \
    mousemove --window "$4" $(($5 - 10)) $(($6 - 10)) sleep 0.05 \
    mousemove --window "$4" "$5" "$6" sleep 0.2 mouseup 1
}

drag "$source" 100 80 "$main" 600 350
check "the folder was listed" wait_for_line "$WORK/pimrose.log" 'found 1 pictures' 15
check "its thumbnail is shown" wait_for_line "$WORK/pimrose.log" 'thumbnail delivered' 15

# The only thumbnail sits at the top left of the list.
drag "$main" 120 200 "$target" 150 100
check "the target was offered a uri-list" wait_for_line "$WORK/target.log" '^enter formats=.*text/uri-list' 10
check "the target received the file's URI" wait_for_line "$WORK/target.log" \
  "^uri=file://$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$folder/only one.jpg")$" 10
check "the target received the picture as PNG" wait_for_line "$WORK/target.log" '^png bytes=[1-9]' 10

# Dropped back on our own window, the thumbnail is not taken as a new folder to open.
drag "$main" 120 200 "$main" 700 400
sleep 1
check "our own drag opens nothing" test "$(grep -c 'opened' "$WORK/pimrose.log")" -eq 1
check "the program still runs" kill -0 "$PIMROSE_PID"
summary
