#!/bin/bash
# Images made by another encoder (ImageMagick) for the image and GIF tests.
# usage: make-testdata.sh <folder>
set -euo pipefail
out=$1
mkdir -p "$out"
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
cd "$out"
# The same gradient interlaced and not.
"$convert" -size 5x11 gradient:red-blue -interlace GIF im_interlaced.gif
"$convert" -size 5x11 gradient:red-blue -interlace none im_plain.gif
# Four frames, one of each disposal (1, 2, 3, 0); the later ones with local tables.
"$convert" -delay 7 -dispose None -size 6x6 xc:red -dispose Background -size 6x6 xc:blue \
  -dispose Previous -size 6x6 xc:lime -dispose Undefined -size 6x6 xc:yellow im_disposals.gif
# A transparent frame with one opaque point, over a red one.
"$convert" -delay 10 -dispose None -size 4x4 xc:red \
  \( -size 4x4 xc:none -fill blue -draw "point 1,2" \) im_transparent.gif
# PNGs of other colour types: grey, palette with a transparent entry, 16 bits, interlaced.
"$convert" -size 4x1 xc:gray50 -fill white -draw "point 3,0" -define png:color-type=0 -depth 8 im_grey.png
"$convert" -size 3x1 xc:none -fill red -draw "point 0,0" -fill lime -draw "point 1,0" PNG8:im_palette.png
"$convert" -size 2x2 xc:blue -fill white -draw "point 1,1" -depth 16 PNG48:im_deep.png
"$convert" -size 9x9 xc:lime -fill red -draw "point 8,8" -interlace PNG PNG24:im_interlaced.png
touch stamp
