#!/bin/bash
# Changing the entry password: the new one is stored scrambled under
# HKLM\SOFTWARE\QLK\Config "ID", is in force at once and at the next start,
# and the old one is refused; a mistyped change changes nothing.
source "$(dirname "$0")/../lib.sh"
qlk_reset_entry_password
key='HKLM\SOFTWARE\QLK\Config'
new=Tulip7Sun
wrong=$'Entry Password Error:\\r\\nThe entry password is wrong.'
not_current='Entry Password Error:\r\nThe entry password is not entered the same that has been previously '\
'registered - action concelled!'
not_same="New Entry Password Error:\\r\\nThe entry password is not entered the same within the 2 "\
"'New Entry Password' input screens - please try again."

change() { # change CURRENT NEW AGAIN: answers the three input boxes
    qlk_click_awaited "$QLK_TITLE_ENTRY" IDC_PW_COMMAND3
    qlk_input_box 'Current Entry Password...' "$1"
    [ $# -gt 1 ] || return 0
    qlk_input_box 'New Entry Password...' "$2"
    qlk_input_box 'New Entry Password AGAIN to confirm...' "$3"
}

qlk_new_drive
qlk_start

qlk_case "a wrong current password changes nothing"
change Marigold
qlk_expect_msgbox "$not_current"
qlk_reg_hex "$key" ID >/dev/null && qlk_fail "a refused change stored a password"

qlk_case "two different new passwords change nothing"
change marigold "$new" "${new}x"
qlk_expect_msgbox "$not_same"
qlk_reg_hex "$key" ID >/dev/null && qlk_fail "a mismatched change stored a password"

qlk_case "a change stores the scrambled new password and fills both fields"
change marigold "$new" "$new"
qlk_expect_msgbox 'The entry password has been reset - PLEASE REMEMBER IT!'
# REG_SZ: the code-page bytes of the scrambled text and the terminating NUL
qlk_expect_eq "the stored value" "REG_SZ $((${#new} + 1)) $(qlk_cipher_hex "$new")00" "$(qlk_reg_hex "$key" ID)"
qlk_expect_text "the field holds the new password" "$QLK_TITLE_ENTRY" IDC_PW_TXT1 "$new"
qlk_expect_text "the hidden field holds it too" "$QLK_TITLE_ENTRY" IDC_PW_TXT2 "$new"

qlk_case "OK right after the change enters"
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the widget is shown"
qlk_stop

qlk_case "the next start refuses \"marigold\" and accepts the new password"
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_expect_msgbox "$wrong"
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 "$new"
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the new password enters"
qlk_stop
