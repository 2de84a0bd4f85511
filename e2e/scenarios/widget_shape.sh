#!/bin/bash
# The widget after entry: in the middle of the screen on a first run, the size
# of its skin, and cut to the skin's opaque pixels: its window region holds
# exactly those pixels, and on a coloured desktop the desktop shows around the
# keys while the keys show pixel for pixel, never the red surround.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password
qlk_reg_forget "$QLK_POSITION"

qlk_new_drive
qlk_enter
read -r left top right bottom <<<"$(qlk_widget_rect)"
read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"

qlk_case "a first run puts the widget in the middle of the screen, the size of its skin"
qlk_expect_eq "left edge at half the screen's width" $((screen_w / 2)) "$left"
qlk_expect_eq "top edge at half the screen's height" $((screen_h / 2)) "$top"
qlk_expect_eq "size" "85x85" "$((right - left))x$((bottom - top))"

qlk_case "the window region is exactly the opaque pixels of the skin"
# Opaque pixels of the picture, "x y" a line; the surround is pure red.
convert "$QLK_SKIN" txt:- | awk -F'[,: ]+' 'NR > 1 && $0 !~ /#FF0000/ { print $1, $2 }' | sort >"$QLK_TMP/skin.txt"
qlk_auto -t Quillock -c frmMain region |
    awk '$1 == "rect" { for (y = $3; y < $5; y++) for (x = $2; x < $4; x++) print x, y }' | sort >"$QLK_TMP/region.txt"
opaque=$(wc -l <"$QLK_TMP/skin.txt")
[ "$opaque" -gt 1000 ] || qlk_fail "the skin has only $opaque opaque pixels"
qlk_expect_eq "pixels in the region" "$opaque" "$(wc -l <"$QLK_TMP/region.txt")"
cmp -s "$QLK_TMP/skin.txt" "$QLK_TMP/region.txt" || qlk_fail "the region and the skin's opaque pixels differ"
qlk_pass "the region and the skin's opaque pixels are the same pixels"

# The widget as the screen shows it, against the skin with its red made the desktop's colour.
on_desktop() { # COLOUR
    qlk_case "on a desktop of $1 the desktop shows around the keys and the keys show as drawn"
    desktop_colour "$1"
    xdotool mousemove 0 0 # no tool tip over the widget
    sleep 0.3
    import -window root -crop 85x85+"$left"+"$top" +repage "$QLK_TMP/shot.png"
    convert "$QLK_SKIN" -fill "$1" -opaque '#FF0000' "$QLK_TMP/expected.png"
    local differ red
    differ=$(compare -metric AE "$QLK_TMP/shot.png" "$QLK_TMP/expected.png" null: 2>&1 | cut -d' ' -f1) || true
    qlk_expect_eq "pixels that differ from the skin on $1" 0 "$differ"
    red=$(convert "$QLK_TMP/shot.png" -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
        -format '%[fx:round(mean*w*h)]' info:)
    qlk_expect_eq "red pixels on the screen" 0 "$red"
}
on_desktop '#3070b0'
on_desktop '#f2f2ee'

qlk_stop
