#!/bin/bash
# A save that a power cut stopped on a FAT stick left only its work file, and
# another program (a virus scanner) holds that file when the program starts:
# the start says it cannot restore the vault, the add of that run writes
# nothing, and the next start, with the file free, shows every record.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
form3=$QLK_TITLE_FORM3
interrupted=$'ERROR: the password data file could not be restored after an interrupted save.\\r\\nClose any program that may hold Tallybox\\\\my_passwordsX.dat or Tallybox\\\\my_passwordsB.dat and start Quillock again. Until then nothing is saved; every file is kept as it is.'

qlk_new_drive
{
    vault_record mail https://mail.example ann abc
    vault_record bank www.bank.example bob pw
} | vault_write
mv "$QLK_DATA/my_psswds.dat" "$QLK_DATA/my_passwordsX.dat"
work_before=$(qlk_file_hex 'Tallybox\my_passwordsX.dat')

qlk_case "a start while another program holds the work file says so once and creates no vault"
"$QLK_WINE" "$QLK_AUTO" hold "$QLK_DRIVE:\\Tallybox\\my_passwordsX.dat" </dev/null >"$QLK_TMP/hold.out" 2>&1 &
holder=$!
QLK_PIDS+=("$holder")
for _ in $(seq 200); do grep -q held "$QLK_TMP/hold.out" && break; sleep 0.1; done
grep -q held "$QLK_TMP/hold.out" || qlk_fail "the work file could not be held: $(cat "$QLK_TMP/hold.out")"
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click "$QLK_TITLE_ENTRY" IDOK
qlk_expect_msgbox "$interrupted"
qlk_wait_window Quillock frmMain >/dev/null
[ ! -e "$QLK_DATA/my_psswds.dat" ] || qlk_fail "an empty vault was created beside the work file"
qlk_pass "no vault was created"

qlk_case "an add in that run writes nothing and says why"
qlk_menu_pick 2
qlk_wait_window "$form3" >/dev/null
qlk_type_into "$form3" IDC_AE_TXTID late
qlk_type_into "$form3" IDC_AE_TXTURL https://late.example
qlk_type_into "$form3" IDC_AE_TXTUSERNAME cy
qlk_type_into "$form3" IDC_AE_TXTPSSWD1 pw
qlk_type_into "$form3" IDC_AE_TXTPSSWD2 pw
qlk_click "$form3" IDOK
qlk_expect_msgbox "$interrupted"
qlk_expect_eq "the work file" "$work_before" "$(qlk_file_hex 'Tallybox\my_passwordsX.dat')"
qlk_expect_eq "the folder" $'Quillock.lock\nmy_passwordsX.dat' "$(LC_ALL=C ls -A "$QLK_DATA")"
qlk_stop
qlk_stop "$holder"

qlk_case "the next start, with the work file free, shows every record; an add then keeps them"
qlk_enter
qlk_expect_eq "the vault" "mail,bank" "$(vault_names)"
[ ! -e "$QLK_DATA/my_passwordsX.dat" ] || qlk_fail "the work file is still there"
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
qlk_expect_eq "the rows" $'bank\nmail' "$(viewer_rows | cut -f2)"
