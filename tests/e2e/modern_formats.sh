#!/usr/bin/env bash
# End to end: with "更多格式" checked, a dropped folder of the pictures phones and cameras keep today
# (a HEIC with an embedded thumbnail, an AVIF whose irot box turns it, a JPEG XL made from a JPEG
# stored sideways, a JPEG tagged Display P3, a 1080x5000 long screenshot as PNG) is listed whole,
# every thumbnail arrives, and the built-in viewer shows each picture.
# Usage: modern_formats.sh PIMROSE_BINARY DRAG_SOURCE_BINARY
# With PIMROSE_SCREENSHOT_DIR set, the list is saved there in both skins (formats-dark.png,
# formats-light.png) and the viewer on each picture (formats-viewer-N.png).
. "$(dirname "$0")/e2e_common.sh"
binary=$1
drag_source=$2
export QT_LOGGING_RULES="pimrose.app=true;pimrose.browsing=true;pimrose.thumbnails=true"
p3_profile=$(dirname "$0")/../../fuzz/seeds/colour_profile/display_p3.icc  # made with lcms2

for tool in heif-enc avifenc cjxl convert; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh test installs it)"
    exit 0
  fi
done

# A picture that shows which way is up: sky at the top, ground at the bottom, a red sun top left
# and its name written across.
upright_picture() {  # upright_picture WIDTH HEIGHT LABEL OUT
  convert -size "$1x$2" gradient:skyblue-darkgreen -fill red -draw "circle $(($1 / 5)),$(($2 / 5)) $(($1 / 5)),$(($2 / 12))" \
    -fill white -pointsize $(($1 / 8)) -gravity center -annotate +0+0 "$3" "PNG24:$4"
}

photos="$WORK/Phone photos"
mkdir -p "$photos"
upright_picture 1200 900 HEIC "$WORK/heic.png"
heif-enc -q 85 -t 320 "$WORK/heic.png" -o "$photos/phone photo.heic" >/dev/null
upright_picture 900 1200 AVIF "$WORK/avif.png"
convert "$WORK/avif.png" -rotate 90 "PNG24:$WORK/avif-stored.png"  # irot 1 turns it back
avifenc --irot 1 "$WORK/avif-stored.png" "$photos/turned.avif" >/dev/null
upright_picture 1200 800 JXL "$WORK/jxl.png"
convert "$WORK/jxl.png" -rotate -90 -quality 92 "$WORK/jxl-stored.jpg"
python3 - "$WORK/jxl-stored.jpg" <<'PY'
import struct, sys
jpeg = open(sys.argv[1], "rb").read()  # EXIF orientation 6: turn a quarter clockwise to show
ifd = b"II*\x00\x08\x00\x00\x00" + b"\x01\x00" + struct.pack("<HHIHH", 0x0112, 3, 1, 6, 0) + b"\x00\x00\x00\x00"
app1 = b"Exif\x00\x00" + ifd
open(sys.argv[1], "wb").write(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:])
PY
cjxl "$WORK/jxl-stored.jpg" "$photos/camera.jxl" >/dev/null 2>&1
upright_picture 1000 750 P3 "$WORK/p3.png"
convert "$WORK/p3.png" -profile "$p3_profile" -quality 92 "$photos/wide gamut.jpg"
convert -size 1080x5000 gradient:white-lightgray -fill steelblue -draw "rectangle 0,0 1079,180" \
  -fill gray40 -pointsize 64 -gravity north -annotate +0+50 "long screenshot" "PNG24:$photos/long screenshot.png"
for i in $(seq 0 11); do
  convert "$photos/long screenshot.png" -fill "hsl($((i * 30)),60%,70%)" \
    -draw "roundrectangle 60,$((300 + i * 390)) 1020,$((600 + i * 390)) 30,30" "PNG24:$photos/long screenshot.png"
done
check "five pictures made by Debian's tools" test "$(ls "$photos" | wc -l)" -eq 5

ini=$XDG_CONFIG_HOME/Pimrose/Pimrose.ini
mkdir -p "$(dirname "$ini")"
printf '[选择框]\n选择框_更多格式=真\n选择框_双击查看图片=真\n选择框_内置看图=真\n' >"$ini"

start_on_own_display "$binary"
drop_from_source "$drag_source" "$photos"
check "all five are listed" wait_for_line "$WORK/pimrose.log" 'found 5 pictures' 20
check "the shown thumbnails settled" wait_for_line "$WORK/pimrose.log" 'thumbnails settled' 30
check "every thumbnail arrived" bash -c "[ \$(grep -c 'thumbnail delivered' '$WORK/pimrose.log') -ge 5 ]"
check "no thumbnail failed" bash -c "! grep -q 'thumbnail failed' '$WORK/pimrose.log'"
shot() {
  [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ] || return 0
  mkdir -p "$PIMROSE_SCREENSHOT_DIR"
  sleep 0.8
  import -window "$main" "$PIMROSE_SCREENSHOT_DIR/$1.png"
}
shot formats-dark

# The viewer on every picture: a double-click on the first, then the wheel steps through the rest.
xdotool mousemove --window "$main" 143 175 click --repeat 2 --delay 80 1
for item in 0 1 2 3 4; do
  check "the viewer shows picture $item" wait_for_line "$WORK/pimrose.log" "viewer shows item $item picture QSize\\([1-9][0-9]*, [1-9][0-9]*\\) image QSize\\([1-9]" 20
  shot "formats-viewer-$item"
  xdotool mousemove --window "$main" 600 350 click 5
done
check "the viewer decoded nothing empty" bash -c "! grep -q 'viewer shows item .* image QSize(0, 0)' '$WORK/pimrose.log'"
xdotool key Escape

if [ -n "${PIMROSE_SCREENSHOT_DIR:-}" ]; then
  # The light skin: the skin drop-down of the settings page, its second item "白色".
  xdotool mousemove --window "$main" 21 16 click 1
  sleep 0.5
  xdotool mousemove --window "$main" 588 177 click 1 sleep 0.4 key Down sleep 0.1 key Return
  sleep 0.3
  xdotool mousemove --window "$main" 21 16 click 1
  shot formats-light
fi
summary
