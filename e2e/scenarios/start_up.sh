#!/bin/bash
# Start-up: the data folder appears on the program's own drive, the print file
# of an earlier run is deleted, nothing else there is touched, Cancel ends.
source "$(dirname "$0")/../lib.sh"

qlk_case "a first start on an empty drive creates \\Tallybox there and only the run's lock in it"
qlk_new_drive
qlk_start
[ -d "$QLK_DATA" ] || qlk_fail "no Tallybox folder on drive $QLK_DRIVE:"
qlk_expect_eq "Tallybox before any entry" "Quillock.lock, 0 bytes" "$(cd "$QLK_DATA" && stat -c '%n, %s bytes' *)"
qlk_expect_text "the password field starts empty" "$QLK_TITLE_ENTRY" IDC_PW_TXT1 ""
qlk_expect_eq "the show-text box starts unchecked" 0 "$(qlk_check "$QLK_TITLE_ENTRY" IDC_PW_CHECK1)"

qlk_case "Cancel ends the program without entering"
qlk_click_awaited "$QLK_TITLE_ENTRY" IDCANCEL
qlk_wait_exit || qlk_fail "Quillock still runs after Cancel"
[ ! -e "$QLK_DATA/my_psswds.dat" ] || qlk_fail "Cancel created a vault file"
qlk_pass "the program ended"

qlk_case "a start deletes the print file left by an earlier run and leaves the vault alone"
qlk_new_drive
qlk_plant 'Tallybox\temp.dat' $'NAM: printed\r\nPAS: secret\r\n'
qlk_plant 'Tallybox\my_psswds.dat' $'NAM:\xc9\xe4\r\n'
vault_before=$(qlk_file_hex 'Tallybox\my_psswds.dat')
qlk_start
[ ! -e "$QLK_DATA/temp.dat" ] || qlk_fail "temp.dat is still there after the start"
qlk_pass "temp.dat is gone"
qlk_expect_eq "the vault file is unchanged" "$vault_before" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"
qlk_stop
