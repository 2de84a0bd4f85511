#!/bin/bash
# The widget's position between runs: a left or right drag moves it; Exit saves
# where it is (whole twips) and the next start opens it there; Escape pressed
# on the keys ends the program at once and saves nothing, so the next start
# opens it where the last orderly exit left it; a stored position that no
# monitor shows comes back onto the screen.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password
qlk_reg_forget "$QLK_POSITION"
read -r screen_w screen_h <<<"$(xdotool getdisplaygeometry)"

expect_at() { # WHAT LEFT TOP
    local left top
    read -r left top _ _ <<<"$(qlk_widget_rect)"
    qlk_expect_eq "$1" "$2 $3" "$left $top"
}

qlk_new_drive
qlk_case "a first run opens the widget in the middle of the screen and a left drag moves it"
qlk_enter
x0=$((screen_w / 2)) y0=$((screen_h / 2))
expect_at "the widget is in the middle" $x0 $y0
read -r x y <<<"$(qlk_widget_spot)"
drag 1 "$x" "$y" 150 -200
expect_at "the widget followed the left button" $((x0 + 150)) $((y0 - 200))

qlk_case "a right drag moves it too and then opens the menu at the mouse"
read -r x y <<<"$(qlk_widget_spot)"
drag 3 "$x" "$y" -400 100
read -r m_left m_top _ _ <<<"$(qlk_menu_rect)"
qlk_expect_eq "the menu opens where the button went up" "$((x - 400)) $((y + 100))" "$m_left $m_top"
qlk_key Escape
qlk_menu_gone
x1=$((x0 + 150 - 400)) y1=$((y0 - 200 + 100))
expect_at "the widget followed the right button" $x1 $y1

qlk_case "Exit with other windows open saves the position and ends"
qlk_menu_pick 1
qlk_wait_window "$QLK_TITLE_ABOUT" >/dev/null
qlk_menu_pick 3
qlk_wait_window "$QLK_TITLE_STARTUP" >/dev/null
qlk_menu_pick 5
qlk_wait_exit || qlk_fail "Quillock still runs after Exit"
qlk_pass "the program ended"
qlk_expect_eq "the stored position in twips" "$(qlk_twips $x1) $(qlk_twips $y1)" "$(stored_position)"

qlk_case "the next start opens the widget where Exit left it"
qlk_enter
expect_at "the widget is back in its place" $x1 $y1

qlk_case "Escape pressed on the keys ends at once and saves nothing"
read -r x y <<<"$(qlk_widget_spot)"
drag 1 "$x" "$y" 100 100
expect_at "the widget moved" $((x1 + 100)) $((y1 + 100))
read -r x y <<<"$(qlk_widget_spot)"
xdotool mousemove "$x" "$y" click 1 # the keys take the keyboard
qlk_key Escape
qlk_wait_exit || qlk_fail "Quillock still runs after Escape"
qlk_pass "the program ended"
qlk_expect_eq "the stored position is the one of the last Exit" "$(qlk_twips $x1) $(qlk_twips $y1)" "$(stored_position)"
qlk_enter
expect_at "the next start opens it where Exit left it, not where Escape did" $x1 $y1
qlk_stop

qlk_case "a position that no monitor shows comes back onto the nearest edge of the screen"
qlk_wine reg add "$QLK_POSITION" /v frmMain.X /d 200000 /f >/dev/null
qlk_wine reg add "$QLK_POSITION" /v frmMain.Y /d -9000 /f >/dev/null
qlk_enter
read -r left top right bottom <<<"$(qlk_widget_rect)"
[ "$right" -le "$screen_w" ] && [ "$right" -gt $((screen_w - 150)) ] && [ "$top" -ge 0 ] && [ "$top" -lt 100 ] ||
    qlk_fail "the widget is at $left,$top-$right,$bottom on a ${screen_w}x$screen_h screen"
qlk_pass "the widget is at the top right of the screen"
qlk_stop
