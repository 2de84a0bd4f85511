#!/bin/bash
# The load of a 100k-record vault lets the widget's menu run meanwhile. The
# user's next steps are queued before the load begins, so they run while it
# reads: "Exit" ends the program without a viewer and with the vault as it
# was; "View Passwords" again asks for the password and then opens nothing
# more than the one viewer, with every row; "Add Password" adds a record that
# the viewer's next rewrite keeps.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
qlk_at_exit close_notepad 0 # one the scenario left open, if any: no waiting
form3=$QLK_TITLE_FORM3
RECORDS=100000

big_vault() {
    awk -v n=$RECORDS -v stamp="$COMPUTER" 'BEGIN {
        for (i = 0; i < n; i++) {
            name = sprintf("site%06d", (i * 7919) % n)
            printf "NAM:%s\r\nURL:https://%s.example\r\nUSE:user%d\r\nPAS:pw%d\r\nIDN:%s\r\n", name, name, i, i, stamp
        }
    }' | vault_write
}

# Answers the gate with the right password and, in the same breath, picks
# item $1 of the widget's menu: the pick waits in the input queue and runs
# while the vault loads. The load takes some 50 ms, less than a busy machine
# may take between two keys: the program is held while all of it is typed, so
# that it finds the pick in its input before the load begins, every time.
gate_then_pick() {
    local point downs=() i gate
    point=$(qlk_widget_spot)
    qlk_menu_pick 4
    read -r _ gate _ <<<"$(qlk_wait_window "$GATE" '#32770')"
    qlk_type_into "$GATE" IDC_INPUT_TEXT marigold
    for ((i = 0; i < $1; i++)); do downs+=(Down); done
    kill -STOP "$QLK_PID"
    # shellcheck disable=SC2086
    xdotool key --delay 0 Return mousemove $point click 3 key --delay 0 "${downs[@]}" Return
    kill -CONT "$QLK_PID"
    qlk_auto -w "$gate" gone || qlk_fail "the gate did not take the password"
}

# Print: every row of the list into temp.dat; the viewer closes once Notepad
# has been started, which is ended then: the scenario reads the file itself.
print_all() {
    qlk_click_awaited "$VIEWER" $Command1
    qlk_auto msgbox ok >/dev/null || qlk_fail "no print message"
    qlk_wait_gone "$VIEWER"
    end_notepad
}

hidden_viewer() { qlk_auto -a -t "$VIEWER" list 2>/dev/null | awk '{print $4}'; }

qlk_case "Exit during the load ends the program; the vault stays scrambled and whole"
qlk_new_drive
big_vault
before=$(md5sum <"$QLK_DATA/my_psswds.dat")
qlk_enter
gate_then_pick 5
qlk_wait_exit "$QLK_PID" 20 || qlk_fail "the program did not end"
qlk_pass "the program ended"
qlk_expect_eq "the vault is byte for byte as before" "$before" "$(md5sum <"$QLK_DATA/my_psswds.dat")"
[ ! -e "$QLK_DATA/my_passwordsX.dat" ] || qlk_fail "a work file was left behind"

qlk_case "View Passwords again during the load asks, then opens only the one viewer"
qlk_new_drive
big_vault
before=$(md5sum <"$QLK_DATA/my_psswds.dat")
qlk_enter
gate_then_pick 4
qlk_wait_window "$GATE" '#32770' >/dev/null
qlk_expect_eq "meanwhile the loading viewer exists, hidden" 0 "$(hidden_viewer)"
qlk_type_into "$GATE" IDC_INPUT_TEXT marigold
qlk_click "$GATE" IDOK
qlk_wait_window "$VIEWER" >/dev/null
sleep 0.5
qlk_expect_eq "one viewer" 1 "$(qlk_auto -a -t "$VIEWER" list | wc -l)"
qlk_expect_eq "the vault is unchanged" "$before" "$(md5sum <"$QLK_DATA/my_psswds.dat")"
# Reading 100k rows across processes takes minutes; the print file holds them all at once.
print_all
qlk_expect_eq "every row is listed" $RECORDS "$(wc -l <"$QLK_DATA/temp.dat")"
qlk_expect_eq "the first row" 'Identifer Name: site000000   URL: https://site000000.example   UserName: user0   Password: pw0' \
    "$(head -1 "$QLK_DATA/temp.dat" | tr -d '\r')"
qlk_stop

qlk_case "Add Password during the load: the record survives the viewer's next rewrite"
qlk_new_drive
big_vault
qlk_enter
gate_then_pick 2
qlk_wait_window "$form3" >/dev/null
# The viewer comes up over the dialog when its load ends: fill the dialog
# through its controls rather than by clicks that the viewer may catch.
qlk_wait_window "$VIEWER" >/dev/null
qlk_set_text "$form3" IDC_AE_TXTID 'added meanwhile'
qlk_set_text "$form3" IDC_AE_TXTURL https://added.example
qlk_set_text "$form3" IDC_AE_TXTUSERNAME dee
qlk_set_text "$form3" IDC_AE_TXTPSSWD1 pa55
qlk_set_text "$form3" IDC_AE_TXTPSSWD2 pa55
qlk_press "$form3" IDOK
qlk_wait_gone "$form3"
viewer_select 0 unchecked
viewer_edit_pick 1
qlk_wait_window "Change name" '#32770' >/dev/null
qlk_set_text "Change name" IDC_INPUT_TEXT 'first renamed'
qlk_click_awaited "Change name" IDOK
qlk_wait_gone "Change name" '#32770'
# The rewrite of 100k records runs on after the box has gone.
for ((i = 0; i < 100; i++)); do
    [ "$(vault_plain | head -1 | tr -d '\r')" = 'NAM:first renamed' ] && break
    sleep 0.1
done
names=$(vault_plain | tr -d '\r' | sed -n 's/^NAM://p')
qlk_expect_eq "every record is in the vault" $((RECORDS + 1)) "$(wc -l <<<"$names")"
qlk_expect_eq "the renamed record leads" 'first renamed' "$(head -1 <<<"$names")"
qlk_expect_eq "the added record is kept at the end" 'added meanwhile' "$(tail -1 <<<"$names")"
print_all
qlk_expect_eq "the list shows the added record after the rewrite" $((RECORDS + 1)) "$(wc -l <"$QLK_DATA/temp.dat")"
