#!/bin/bash
# "View Passwords": the gate asks for the entry password again; the right one
# opens the viewer with its rows sorted, the first record's row selected and
# the passwords scrambled, the wrong one opens nothing. A vault stamped by
# another computer, and an empty one, are refused twice (the gate loads, then
# shows, and each runs the load) and no viewer opens; the vault stays as it was.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'

qlk_case "the right password opens the viewer with the rows sorted and scrambled"
qlk_new_drive
{
    vault_record charlie https://c.example carl abc
    vault_record alpha www.alpha.example al pw1
    vault_record bravo ftp://b bob Secret9
} | vault_write
before=$(qlk_file_hex 'Tallybox\my_psswds.dat')
qlk_enter
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
expected=$'0\talpha\twww.alpha.example\tal\téðõ\n0\tbravo\tftp://b\tbob\tÒÞÜëÞíý\n1\tcharlie\thttps://c.example\tcarl\tÚÛÜ'
qlk_expect_eq "rows: sorted, charlie (the first record) selected, passwords scrambled" "$expected" "$(viewer_rows)"
qlk_expect_eq "the columns" $'Identifier Name\nURL\nUser Name\nPassword' "$(qlk_on "$VIEWER" lvcols $LV)"
qlk_expect_eq "the toggle starts in the scrambled view" "Decrypt Password View" "$(qlk_text "$VIEWER" $Command3)"
qlk_expect_eq "the vault is read, not written" "$before" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"

qlk_case "View Passwords while the viewer is open brings up the same viewer"
view_passwords marigold
qlk_expect_eq "one viewer" 1 "$(qlk_auto -t "$VIEWER" list | wc -l)"
qlk_press "$VIEWER" $Command2
qlk_wait_gone "$VIEWER"

qlk_case "a wrong password opens nothing"
view_passwords Marigold
qlk_expect_msgbox "Sorry: you have entered the wrong password."
sleep 0.5
qlk_auto -T 300 -t "$VIEWER" -a list >/dev/null 2>&1 && qlk_fail "a viewer window exists after a wrong password"
qlk_pass "no viewer"
qlk_stop

refused() { # refused WHAT: two rejection messages, then no viewer, and the vault unchanged
    local before
    before=$(qlk_file_hex 'Tallybox\my_psswds.dat')
    qlk_enter
    view_passwords marigold
    qlk_expect_msgbox "$REJECTED"
    qlk_expect_msgbox "$REJECTED"
    sleep 0.5
    qlk_auto -T 300 msgbox >/dev/null 2>&1 && qlk_fail "$1: a third message"
    qlk_auto -T 300 -t "$VIEWER" -a list >/dev/null 2>&1 && qlk_fail "$1: a viewer window exists"
    qlk_pass "$1: no viewer opened"
    qlk_expect_eq "$1: the vault is unchanged" "$before" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"
    qlk_alive || qlk_fail "$1: the program ended"
    qlk_stop
}

qlk_case "a vault whose first record was stamped by another computer is refused twice"
qlk_new_drive
{
    vault_record mail https://m.example ann abc OTHERPC
    vault_record bank https://b.example bob pw
} | vault_write
refused "foreign stamp"

qlk_case "an empty vault is refused twice"
qlk_new_drive
printf '' | vault_write
refused "empty vault"
