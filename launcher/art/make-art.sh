#!/usr/bin/env bash
# Regenerates the program's artwork (icon, logo and its mask) with ImageMagick.
# The results are committed; run this only to change the pictures.
set -euo pipefail
cd "$(dirname "$0")"
export SOURCE_DATE_EPOCH=0

icon_frame() {  # size
  local s=$1
  convert -size "${s}x${s}" xc:none \
    -fill '#1f7a34' -draw "roundrectangle 0,0 $((s-1)),$((s-1)) $((s/6)),$((s/6))" \
    -fill white -draw "rectangle $((s*3/16)),$((s*4/16)) $((s*13/16)),$((s*10/16))" \
    -fill '#1f7a34' -draw "rectangle $((s*4/16)),$((s*5/16)) $((s*12/16)),$((s*9/16))" \
    -fill white -draw "rectangle $((s*7/16)),$((s*10/16)) $((s*9/16)),$((s*12/16))" \
    -fill white -draw "rectangle $((s*5/16)),$((s*12/16)) $((s*11/16)),$((s*13/16))" \
    -fill '#f2c14e' -draw "polygon $((s*6/16)),$((s*6/16)) $((s*10/16)),$((s*7/16)) $((s*6/16)),$((s*8/16))" \
    +set date:create +set date:modify -strip "png32:icon-$s.png"
}
for s in 16 24 32 48 256; do icon_frame "$s"; done
convert icon-16.png icon-24.png icon-32.png icon-48.png icon-256.png -strip lodo.ico
rm -f icon-*.png

# Logo, 140 x 73: a green disc holding a screen with an arrow going out, and the name.
convert -size 140x73 xc:white \
  -fill '#1f7a34' -draw "circle 36,36 36,4" \
  -fill white -draw "rectangle 20,22 52,44" \
  -fill '#1f7a34' -draw "rectangle 23,25 49,41" \
  -fill white -draw "rectangle 33,44 39,49" -draw "rectangle 26,49 46,52" \
  -fill '#f2c14e' -draw "polygon 30,28 42,33 30,38" \
  -fill '#1f7a34' -font DejaVu-Sans-Bold -pointsize 22 -draw "text 74,45 'lodo'" \
  -type TrueColor -strip BMP3:logo.bmp
# Mask: black where the logo is drawn, white (transparent) elsewhere.
convert -size 140x73 xc:white \
  -fill black -draw "circle 36,36 36,4" \
  -fill black -font DejaVu-Sans-Bold -pointsize 22 -draw "text 74,45 'lodo'" \
  -monochrome -strip BMP3:logo_mask.bmp
