#!/usr/bin/env bash
# Draws a folder of sample pictures with ImageMagick for the first look at Pimrose: a few dozen JPEGs,
# PNGs and GIFs of varied sizes and shapes, some in sub-folders, and JPEGs stored sideways or upside
# down whose EXIF orientation turns them upright. Nothing is downloaded.
# Usage: scripts/make-samples.sh FOLDER   (an existing FOLDER with a complete set is left as it is)
set -euo pipefail
root=$1
[ -f "$root/.complete" ] && exit 0
rm -rf "$root"
mkdir -p "$root/Holiday/Beach" "$root/Holiday/Mountains" "$root/Garden" "$root/Artwork" "$root/Travel"

# A picture with colour, structure and a label, so each thumbnail looks different.
draw() {  # draw WIDTH HEIGHT SEED LABEL OUT [extra convert options before OUT]
  local w=$1 h=$2 seed=$3 label=$4 out=$5
  shift 5
  local hue1=$((seed * 47 % 360)) hue2=$((seed * 113 % 360))
  local point=$(((w < h ? w : h) / 6))
  convert -size "${w}x${h}" "gradient:hsl($hue1,85%,62%)-hsl($hue2,70%,28%)" \
    \( -size "${w}x${h}" plasma:fractal -seed "$seed" -blur 0x2 \) -compose overlay -composite \
    -fill "hsla($(((hue1 + 180) % 360)),90%,70%,0.7)" -draw "circle $((w / 3)),$((h / 2)) $((w / 3 + point)),$((h / 2))" \
    -fill '#ffffffd0' -stroke '#00000080' -strokewidth 2 -pointsize "$point" -gravity north \
    -annotate +0+$((point / 3)) "$label" "$@" "$out"
}

# JPEG bytes with an EXIF orientation tag put in front of everything after the start marker.
set_orientation() {  # set_orientation FILE ORIENTATION
  python3 - "$1" "$2" <<'EOF'
import struct, sys
path, orientation = sys.argv[1], int(sys.argv[2])
data = open(path, "rb").read()
tiff = b"MM\x00*" + struct.pack(">I", 8) + struct.pack(">H", 1)
tiff += struct.pack(">HHIHH", 0x0112, 3, 1, orientation, 0) + struct.pack(">I", 0)
app1 = b"Exif\x00\x00" + tiff
open(path, "wb").write(data[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + data[2:])
EOF
}

# A picture drawn upright, then stored turned the other way: the orientation tag turns it back
# (6: a quarter turn clockwise to show it, 8: counter-clockwise, 3: a half turn).
rotated() {  # rotated WIDTH HEIGHT SEED LABEL OUT ORIENTATION TURN
  draw "$1" "$2" "$3" "$4" "$5" -rotate "$7"
  set_orientation "$5" "$6"
}

seed=1
for size in 1600x1200 1200x900 1920x1080 800x600 1024x768 1280x720; do
  draw "${size%x*}" "${size#*x}" $seed "Beach $seed" "$root/Holiday/Beach/beach-$seed.jpg" -quality 88
  seed=$((seed + 1))
done
for size in 900x1200 600x800 1080x1920 750x1000; do
  draw "${size%x*}" "${size#*x}" $seed "Peak $seed" "$root/Holiday/Mountains/peak-$seed.jpg" -quality 88
  seed=$((seed + 1))
done
draw 2400 800 $seed "Panorama" "$root/Travel/panorama.jpg" -quality 85 && seed=$((seed + 1))
rotated 1200 900 $seed "EXIF 6" "$root/Travel/turned-right.jpg" 6 -90 && seed=$((seed + 1))
rotated 1200 900 $seed "EXIF 8" "$root/Travel/turned-left.jpg" 8 90 && seed=$((seed + 1))
rotated 900 1200 $seed "EXIF 3" "$root/Travel/upside-down.jpg" 3 180 && seed=$((seed + 1))
for i in 1 2 3 4 5 6; do
  w=$((500 + i * 90)) h=$((400 + (i % 3) * 150))
  draw $w $h $seed "Flower $i" "$root/Garden/flower-$i.png"
  seed=$((seed + 1))
done
draw 400 1200 $seed "Tall" "$root/Garden/tall.png" && seed=$((seed + 1))
for i in 1 2 3 4; do
  convert -size 256x256 xc:none -fill "hsl($((i * 80)),80%,55%)" -draw "roundrectangle 16,16 240,240 40,40" \
    -fill white -pointsize 120 -gravity center -annotate +0+0 "$i" "$root/Artwork/icon-$i.png"
done
for i in 1 2 3; do
  draw $((480 + i * 40)) 360 $seed "GIF $i" "$root/Artwork/animation-$i.gif" -colors 64
  seed=$((seed + 1))
done
for i in 1 2 3 4 5 6; do
  w=$((640 + i * 120)) h=$((480 + (i % 2) * 240))
  draw $w $h $seed "Photo $i" "$root/photo-$i.jpg" -quality 90
  seed=$((seed + 1))
done
touch "$root/.complete"
