#!/bin/bash
# The widget's popup menu: a right press or a double click on the keys opens it
# at the mouse; its five items, reached with the keyboard, open the About
# window, the add-entry dialog, the startup configuration, the viewer gate and
# Exit; an item whose window is open brings that window forward, no second one.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password
# Top right, where no window that the menu opens covers it.
qlk_widget_at 1000 100

qlk_new_drive
qlk_enter
read -r x y <<<"$(qlk_widget_spot)"

qlk_case "a right press on the keys opens the menu at the mouse"
desktop_colour '#3070b0'
xdotool mousemove "$x" "$y" click 3
read -r m_left m_top m_right m_bottom <<<"$(qlk_menu_rect)"
qlk_expect_eq "the menu's top left corner is at the mouse" "$x $y" "$m_left $m_top"
# Five items of one line each, no separators.
height=$((m_bottom - m_top))
[ "$height" -gt 60 ] && [ "$height" -lt 140 ] || qlk_fail "a menu $height pixels high is not five items"
qlk_pass "the menu is five items high"
qlk_key Escape
qlk_menu_gone
qlk_pass "Escape closes it and picks nothing"

qlk_case "a double click on the keys opens it too"
xdotool mousemove "$x" "$y" click --repeat 2 --delay 60 1
read -r m_left m_top _ _ <<<"$(qlk_menu_rect)"
qlk_expect_eq "the menu's top left corner is at the mouse" "$x $y" "$m_left $m_top"
qlk_key Escape
qlk_menu_gone

qlk_case "a right press beside the keys reaches the desktop, not the widget"
read -r left top _ _ <<<"$(qlk_widget_rect)"
xdotool mousemove $((left + 1)) $((top + 1)) click 3 # the top left pixel is the cut-away surround
sleep 0.5
qlk_auto -c '#32768' -T 0 wait >/dev/null 2>&1 && qlk_fail "a press on the cut-away corner opened the menu"
qlk_pass "no menu"

qlk_case "About, Help and Support Links opens the About window, once"
qlk_menu_pick 1
qlk_wait_window "$QLK_TITLE_ABOUT" >/dev/null
qlk_menu_pick 1
sleep 0.3
qlk_expect_eq "About windows open" 1 "$(qlk_auto -t "$QLK_TITLE_ABOUT" list | wc -l)"
qlk_expect_text "the maker's name" "$QLK_TITLE_ABOUT" IDC_ABOUT_LABEL4 "Quillock Works"
# The shell hands an https address to the command registered for the scheme:
# for this scenario, one that writes the address it gets into a file.
https_open='HKLM\Software\Classes\https\shell\open\command'
logger="C:\\windows\\system32\\cmd.exe /c echo %1>>$QLK_DRIVE:\\opened.txt"
_qlk_wine reg add "$https_open" /ve /d "$logger" /f >/dev/null
qlk_at_exit "_qlk_wine reg add '$https_open' /ve /d '\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"' /f >/dev/null"
opened() { # waits for the Nth address handed to the shell
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$(tr -d '\r' <"$QLK_DIR/opened.txt" 2>/dev/null | sed -n "${1}p")" != "" ] && break
        sleep 0.1
    done
    tr -d '\r' <"$QLK_DIR/opened.txt" 2>/dev/null | sed -n "${1}p"
}
n=0
for link in IDC_ABOUT_LABEL1:https://quillock.example/ IDC_ABOUT_LABEL3:https://works.quillock.example/ \
    IDC_ABOUT_IMAGE1:https://works.quillock.example/; do
    # Label1 the product's site; Label3 and Image1 the maker's
    qlk_click_awaited "$QLK_TITLE_ABOUT" "${link%%:*}"
    qlk_wait_gone "$QLK_TITLE_ABOUT"
    n=$((n + 1))
    qlk_expect_eq "link ${link%%:*} opens its address" "${link#*:}" "$(opened $n)"
    qlk_menu_pick 1
    qlk_wait_window "$QLK_TITLE_ABOUT" >/dev/null
done
for text in IDC_ABOUT_LABEL4 IDC_ABOUT_LABEL5; do # the maker's name and the slogan lie on the picture but are no links
    qlk_click "$QLK_TITLE_ABOUT" $text
    sleep 0.3
    qlk_auto -t "$QLK_TITLE_ABOUT" -T 0 wait >/dev/null || qlk_fail "a click on label $text closed the window"
done
qlk_pass "each link closes the About window; the name and the slogan do not"

qlk_case "Add Password opens the add-entry dialog"
qlk_menu_pick 2
qlk_wait_window "$QLK_TITLE_FORM3" >/dev/null
qlk_pass "the add-entry dialog is open"

qlk_case "Configure Startup opens the startup configuration, once"
qlk_menu_pick 3
qlk_wait_window "$QLK_TITLE_STARTUP" >/dev/null
qlk_menu_pick 3
sleep 0.3
qlk_expect_eq "startup windows open" 1 "$(qlk_auto -t "$QLK_TITLE_STARTUP" list | wc -l)"

qlk_case "View Passwords asks for the entry password first; a cancelled answer is refused"
qlk_menu_pick 4
qlk_cancel_input_box "$QLK_TITLE_GATE"
qlk_expect_msgbox 'Sorry: you have entered the wrong password.'

qlk_case "Exit closes every window and ends the program"
qlk_menu_pick 5
qlk_wait_exit || qlk_fail "Quillock still runs after Exit"
qlk_pass "the program ended"
qlk_expect_eq "the position is saved" "$(qlk_twips 1000) $(qlk_twips 100)" "$(stored_position)"
for title in "$QLK_TITLE_ABOUT" "$QLK_TITLE_FORM3" "$QLK_TITLE_STARTUP"; do qlk_wait_gone "$title"; done
qlk_pass "no window is left"
