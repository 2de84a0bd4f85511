#!/bin/bash
# Draws the maker's logo for the About window: "Quillock Works" on a band at the
# top, a quill crossing a key in the middle and the slogan at the bottom.
# Writes resources/about_logo.bmp (413 x 289, 24 bits per pixel). Run by hand
# after changing the drawing; pass a file name to also get a PNG preview.
# The window stretches the logo to 373 x 201 pixels and cuts off its top 32:
# the band (rows 0 to 44) stays hidden behind the window's own name label, and
# the slogan (around row 248) lies under the window's slogan label.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

ink='#1d2b44'
brass='#d9a441'
brass_dark='#7a5412'
feather='#3d6fb0'
feather_light='#a9c7ec'

convert -size 413x289 xc:white \
    -fill "$ink" -draw 'rectangle 0,0 412,40' \
    -fill '#e9b949' -draw 'rectangle 0,40 412,44' \
    -font Helvetica-Bold -pointsize 26 -fill white -gravity north -annotate +0+5 'Quillock Works' \
    -gravity northwest \
    -fill '#eef3fa' -stroke none -draw 'circle 206,150 206,80' \
    -stroke "$brass_dark" -strokewidth 4 -fill "$brass" -draw 'circle 150,150 150,114' \
    -fill white -draw 'circle 150,150 150,135' \
    -fill "$brass" -draw 'rectangle 184,141 320,159' \
    -draw 'rectangle 272,159 286,184' -draw 'rectangle 298,159 312,176' \
    -stroke "$ink" -strokewidth 3 -fill "$feather" \
    -draw 'path "M 298,80 C 262,92 214,136 178,210 C 214,170 262,132 298,80 Z"' \
    -stroke none -fill "$feather_light" \
    -draw 'path "M 294,86 C 262,100 226,134 198,180 C 232,142 266,112 294,86 Z"' \
    -stroke "$ink" -strokewidth 2 -draw 'line 298,80 170,222' \
    -font Helvetica-Oblique -pointsize 14 -stroke none -fill "$ink" -gravity south \
    -annotate +0+34 'Software that stands out from the rest!' \
    -type TrueColor "BMP3:about_logo.bmp"

if [ $# -gt 0 ]; then convert about_logo.bmp "$1"; fi
