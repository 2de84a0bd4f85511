#!/bin/bash
# Adding a record through the widget menu's "Add Password": the record is
# appended to the vault as five tagged lines and one empty line, scrambled at
# rest and stamped with the computer name; the checks speak through the two
# red labels; Cancel writes nothing; a record added while the viewer is open
# survives the viewer's next rewrite; a vault that cannot be written (read-only,
# full disk) keeps its bytes and the dialog keeps everything typed.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password

form3=$QLK_TITLE_FORM3
txtID=IDC_AE_TXTID txtURL=IDC_AE_TXTURL txtUserName=IDC_AE_TXTUSERNAME txtPsswd1=IDC_AE_TXTPSSWD1
txtPsswd2=IDC_AE_TXTPSSWD2 lblError2=IDC_AE_LBLERROR2 lblError=IDC_AE_LBLERROR Command3=IDC_AE_COMMAND3
save_failed=$'ERROR: the password data file could not be saved.\\r\\nIt was left as it was before; the change was not stored.'
vault='Tallybox\my_psswds.dat'

open_form3() {
    qlk_menu_pick 2
    qlk_wait_window "$form3" >/dev/null
}

visible() { qlk_state "$form3" "$1" visible; } # visible ID -> 1 or 0

# The hex of a line as the vault keeps it: scrambled, then CR LF.
line_hex() { printf '%s0d0a' "$(qlk_cipher_hex "$1")"; }

computer=$(qlk_auto computername)

# The widget starts near the top left corner, where the dialog (centred on the
# screen) does not cover it, as if the user had put it there on an earlier run.
qlk_widget_at 100 100

qlk_case "an add on the empty vault of a first run writes six scrambled lines"
qlk_new_drive
qlk_enter
qlk_expect_eq "the vault is empty before" 0 "$(stat -c %s "$QLK_DATA/my_psswds.dat")"
open_form3
qlk_expect_eq "lblError2 shows at opening" 1 "$(visible $lblError2)"
qlk_expect_eq "lblError is hidden at opening" 0 "$(visible $lblError)"
# The caret starts in the user-name field: typing goes there.
qlk_type ann.smith
qlk_expect_text "typing right away lands in the user name" "$form3" $txtUserName ann.smith
qlk_type_into "$form3" $txtID 'Mail account'
qlk_type_into "$form3" $txtURL 'https://mail.example/login'
qlk_type_into "$form3" $txtPsswd1 'Blue7-Tide'
qlk_type_into "$form3" $txtPsswd2 'blue7-Tide'
qlk_click "$form3" IDOK
qlk_expect_text "the password boxes still hold what was typed" "$form3" $txtPsswd2 'blue7-Tide'
qlk_expect_eq "passwords differing in case show lblError" 1 "$(visible $lblError)"
qlk_expect_eq "and hide lblError2" 0 "$(visible $lblError2)"
qlk_expect_eq "the vault is untouched" 0 "$(stat -c %s "$QLK_DATA/my_psswds.dat")"
qlk_set_text "$form3" $txtPsswd2 'Blue7-Tide'
qlk_click_awaited "$form3" IDOK
qlk_wait_gone "$form3"
qlk_pass "a successful add closes the dialog"
expected=$(line_hex 'NAM:Mail account')$(line_hex 'URL:https://mail.example/login')$(line_hex 'USE:ann.smith')
expected+=$(line_hex 'PAS:Blue7-Tide')$(line_hex "IDN:$computer")0d0a
qlk_expect_eq "the vault holds the five tagged lines and an empty line, scrambled" "$expected" \
    "$(qlk_file_hex "$vault")"
LC_ALL=C grep -q '[A-Za-z0-9]' "$QLK_DATA/my_psswds.dat" && qlk_fail "a letter or digit is plain on disk"
qlk_pass "no letter or digit is plain on disk"
[ ! -e "$QLK_DATA/my_passwordsX.dat" ] || qlk_fail "the work file was left behind"

qlk_case "a generated password fills both fields; Cancel writes nothing"
before=$(qlk_file_hex "$vault")
open_form3
qlk_expect_text "the fields start empty" "$form3" $txtUserName ''
qlk_type_into "$form3" $txtPsswd1 'typed'
qlk_click "$form3" $Command3
generated=$(qlk_text "$form3" $txtPsswd1)
[[ $generated =~ ^[a-zA-Z0-9]{10}$ ]] || qlk_fail "the generated password is [$generated]"
qlk_expect_text "the second field holds the same password" "$form3" $txtPsswd2 "$generated"
qlk_type_into "$form3" $txtUserName bob
qlk_type_into "$form3" $txtURL 'https://bank.example'
qlk_type_into "$form3" $txtID 'Bank'

qlk_case "choosing Add Password again brings the open dialog forward with its fields"
open_form3
qlk_expect_text "the user name is kept" "$form3" $txtUserName bob
qlk_expect_text "the password is kept" "$form3" $txtPsswd1 "$generated"
qlk_click_awaited "$form3" IDCANCEL
qlk_wait_gone "$form3"
qlk_expect_eq "Cancel leaves the vault byte for byte" "$before" "$(qlk_file_hex "$vault")"

qlk_case "a read-only vault keeps its bytes; the dialog keeps its values"
chmod a-w "$QLK_DATA/my_psswds.dat" # Wine shows a file without write permission as read-only
open_form3
qlk_type_into "$form3" $txtUserName carol
qlk_type_into "$form3" $txtURL 'https://shop.example'
qlk_type_into "$form3" $txtPsswd1 'k3y'
qlk_type_into "$form3" $txtPsswd2 'k3y'
qlk_click_awaited "$form3" IDOK
qlk_expect_msgbox "$save_failed"
qlk_expect_eq "the vault is unchanged" "$before" "$(qlk_file_hex "$vault")"
qlk_expect_text "the dialog keeps the user name" "$form3" $txtUserName carol
qlk_expect_text "and the password" "$form3" $txtPsswd2 'k3y'
chmod u+w "$QLK_DATA/my_psswds.dat"
qlk_click_awaited "$form3" IDOK
qlk_wait_gone "$form3"
expected=$before$(line_hex 'NAM:')$(line_hex 'URL:https://shop.example')$(line_hex 'USE:carol')
expected+=$(line_hex 'PAS:k3y')$(line_hex "IDN:$computer")0d0a
qlk_expect_eq "once writable, the same values are appended" "$expected" "$(qlk_file_hex "$vault")"
qlk_stop

qlk_case "a record added while the viewer is open survives the viewer's next rewrite"
viewer=$QLK_TITLE_VIEWER list=IDC_VW_LV
qlk_new_drive
qlk_enter
add_record() { # add_record NAME URL USER PASSWORD
    open_form3
    qlk_type_into "$form3" $txtID "$1"
    qlk_type_into "$form3" $txtURL "$2"
    qlk_type_into "$form3" $txtUserName "$3"
    qlk_type_into "$form3" $txtPsswd1 "$4"
    qlk_type_into "$form3" $txtPsswd2 "$4"
    qlk_click_awaited "$form3" IDOK
    qlk_wait_gone "$form3"
}
add_record Old https://old.example olga 0ldPass
qlk_menu_pick 4
qlk_input_box "$QLK_TITLE_GATE" marigold
qlk_wait_window "$viewer" >/dev/null
add_record New https://new.example nina N3wPass
# The viewer's list still holds only the record it loaded; deleting it
# rewrites the vault from the list.
read -r left top right bottom <<<"$(qlk_rect "$viewer" $list)"
xdotool mousemove $((left + 40)) $((top + 30)) click 1
rows=$(qlk_on "$viewer" lvrows $list)
[[ $rows == $'0\t1\tOld'* ]] || qlk_fail "the loaded record is not selected: [$rows]"
qlk_key ctrl+d
expected=$(line_hex 'NAM:New')$(line_hex 'URL:https://new.example')$(line_hex 'USE:nina')$(line_hex 'PAS:N3wPass')
expected+=$(line_hex "IDN:$computer")
for _ in $(seq 50); do [ "$(qlk_file_hex "$vault")" = "$expected" ] && break; sleep 0.1; done
qlk_expect_eq "the vault holds the record added while the viewer was open" "$expected" "$(qlk_file_hex "$vault")"
qlk_stop

qlk_case "a full disk keeps the vault; the dialog keeps its values"
qlk_new_drive
full_disk=""
# A small file system of its own for the drive (needs the right to mount; skipped otherwise).
exe_kb=$(($(stat -c %s "$QLK_DIR/Quillock.exe") / 1024))
if mount -t tmpfs -o size=$((exe_kb + 256))k qlk-full "$QLK_DIR" 2>/dev/null; then
    full_disk=$QLK_DIR
    trap 'rc=$?; qlk_stop; umount -l "$full_disk" 2>/dev/null; (exit $rc); _qlk_cleanup' EXIT
    cp "$QLK_EXE" "$QLK_DIR/Quillock.exe"
    qlk_enter
    open_form3
    qlk_type_into "$form3" $txtUserName dave
    qlk_type_into "$form3" $txtURL 'https://first.example'
    qlk_click_awaited "$form3" IDOK
    qlk_wait_gone "$form3"
    before=$(qlk_file_hex "$vault")
    dd if=/dev/zero of="$QLK_DIR/filler" bs=1k 2>/dev/null || true # fills the disk
    open_form3
    qlk_type_into "$form3" $txtUserName erin
    qlk_type_into "$form3" $txtURL 'https://second.example'
    qlk_type_into "$form3" $txtPsswd1 'p4ss'
    qlk_type_into "$form3" $txtPsswd2 'p4ss'
    qlk_click_awaited "$form3" IDOK
    qlk_expect_msgbox "$save_failed"
    qlk_expect_eq "the vault is unchanged" "$before" "$(qlk_file_hex "$vault")"
    qlk_expect_text "the dialog keeps the user name" "$form3" $txtUserName erin
    rm -f "$QLK_DIR/filler"
    qlk_click_awaited "$form3" IDOK
    qlk_wait_gone "$form3"
    expected=$before$(line_hex 'NAM:')$(line_hex 'URL:https://second.example')$(line_hex 'USE:erin')
    expected+=$(line_hex 'PAS:p4ss')$(line_hex "IDN:$computer")0d0a
    qlk_expect_eq "with room again, the same values are appended" "$expected" "$(qlk_file_hex "$vault")"
    qlk_stop
else
    echo "skipped: no right to mount a small file system here"
fi
