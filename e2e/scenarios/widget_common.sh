# Shared by the widget scenarios (sourced after lib.sh): entering, finding a
# spot on the keys, the popup menu, the stored position, a coloured desktop.

QLK_POSITION='HKCU\Software\VB and VBA Program Settings\QLK\FormPosInfo'
QLK_SKIN=$QLK_ROOT/resources/skin.bmp
QLK_TITLE_ABOUT='About us...'
QLK_TITLE_STARTUP='Set activation...'
QLK_TITLE_FORM3='Add URL, Username  and Password values to your list...'

widget_enter() {
    qlk_start
    qlk_type_into "$QLK_TITLE_ENTRY" 1002 marigold
    qlk_click "$QLK_TITLE_ENTRY" 1
    qlk_wait_gone "$QLK_TITLE_ENTRY"
    qlk_wait_window Quillock frmMain >/dev/null
}

# "LEFT TOP RIGHT BOTTOM" of the widget on the screen.
widget_rect() {
    local rect
    rect=$(qlk_auto -t Quillock -c frmMain rect) || qlk_fail "no widget"
    echo "${rect#rect }"
}

# "X Y": a screen point on the keys, the middle of the region's middle run.
widget_spot() {
    local left top region count l t r b
    read -r left top _ _ <<<"$(widget_rect)"
    region=$(qlk_auto -t Quillock -c frmMain region) || qlk_fail "no widget region"
    count=${region%%$'\n'*}
    count=${count#region }
    [ "$count" != none ] || qlk_fail "the widget has no region"
    read -r _ l t r b <<<"$(sed -n "$((count / 2 + 2))p" <<<"$region")"
    echo "$((left + (l + r) / 2)) $((top + (t + b) / 2))"
}

# Waits for the popup menu; prints "LEFT TOP RIGHT BOTTOM".
menu_rect() {
    qlk_auto -c '#32768' wait >/dev/null || qlk_fail "no popup menu appeared"
    local rect
    rect=$(qlk_auto -c '#32768' rect) || qlk_fail "no popup menu"
    echo "${rect#rect }"
}
menu_gone() { qlk_auto -c '#32768' gone >/dev/null || qlk_fail "the popup menu stayed open"; }

# Right press on the keys, then the item at position $1 (1 to 5) by the keyboard.
widget_menu_pick() {
    local x y i
    read -r x y <<<"$(widget_spot)"
    xdotool mousemove "$x" "$y" click 3
    menu_rect >/dev/null
    for ((i = 0; i < $1; i++)); do qlk_key Down; done
    qlk_key Return
    menu_gone
}

# The stored position as "X Y" (whole twips), "-" for a missing value.
stored_position() {
    echo "$(qlk_reg_query "$QLK_POSITION" frmMain.X || echo -) $(qlk_reg_query "$QLK_POSITION" frmMain.Y || echo -)"
}

twips() { echo $(($1 * 15)); } # Wine's screen has 96 dpi

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
