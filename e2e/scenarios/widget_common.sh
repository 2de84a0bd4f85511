# Shared by the widget scenarios (sourced after lib.sh): the skin, the stored
# position, drags, a coloured desktop.

QLK_SKIN=$QLK_ROOT/resources/skin.bmp

# The stored position as "X Y" (whole twips), "-" for a missing value.
stored_position() {
    echo "$(qlk_reg_query "$QLK_POSITION" frmMain.X || echo -) $(qlk_reg_query "$QLK_POSITION" frmMain.Y || echo -)"
}

# Drags with button $1 from the point ($2, $3) by ($4, $5), in small steps as a hand would.
drag() {
    local button=$1 x=$2 y=$3 dx=$4 dy=$5 i
    xdotool mousemove "$x" "$y" mousedown "$button"
    for i in 1 2 3 4 5 6 7 8 9 10; do
        xdotool mousemove $((x + dx * i / 10)) $((y + dy * i / 10))
        sleep 0.03
    done
    sleep 0.1
    xdotool mouseup "$button"
    sleep 0.3
}

# Paints the X root window, the desktop behind every window, in one colour.
desktop_colour() {
    convert -size "$(xdotool getdisplaygeometry | tr ' ' x)" "xc:$1" "$QLK_TMP/desktop.png"
    display -window root "$QLK_TMP/desktop.png" 2>/dev/null || true # it says 1 when it has painted
    sleep 0.3
}

# Earlier names of the harness's widget helpers (e2e/lib/widget.sh), kept for scenarios that still use them.
widget_enter() { qlk_enter "$@"; }
widget_menu_pick() { qlk_menu_pick "$@"; }
widget_rect() { qlk_widget_rect; }
widget_spot() { qlk_widget_spot; }
menu_rect() { qlk_menu_rect; }
menu_gone() { qlk_menu_gone; }
twips() { qlk_twips "$@"; }
