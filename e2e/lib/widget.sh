# Entering, and the widget: the frmMain window cut to its skin, and its popup
# menu, which a right press on the keys opens at the mouse.

# Where the widget's position is kept between runs, in whole twips.
QLK_POSITION='HKCU\Software\VB and VBA Program Settings\QLK\FormPosInfo'

# qlk_twips PIXELS: the same length in twips (Wine's screen has 96 dpi).
qlk_twips() { echo $(($1 * 15)); }

# qlk_widget_at LEFT TOP: the widget opens at this screen point, as if the user
# had put it there on an earlier run; the stored position goes at the end.
qlk_widget_at() {
    qlk_reg_forget "$QLK_POSITION"
    _qlk_auto_call regset "$QLK_POSITION" frmMain.X "$(qlk_twips "$1")" >/dev/null
    _qlk_auto_call regset "$QLK_POSITION" frmMain.Y "$(qlk_twips "$2")" >/dev/null
}

# qlk_enter [PASSWORD]: starts the program and enters with PASSWORD (default the
# default entry password); waits for the widget.
qlk_enter() {
    qlk_start
    qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 "${1:-marigold}"
    qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
    qlk_wait_gone "$QLK_TITLE_ENTRY"
    qlk_wait_window Quillock frmMain >/dev/null
}

# qlk_widget_rect: "LEFT TOP RIGHT BOTTOM" of the widget on the screen.
qlk_widget_rect() {
    local rect
    rect=$(qlk_on Quillock -c frmMain rect) || qlk_fail "no widget"
    echo "${rect#rect }"
}

# qlk_widget_spot: "X Y", a screen point on the keys: the middle of the middle
# rectangle of the widget's region.
qlk_widget_spot() {
    local left top region runs l t r b
    read -r left top _ _ <<<"$(qlk_widget_rect)"
    region=$(qlk_on Quillock -c frmMain region) || qlk_fail "the widget has no region"
    mapfile -t runs <<<"$region"
    read -r _ l t r b <<<"${runs[${#runs[@]} / 2]}"
    echo "$((left + (l + r) / 2)) $((top + (t + b) / 2))"
}

# qlk_widget_wait_focus: waits until the widget is in front with the keyboard
# on its keys (the skin control, which takes the widget's keys).
qlk_widget_wait_focus() {
    qlk_on Quillock -c frmMain waitfocus IDC_WIDGET_SKIN || qlk_fail "the widget does not have the keyboard"
}

# qlk_menu_rect: waits for the popup menu; prints "LEFT TOP RIGHT BOTTOM".
qlk_menu_rect() {
    qlk_auto -c '#32768' wait >/dev/null || qlk_fail "no popup menu appeared"
    local rect
    rect=$(qlk_auto -c '#32768' rect) || qlk_fail "no popup menu"
    echo "${rect#rect }"
}
# qlk_menu_gone: waits until the popup menu has closed.
qlk_menu_gone() { qlk_auto -c '#32768' gone >/dev/null || qlk_fail "the popup menu stayed open"; }

# qlk_menu_pick N: a right press on the keys, then item N of the widget's menu
# picked with the keyboard (1 About, 2 Add Password, 3 Configure Startup,
# 4 View Passwords, 5 Exit).
qlk_menu_pick() {
    local x y i
    read -r x y <<<"$(qlk_widget_spot)"
    xdotool mousemove "$x" "$y" click 3
    qlk_menu_rect >/dev/null
    qlk_on Quillock -c frmMain waitmenu || qlk_fail "the widget's menu takes no keys"
    for ((i = 0; i < $1; i++)); do qlk_key Down; done
    qlk_key Return
    qlk_menu_gone
}
