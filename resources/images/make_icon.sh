#!/usr/bin/env bash
# Draws Icon.png, the image on the protection contact: a handset under a
# "no" sign on a blue tile. Needs ImageMagick and the DejaVu fonts; the PNG is
# committed, so building the project does not run this.
set -euo pipefail
cd "$(dirname "$0")"
size=114
convert -size ${size}x${size} xc:none \
  -fill '#1d4e89' -draw "roundrectangle 0,0 $((size-1)),$((size-1)) 20,20" \
  -font DejaVu-Sans -pointsize 64 -fill white -gravity center -annotate +0+2 '☎' \
  -stroke '#e03131' -strokewidth 9 -fill none \
  -draw "circle $((size/2)),$((size/2)) $((size/2)),12" \
  -draw "line 30,30 $((size-30)),$((size-30))" \
  -depth 8 -strip Icon.png
