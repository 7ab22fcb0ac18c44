#!/bin/sh
# Draws the artwork again and writes a contact sheet of every picture, enlarged
# on a black sky, to build/contact-sheet.png.
set -eu
. "$(dirname "$0")/env.sh"
mkdir -p "$SKARDEL_BUILD/artgen/res"
g++ -O2 -std=c++17 -o "$SKARDEL_BUILD/artgen/artgen" "$SKARDEL_ROOT/tools/artgen.cpp"
"$SKARDEL_BUILD/artgen/artgen" "$SKARDEL_BUILD/artgen/res" "$SKARDEL_BUILD/artgen/contact.ppm"
convert "$SKARDEL_BUILD/artgen/contact.ppm" "$SKARDEL_BUILD/contact-sheet.png"
echo "contact sheet: $SKARDEL_BUILD/contact-sheet.png"
