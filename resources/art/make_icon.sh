#!/bin/bash
# Draws the program icon (a brass key on a ring) at 16, 32 and 48 pixels and
# writes resources/quillock.ico. Run by hand after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
    -stroke '#5a3d0c' -strokewidth 10 -fill none -draw 'circle 78,78 78,18' \
    -stroke '#5a3d0c' -strokewidth 8 -fill '#e0b040' -draw 'circle 110,110 110,62' \
    -fill '#3a2a10' -stroke none -draw 'circle 110,110 110,94' \
    -stroke '#5a3d0c' -strokewidth 8 -fill '#e0b040' -draw 'polygon 140,140 236,236 220,250 124,154' \
    -draw 'polygon 196,212 214,194 230,210 212,228' -draw 'polygon 172,188 186,174 200,188 186,202' \
    "$tmp/key.png"
for size in 16 32 48; do convert "$tmp/key.png" -resize ${size}x${size} "$tmp/key$size.png"; done
convert "$tmp/key16.png" "$tmp/key32.png" "$tmp/key48.png" quillock.ico
