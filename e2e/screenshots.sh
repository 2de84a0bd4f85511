#!/bin/bash
# Saves every picture README.md shows into docs/, taken from the real program
# driven by the end-to-end harness, in the Wine prefix and with the fonts the
# tests use: e2e/screenshots.sh [BUILD_DIR]
# BUILD_DIR is a Windows build tree (default build/win). Without a display a
# virtual one is started for the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
export QLK_WINEPREFIX=$build/wineprefix QLK_EXE=$build/Quillock.exe QLK_AUTO=$build/qlk_auto.exe
source "$root/scripts/common.sh"
qlk_ensure_display
source "$root/e2e/lib.sh"
source "$root/e2e/scenarios/widget_common.sh"
source "$root/e2e/scenarios/viewer_common.sh"
qlk_at_exit qlk_stop_display
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
docs=$root/docs
mkdir -p "$docs"
saved() { echo "saved docs/$1"; }

# The widget near the top left corner, where no other window covers it.
qlk_reg_forget "$QLK_POSITION"
qlk_wine reg add "$QLK_POSITION" /v frmMain.X /d "$(twips 60)" /f >/dev/null
qlk_wine reg add "$QLK_POSITION" /v frmMain.Y /d "$(twips 60)" /f >/dev/null

qlk_new_drive
{
    vault_record 'Mail account' https://mail.example.com/login ann.smith 'Blue7-Tide'
    vault_record 'Bank' https://online.bank.example 4471-2290 'k8#Lm2qR'
    vault_record 'Book club forum' www.readers.example annie 'paper-moon'
    vault_record 'Cloud storage' https://drive.example.net ann.smith@mail.example.com 'Xq4vR9tz'
    vault_record 'Energy supplier' https://my.power.example 100238841 'sunny2day'
    vault_record 'Train tickets' https://tickets.rail.example asmith 'n0rth-Line'
} | vault_write

# The entry-password dialog as a first start shows it, a password being typed.
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" 1002 marigold
qlk_expect_text "the password is typed" "$QLK_TITLE_ENTRY" 1002 marigold
qlk_screenshot "$docs/entry-password.png" "$QLK_TITLE_ENTRY"
saved entry-password.png
qlk_click "$QLK_TITLE_ENTRY" 1
qlk_wait_gone "$QLK_TITLE_ENTRY"
qlk_wait_window Quillock frmMain >/dev/null

# The widget on a blue desktop with its menu open.
desktop_colour '#3070b0'
read -r x y <<<"$(widget_spot)"
xdotool mousemove "$x" "$y" click 3
read -r _ _ m_right m_bottom <<<"$(menu_rect)"
read -r w_left w_top _ _ <<<"$(widget_rect)"
sleep 0.3
import -window root -crop $((m_right - w_left + 40))x$((m_bottom - w_top + 40))+$((w_left - 20))+$((w_top - 20)) \
    +repage "$docs/widget-menu.png"
saved widget-menu.png
qlk_key Escape
menu_gone

# A window of the menu: widget_window_shot ITEM TITLE FILE, closed afterwards.
widget_window_shot() {
    widget_menu_pick "$1"
    qlk_wait_window "$2" >/dev/null
    sleep 0.3
    qlk_screenshot "$docs/$3" "$2"
    saved "$3"
    qlk_on "$2" close >/dev/null
    qlk_wait_gone "$2"
}
widget_window_shot 1 "$QLK_TITLE_ABOUT" about.png
widget_window_shot 3 "$QLK_TITLE_STARTUP" startup.png

# The add-entry dialog with a generated password.
widget_menu_pick 2
form3=$QLK_TITLE_FORM3
qlk_wait_window "$form3" >/dev/null
qlk_type_into "$form3" 4007 ann.smith
qlk_type_into "$form3" 4005 https://mail.example.com
qlk_type_into "$form3" 4003 'Mail account'
qlk_expect_text "the name is typed" "$form3" 4003 'Mail account'
qlk_click "$form3" 4014
sleep 0.3
qlk_screenshot "$docs/add-entry.png" "$form3"
saved add-entry.png
qlk_click "$form3" 2
qlk_wait_gone "$form3"

# A message box: the gate refusing a wrong password.
widget_menu_pick 4
qlk_input_box "$GATE" wrong
qlk_auto -t Quillock -c '#32770' wait >/dev/null || qlk_fail "no message box"
read -r _ left top right bottom <<<"$(qlk_auto -t Quillock -c '#32770' rect)"
sleep 0.3
import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$docs/message.png"
saved message.png
qlk_expect_msgbox 'Sorry: you have entered the wrong password.'

# The viewer gate with the password typed (masked), then the viewer.
widget_menu_pick 4
qlk_wait_window "$GATE" '#32770' >/dev/null
qlk_type_into "$GATE" 102 marigold
qlk_expect_text "the gate's password is typed" "$GATE" 102 marigold
qlk_screenshot "$docs/gate.png" "$GATE"
saved gate.png
qlk_click "$GATE" 1
qlk_wait_window "$VIEWER" >/dev/null
viewer_select 3
sleep 0.5
qlk_screenshot "$docs/viewer.png" "$VIEWER"
saved viewer.png
qlk_stop
