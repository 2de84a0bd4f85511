#!/bin/bash
# The entry check: only the exact default password typed into the visible
# field enters; a refusal says so and empties the fields; an entry creates an
# empty vault file when there is none and leaves an existing one byte for byte.
source "$(dirname "$0")/../lib.sh"
qlk_reset_entry_password
wrong=$'Entry Password Error:\\r\\nThe entry password is wrong.'

refused() { # refused WHAT: after OK, the error shows and both fields are empty
    qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
    qlk_expect_msgbox "$wrong"
    qlk_expect_text "$1: the field is emptied" "$QLK_TITLE_ENTRY" IDC_PW_TXT1 ""
    qlk_expect_text "$1: the hidden field is emptied" "$QLK_TITLE_ENTRY" IDC_PW_TXT2 ""
}

qlk_new_drive
qlk_start
for attempt in Marigold 'marigold ' lilac; do
    qlk_case "\"$attempt\" is refused"
    qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 "$attempt"
    refused "\"$attempt\""
done

qlk_case "the password typed into the hidden second field (reached with Tab) does not count"
qlk_click "$QLK_TITLE_ENTRY" IDC_PW_TXT1
qlk_key Tab
qlk_type marigold
qlk_expect_text "the Tab key leads into the hidden field" "$QLK_TITLE_ENTRY" IDC_PW_TXT2 marigold
refused "text in the hidden field"
[ ! -e "$QLK_DATA/my_psswds.dat" ] || qlk_fail "a refused entry created the vault file"

qlk_case "\"marigold\" enters: the widget shows and an empty vault file is created"
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_gone "$QLK_TITLE_ENTRY"
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the widget is shown"
[ -f "$QLK_DATA/my_psswds.dat" ] || qlk_fail "no vault file after the entry"
qlk_expect_eq "the new vault file is empty" 0 "$(stat -c %s "$QLK_DATA/my_psswds.dat")"
qlk_alive || qlk_fail "Quillock ended after the entry"
qlk_stop

qlk_case "an entry leaves an existing vault file byte for byte"
qlk_new_drive
vault=$'NAM:\xce\xda\xe6\xde\r\nURL:\xe1\xed\xed\xe9\r\nUSE:\r\nPAS:\xf5\xf6\xf7\r\nIDN:\xc8\xc8\r\n'
qlk_plant 'Tallybox\my_psswds.dat' "$vault"
before=$(qlk_file_hex 'Tallybox\my_psswds.dat')
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_window Quillock frmMain >/dev/null
qlk_expect_eq "the vault file is unchanged" "$before" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"
qlk_stop
