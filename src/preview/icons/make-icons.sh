#!/usr/bin/env bash
# Draws the preview's button glyphs (the fallback when the desktop's icon theme has none) at
# 48 pixels and at 24 pixels, with ImageMagick. Run it here and commit the PNG files.
set -euo pipefail
cd "$(dirname "$0")"

ink='#2b3a4a'
accent='#3d7bd9'
paper='#ffffff'

magnifier() { # $1: extra drawing inside the lens
  echo "stroke $ink stroke-width 4 fill $paper circle 20,20 20,6 $1 stroke-width 7 stroke-linecap round line 31,31 42,42"
}

draw() { # $1 name, $2 drawing (48 x 48 canvas)
  convert -size 48x48 xc:none -draw "$2" "$1@2x.png"
  convert "$1@2x.png" -filter Lanczos -resize 24x24 "$1.png"
}

draw edit-find "$(magnifier '')"
draw zoom-in "$(magnifier "stroke $accent stroke-width 4 line 13,20 27,20 line 20,13 20,27")"
draw zoom-out "$(magnifier "stroke $accent stroke-width 4 line 13,20 27,20")"
printer="stroke $ink stroke-width 3 fill $paper rectangle 14,4 34,18 fill '#c9d3de' roundrectangle 5,16 43,34 4,4 fill $paper rectangle 13,28 35,44 stroke $ink stroke-width 2 line 17,34 31,34 line 17,39 28,39"
draw document-print "$printer"
draw document-properties "$printer stroke $accent stroke-width 3 fill $paper circle 37,37 37,30 fill $accent circle 37,37 37,34"
draw go-previous "stroke $ink stroke-width 3 fill $accent stroke-linejoin round polygon 6,24 26,6 26,16 42,16 42,32 26,32 26,42"
draw go-next "stroke $ink stroke-width 3 fill $accent stroke-linejoin round polygon 42,24 22,6 22,16 6,16 6,32 22,32 22,42"
draw document-open "stroke $ink stroke-width 3 fill '#e8c15a' stroke-linejoin round polygon 4,10 18,10 22,15 40,15 40,40 4,40 fill '#f3d77f' polygon 4,40 12,22 46,22 40,40"
draw document-save "stroke $ink stroke-width 3 fill $accent stroke-linejoin round polygon 5,5 37,5 43,11 43,43 5,43 fill $paper rectangle 12,5 33,18 fill '#dfe6ee' rectangle 11,27 37,43 fill $ink rectangle 27,8 31,15"
