#!/usr/bin/env bash
# Draws Pimrose's logo with ImageMagick, at 256x256 (logo.png) and at twice that for screens with a
# device pixel ratio of 2 (logo@2x.png, which Qt picks by its name), and the tray icon (ICO, one
# 128x128 32-bit image). Each size is drawn from the shapes, not scaled from the other.
# The results are committed; run this only to change the artwork.
set -euo pipefail
cd "$(dirname "$0")"

draw_logo() {  # draw_logo SCALE OUT: the 256-pixel design with every length times SCALE
  local k=$1 out=$2 s petals="" angle x y
  s() { awk -v v="$1" -v k="$k" 'BEGIN { printf "%g", v * k }'; }
  for angle in -90 -18 54 126 198; do
    x=$(awk -v a="$angle" -v k="$k" 'BEGIN { printf "%.1f", (128 + 52 * cos(a * 3.14159265 / 180)) * k }')
    y=$(awk -v a="$angle" -v k="$k" 'BEGIN { printf "%.1f", (136 + 52 * sin(a * 3.14159265 / 180)) * k }')
    petals+=" ellipse $x,$y $(s 44),$(s 44) 0,360"
  done
  local size=$(s 256)
  convert -size "${size}x${size}" xc:none \
    \( -size "$(s 232)x$(s 232)" radial-gradient:'#3b4a7a-#1b2140' \) -geometry +"$(s 12)"+"$(s 12)" -compose over -composite \
    \( -size "${size}x${size}" xc:none -fill white -draw "roundrectangle $(s 12),$(s 12) $(s 243),$(s 243) $(s 48),$(s 48)" \) -compose dst-in -composite \
    \( -size "${size}x${size}" xc:none -fill '#f7d96b' -stroke '#e0a83a' -strokewidth "$(s 4)" -draw "$petals" \) -compose over -composite \
    \( -size "${size}x${size}" xc:none -fill '#f29b3f' -stroke '#c96a1e' -strokewidth "$(s 3)" -draw "circle $(s 128),$(s 136) $(s 128),$(s 110)" \) -compose over -composite \
    \( -size "${size}x${size}" xc:none -fill '#ffffff80' -draw "circle $(s 120),$(s 126) $(s 120),$(s 118)" \) -compose over -composite \
    -depth 8 -define png:color-type=6 "$out"
}

draw_logo 1 logo.png
draw_logo 2 logo@2x.png
convert logo.png -resize 128x128 -define icon:auto-resize=128 -type TrueColorAlpha tray.ico
