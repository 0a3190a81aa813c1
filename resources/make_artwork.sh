#!/usr/bin/env bash
# Draws Pimrose's logo (256x256 PNG) and tray icon (ICO, one 128x128 32-bit image) with ImageMagick.
# The results are committed; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"
petals=""
for angle in -90 -18 54 126 198; do
  x=$(awk -v a="$angle" 'BEGIN { printf "%.1f", 128 + 52 * cos(a * 3.14159265 / 180) }')
  y=$(awk -v a="$angle" 'BEGIN { printf "%.1f", 136 + 52 * sin(a * 3.14159265 / 180) }')
  petals+=" ellipse $x,$y 44,44 0,360"
done
convert -size 256x256 xc:none \
  -fill 'radial-gradient:' \
  \( -size 232x232 radial-gradient:'#3b4a7a-#1b2140' \) -geometry +12+12 -compose over -composite \
  \( -size 256x256 xc:none -fill white -draw "roundrectangle 12,12 243,243 48,48" \) -compose dst-in -composite \
  \( -size 256x256 xc:none -fill '#f7d96b' -stroke '#e0a83a' -strokewidth 4 -draw "$petals" \) -compose over -composite \
  \( -size 256x256 xc:none -fill '#f29b3f' -stroke '#c96a1e' -strokewidth 3 -draw "circle 128,136 128,110" \) -compose over -composite \
  \( -size 256x256 xc:none -fill '#ffffff80' -draw "circle 120,126 120,118" \) -compose over -composite \
  -depth 8 -define png:color-type=6 logo.png
convert logo.png -resize 128x128 -define icon:auto-resize=128 -type TrueColorAlpha tray.ico
