#!/bin/bash
# The viewer and the add-entry dialog can be open together. A record added
# while the viewer is open must survive the viewer's next rewrite: open the
# viewer, add a record, rename another record in the viewer, close, reopen:
# both are there. A delete in the viewer afterwards keeps it too.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
form3=$QLK_TITLE_FORM3
txtID=IDC_AE_TXTID txtURL=IDC_AE_TXTURL txtUserName=IDC_AE_TXTUSERNAME txtPsswd1=IDC_AE_TXTPSSWD1
txtPsswd2=IDC_AE_TXTPSSWD2

qlk_new_drive
{
    vault_record mail https://mail.example ann abc
    vault_record bank www.bank.example bob pw
} | vault_write
qlk_enter

qlk_case "open the viewer, then add a record through Add Password"
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
qlk_menu_pick 2
qlk_wait_window "$form3" >/dev/null
qlk_type_into "$form3" $txtID 'added meanwhile'
qlk_type_into "$form3" $txtURL https://added.example
qlk_type_into "$form3" $txtUserName dee
qlk_type_into "$form3" $txtPsswd1 pa55
qlk_type_into "$form3" $txtPsswd2 pa55
qlk_click_awaited "$form3" IDOK
qlk_wait_gone "$form3"
qlk_expect_eq "the vault holds the new record" "mail,bank,added meanwhile" "$(vault_names)"
qlk_expect_eq "the open list does not show it yet" 2 "$(viewer_row_count)"

qlk_case "rename another record in the viewer: the rewrite keeps the added record"
viewer_select 1 # mail
viewer_edit_pick 1
qlk_wait_window "Change name" '#32770' >/dev/null
qlk_expect_eq "the box offers the current name" mail "$(qlk_text "Change name" IDC_INPUT_TEXT)"
qlk_set_text "Change name" IDC_INPUT_TEXT mailbox
qlk_click_awaited "Change name" IDOK
qlk_wait_gone "Change name" '#32770'
expected="bank,mailbox,added meanwhile"
qlk_expect_eq "list order, the added record at the end" "$expected" "$(vault_names_become "$expected")"
qlk_expect_eq "the list shows it now" $'bank\nmailbox\nadded meanwhile' "$(viewer_rows | cut -f2)"
LC_ALL=C grep -q '[A-Za-z0-9]' "$QLK_DATA/my_psswds.dat" && qlk_fail "a letter or digit is plain on disk"
qlk_pass "the vault is scrambled at rest"

qlk_case "close and reopen: both changes are there"
qlk_click_awaited "$VIEWER" $Command2
qlk_wait_gone "$VIEWER"
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
qlk_expect_eq "the rows" $'added meanwhile\thttps://added.example\tdee\nbank\twww.bank.example\tbob\nmailbox\thttps://mail.example\tann' \
    "$(viewer_rows | cut -f2-4)"

qlk_case "Ctrl+D deletes the selected record without asking"
viewer_select 1 # bank
qlk_key ctrl+d
qlk_expect_eq "the vault" "added meanwhile,mailbox" "$(vault_names_become "added meanwhile,mailbox")"
qlk_auto -T 300 msgbox >/dev/null 2>&1 && qlk_fail "a message appeared"
qlk_expect_eq "the list" $'added meanwhile\nmailbox' "$(viewer_rows | cut -f2)"
qlk_expect_eq "no row is selected" $'0\n0' "$(viewer_rows | cut -f1)"

qlk_case "a delete that cannot be saved, then one that can: the record added meanwhile is written once"
widget_pick 2
qlk_wait_window "$form3" >/dev/null
qlk_type_into "$form3" $txtID late
qlk_type_into "$form3" $txtURL https://late.example
qlk_type_into "$form3" $txtUserName eve
qlk_click_awaited "$form3" 1
qlk_wait_gone "$form3"
vault="$QLK_DRIVE:\\Tallybox\\my_psswds.dat"
qlk_wine attrib +r "$vault" >/dev/null
viewer_select 0 # added meanwhile
qlk_key ctrl+d
qlk_expect_msgbox 'ERROR: the password data file could not be saved.\r\n'\
'It was left as it was before; the change was not stored.'
qlk_wine attrib -r "$vault" >/dev/null
qlk_expect_eq "the vault is as it was" "added meanwhile,mailbox,late" "$(vault_names)"
viewer_select 0
qlk_key ctrl+d
qlk_expect_eq "the vault holds the added record once" "mailbox,late" "$(vault_names_become "mailbox,late")"
qlk_expect_eq "and so does the list" $'mailbox\nlate' "$(viewer_rows | cut -f2)"
