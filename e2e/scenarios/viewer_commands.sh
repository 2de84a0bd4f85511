#!/bin/bash
# The viewer's commands as a user gives them: Ctrl+C copies the plain
# password in both views, Ctrl+U the user name; "Clear Clipboard && Close"
# empties the clipboard; "Print" writes every row in list order with plain
# passwords to temp.dat, opens it in Notepad, closes the viewer and empties
# the clipboard, and that Notepad closes when the owner steps away (a lock);
# the greyed close box does nothing.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
qlk_at_exit close_notepad 0 # one the scenario left open, if any: no waiting
PRINT_MESSAGE="This function will create a temp text file that can be saved and/ or printed.\\r\\n\\r\\nThe file will be deleted, at exit of this software, UNLESS you elect to 'Save As' a different file."

qlk_new_drive
{
    vault_record mail https://mail.example ann abc
    vault_record bank www.bank.example 'bob b' 'S3cret!'
    vault_record forum '' cy pw
} | vault_write
qlk_enter
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
# Rows: bank 0, forum 1, mail 2.

qlk_case "Ctrl+C copies the plain password, Ctrl+U the user name, in the scrambled view"
viewer_select 2
viewer_key ctrl+c
qlk_expect_eq "the password of mail" abc "$(clipboard_becomes abc)"
viewer_select 0
viewer_key ctrl+c
qlk_expect_eq "the password of bank" 'S3cret!' "$(clipboard_becomes 'S3cret!')"
viewer_key ctrl+u
qlk_expect_eq "the user name of bank" 'bob b' "$(clipboard_becomes 'bob b')"

qlk_case "in the plain view Ctrl+C copies the same plain password"
qlk_click "$VIEWER" $Command3
qlk_expect_text "the toggle's caption" "$VIEWER" $Command3 "Encrypt Password View"
qlk_expect_eq "the column shows plain passwords" $'S3cret!\npw\nabc' "$(viewer_rows | cut -f5)"
viewer_select 2
viewer_key ctrl+c
qlk_expect_eq "the password of mail" abc "$(clipboard_becomes abc)"
qlk_click "$VIEWER" $Command3
qlk_expect_text "back to the scrambled view" "$VIEWER" $Command3 "Decrypt Password View"

qlk_case "the close box is greyed and does nothing"
read -r left top right _ <<<"$(qlk_rect "$VIEWER")"
xdotool mousemove $((right - 10)) $((top + 10)) click 1
sleep 0.5
qlk_auto -t "$VIEWER" wait >/dev/null || qlk_fail "the close box closed the viewer"
qlk_pass "the viewer is still open"

qlk_case "Clear Clipboard && Close empties the clipboard, also of what another program put there"
qlk_auto setclip "from another program" >/dev/null
qlk_expect_eq "another program's text is on the clipboard" "from another program" "$(qlk_clipboard)"
qlk_click_awaited "$VIEWER" $Command2
qlk_wait_gone "$VIEWER"
qlk_expect_eq "the clipboard is empty" "" "$(qlk_clipboard)"

qlk_case "Print writes the rows in list order with plain passwords, opens Notepad and closes the viewer"
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
viewer_select 1
viewer_key ctrl+c
qlk_expect_eq "a password is on the clipboard" pw "$(clipboard_becomes pw)"
qlk_plant 'Tallybox\temp.dat' $'an older, longer print file\r\n\r\n\r\n\r\n'
qlk_click_awaited "$VIEWER" $Command1
qlk_expect_msgbox "$PRINT_MESSAGE"
qlk_wait_gone "$VIEWER"
qlk_pass "the viewer closed"
expected='Identifer Name: bank   URL: www.bank.example   UserName: bob b   Password: S3cret!\r\n'
expected+='Identifer Name: forum   URL:    UserName: cy   Password: pw\r\n'
expected+='Identifer Name: mail   URL: https://mail.example   UserName: ann   Password: abc\r\n'
qlk_expect_eq "temp.dat holds exactly the three lines" "$(printf "$expected" | xxd -p | tr -d '\n')" \
    "$(qlk_file_hex 'Tallybox\temp.dat')"
qlk_wine "$QLK_AUTO" -t 'temp.dat - Notepad' wait >/dev/null || qlk_fail "Notepad did not open the print file"
qlk_pass "Notepad shows temp.dat"
qlk_expect_eq "the clipboard is empty" "" "$(qlk_clipboard)"

qlk_case "the owner steps away: the Notepad that shows the print list closes"
qlk_auto -t Quillock -c frmMain post 0x2B1 7 >/dev/null || qlk_fail "no widget to lock" # WM_WTSSESSION_CHANGE, LOCK
qlk_wine "$QLK_AUTO" -P 'temp.dat - ' gone >/dev/null || qlk_fail "Notepad still shows the print list"
qlk_pass "the print list's Notepad has closed"
qlk_alive || qlk_fail "the program ended"
