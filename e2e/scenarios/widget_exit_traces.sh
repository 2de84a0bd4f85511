#!/bin/bash
# Plain passwords leave with the program on every way out: the print file
# (every password in plain text) is deleted and a password the program copied
# leaves the clipboard, also when Escape on the keys ends the program at once
# and when the system's close command closes the widget. Escape still saves
# nothing: the stored position and the vault stay as they were. Text that
# another program copied after ours stays on the clipboard.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password
print_file() { [ -e "$QLK_DATA/temp.dat" ]; }

qlk_new_drive
vault_record mail https://mail.example ann abc | vault_write
vault_before=$(qlk_file_hex 'Tallybox\my_psswds.dat')

escape_on_the_keys() {
    local x y
    read -r x y <<<"$(widget_spot)"
    xdotool mousemove "$x" "$y" click 1 # the keys take the keyboard
    qlk_key Escape
    qlk_wait_exit || qlk_fail "Quillock still runs after Escape"
}

# Prints the list (the viewer closes, Notepad shows the print file), then
# opens the viewer again and copies the password of its only row.
print_then_copy() {
    view_passwords marigold
    qlk_wait_window "$VIEWER" >/dev/null
    qlk_click_awaited "$VIEWER" $Command1
    qlk_auto msgbox ok >/dev/null || qlk_fail "no print message"
    qlk_wait_gone "$VIEWER"
    close_notepad 10000
    print_file || qlk_fail "no print file was written"
    view_passwords marigold
    qlk_wait_window "$VIEWER" >/dev/null
    viewer_select 0
    qlk_key ctrl+c
    sleep 0.3
    qlk_expect_eq "the password is on the clipboard" abc "$(qlk_clipboard)"
}

qlk_case "Escape on the keys with the viewer open and a password copied"
enter
print_then_copy
escape_on_the_keys
print_file && qlk_fail "the print file is still in the data folder"
qlk_pass "the print file is gone"
qlk_expect_eq "the clipboard is empty" "" "$(qlk_clipboard)"
qlk_expect_eq "the position Escape does not save" "300 300" "$(stored_position)"
qlk_expect_eq "the vault is untouched" "$vault_before" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"

qlk_case "Escape after another program copied something: its text stays"
enter
print_then_copy
qlk_auto setclip "copied elsewhere" >/dev/null
escape_on_the_keys
qlk_expect_eq "the other program's text" "copied elsewhere" "$(qlk_clipboard)"
print_file && qlk_fail "the print file is still in the data folder"
qlk_pass "the print file is gone"

qlk_case "the system's close command on the widget ends the run and takes the print file along"
enter
qlk_plant 'Tallybox\temp.dat' 'Identifer Name: mail   URL: https://mail.example   UserName: ann   Password: abc'
qlk_auto -t Quillock -c frmMain close >/dev/null || qlk_fail "no widget to close"
qlk_wait_exit || qlk_fail "Quillock still runs after the widget closed"
print_file && qlk_fail "the print file is still in the data folder"
qlk_pass "the print file is gone"
