#!/usr/bin/env bash
# End to end: a folder dragged from another program onto the main window is listed and its
# thumbnails fill in. Usage: browse_dropped_folder.sh PIMROSE_BINARY DRAG_SOURCE_BINARY
# With PIMROSE_SCREENSHOT_DIR set, the filled window is saved there as browser.png.
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
export QT_LOGGING_RULES="pimrose.browsing=true;pimrose.thumbnails=true"

photos="$WORK/Photos 2024"
mkdir -p "$photos/trip"
for i in $(seq 1 9); do
  convert -size 400x300 "gradient:hsl($((i * 37 % 360)),80%,60%)-hsl($((i * 71 % 360)),70%,30%)" \
    -attenuate 0.4 +noise Gaussian -seed "$i" "$photos/picture $i.jpg"
done
for i in 1 2 3; do
  convert -size 300x400 "plasma:fractal" -seed "$i" "$photos/trip/portrait $i.png" 2>/dev/null \
    || convert -size 300x400 xc:teal "$photos/trip/portrait $i.png"
done
convert -size 320x240 xc:orange "$photos/trip/animation.gif"
echo "not a picture" >"$photos/readme.txt"

start_xvfb
start_pimrose "$binary"
main=$(wait_window '^Pimrose$' 30)
check "main window shows" test -n "$main"
drop_from_source "$drag_source" "$photos"
check "the folder was listed: 13 pictures" wait_for_line "$WORK/pimrose.log" 'found 13 pictures' 15
check "thumbnails reached the window" wait_for_line "$WORK/pimrose.log" 'thumbnail delivered' 15
check "the shown thumbnails settled" wait_for_line "$WORK/pimrose.log" 'thumbnails settled' 15
if [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ]; then
  mkdir -p "$PIMROSE_SCREENSHOT_DIR"
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/browser.png"
  xdotool mousemove --window "$main" 21 16 click 1
  sleep 0.5
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/settings.png"
  # The skin drop-down of the settings page, then its second item, "白色".
  xdotool mousemove --window "$main" 588 177 click 1 sleep 0.4 key Down sleep 0.1 key Return
  sleep 0.5
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/settings-light.png"
  xdotool mousemove --window "$main" 21 16 click 1
  sleep 0.5
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/browser-light.png"
fi
check "no thumbnail failed" bash -c "! grep -q 'thumbnail failed' '$WORK/pimrose.log'"

# Typing in the search box searches nothing until Enter; a folder name matches every picture in it.
xdotool mousemove --window "$main" 170 16 click 1 sleep 0.2 type --delay 20 "trip"
sleep 0.3
check "typing alone does not search" bash -c "! grep -q '^search' '$WORK/pimrose.log'"
xdotool key Return
check "Enter searches: the folder name matches its 4 pictures" \
  wait_for_line "$WORK/pimrose.log" 'search "trip" matches 4' 5
if [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ]; then
  sleep 1
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/search.png"
fi
xdotool key ctrl+a type --delay 20 "TRIP"
xdotool key Return
check "the search is case-sensitive" wait_for_line "$WORK/pimrose.log" 'search "TRIP" matches 0' 5

# The thumbnail-size slider lists the opened folder again.
xdotool mousemove --window "$main" 1015 685 click 1
check "a slider change lists the folder again" \
  bash -c "for _ in \$(seq 100); do [ \$(grep -c 'found 13 pictures' '$WORK/pimrose.log') -ge 2 ] && exit 0; sleep 0.05; done; exit 1"
summary
