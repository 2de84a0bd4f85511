#!/bin/bash
# What a password leaves in the program's memory once the viewer or the
# add-entry dialog has closed: a record's password shown plain, copied, changed
# through the Edit menu, the new one copied and printed, the viewer closed (by
# the print), then another program copies something; then a record added
# through the add-entry dialog, its password typed with a slip the user
# corrects. Afterwards no copy of any of these passwords, as 8-bit or as UTF-16
# text, is left anywhere in Quillock's readable memory, read from outside
# through /proc (e2e/lib/memory_search.py). Notepad, which
# the print starts, is a process of its own and holds the list by right; it is
# closed here.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
qlk_at_exit close_notepad 0

# Texts that occur nowhere by chance. The old one fits into a std::string
# without a heap block of its own (15 characters), the new one does not.
OLD='Qz7#kW9-vaultA1'
NEW='Hx4@pL8-keyringB2tq-Wv6mZ3'
# Typed into the add-entry dialog: first a slip, then the password meant.
SLIP='Jd5%nR2-slipD4wg'
ADDED='Tc8&yN3-lockerE7sk-Pz2'

# The copies of either password in the program's memory, one a line. Also
# their ends: a freed heap block carries the heap's own links in its first 16
# bytes, so a copy at its start is left with only its end (measured).
copies() {
    python3 "$QLK_ROOT/e2e/lib/memory_search.py" "$QLK_PID" "$OLD" "$NEW" "$SLIP" "$ADDED" \
        "${OLD: -7}" "${NEW: -9}" "${SLIP: -8}" "${ADDED: -9}" "$@"
}
# expect_no_copies WHAT
expect_no_copies() {
    local found
    found=$(copies)
    [ -z "$found" ] || qlk_fail "copies left (text, encoding, address, mapping, bytes around):"$'\n'"$found"
    qlk_pass "$1"
}
# QLK_TRACE_STEPS=1 lists the copies after every step, to find what holds one.
step() { [ "${QLK_TRACE_STEPS:-0}" = 1 ] || return 0; echo "== after $1:"; copies | sed 's/^/   /'; }

qlk_new_drive
{
    vault_record bank www.bank.example bob "$OLD"
    vault_record mail https://mail.example ann 'not looked for'
} | vault_write
qlk_enter
grep -qa Quillock.exe "/proc/$QLK_PID/cmdline" || qlk_fail "process $QLK_PID does not run Quillock.exe"
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
step "opening the viewer"

qlk_case "shown plain and copied, then another program copies: the old password is gone"
qlk_click "$VIEWER" $Command3
qlk_expect_text "the toggle's caption" "$VIEWER" $Command3 "Encrypt Password View"
viewer_select 0
qlk_expect_eq "bank's password shows plain" "$OLD" "$(viewer_rows | head -1 | cut -f5)"
viewer_key ctrl+c
qlk_expect_eq "the old password is on the clipboard" "$OLD" "$(clipboard_becomes "$OLD")"
step "copying the old password"
# Back to the scrambled view, so that the list draws the password no more.
qlk_click "$VIEWER" $Command3
qlk_expect_text "the toggle's caption" "$VIEWER" $Command3 "Decrypt Password View"
# The viewer owns the clipboard: the other program empties it from outside,
# and the viewer hears of it (WM_DESTROYCLIPBOARD) before the text is freed.
qlk_auto setclip "copied elsewhere first" >/dev/null
qlk_expect_eq "another program's text is on the clipboard" "copied elsewhere first" "$(qlk_clipboard)"
step "another program's copy while the viewer is open"
expect_no_copies "no copy of the old password"

qlk_case "changed, copied and printed, then another program copies: neither password is left"
viewer_edit_pick 4
qlk_wait_window "Change password" '#32770' >/dev/null
# Typed over the offered text, which the box has selected.
qlk_type "$NEW"
qlk_expect_text "the box holds the new password" "Change password" IDC_INPUT_TEXT "$NEW"
qlk_key Return
qlk_wait_gone "Change password" '#32770'
step "changing the password"
expect_no_copies "the closed box left no copy of either, its Undo buffer included"
viewer_select 0
viewer_key ctrl+c
qlk_expect_eq "the new password is on the clipboard" "$NEW" "$(clipboard_becomes "$NEW")"
step "copying the new password"
qlk_click "$VIEWER" $Command1
qlk_auto msgbox ok >/dev/null || qlk_fail "no message before the print"
qlk_wait_gone "$VIEWER"
qlk_wine "$QLK_AUTO" -t 'temp.dat - Notepad' wait >/dev/null || qlk_fail "Notepad did not open the print file"
qlk_pass "the print went to Notepad and closed the viewer"
step "printing"
qlk_auto setclip "copied elsewhere" >/dev/null
qlk_expect_eq "another program's text is on the clipboard" "copied elsewhere" "$(qlk_clipboard)"
close_notepad
step "another program's copy"
expect_no_copies "neither password, as 8-bit or as UTF-16 text"

qlk_case "a record added through the add-entry dialog: its passwords are gone with the dialog"
form3=$QLK_TITLE_FORM3
qlk_menu_pick 2
qlk_wait_window "$form3" >/dev/null
qlk_type_into "$form3" IDC_AE_TXTID 'Locker'
qlk_type_into "$form3" IDC_AE_TXTURL 'https://locker.example'
qlk_type_into "$form3" IDC_AE_TXTUSERNAME 'carol'
# The slip, selected back to the field's start and typed over: the field's
# Undo buffer then holds the slip.
qlk_type_into "$form3" IDC_AE_TXTPSSWD1 "$SLIP"
qlk_key shift+Home
qlk_type "$ADDED"
qlk_expect_text "the first password field holds the password meant" "$form3" IDC_AE_TXTPSSWD1 "$ADDED"
qlk_type_into "$form3" IDC_AE_TXTPSSWD2 "$ADDED"
step "typing into the add-entry dialog"
qlk_click_awaited "$form3" IDOK
qlk_wait_gone "$form3"
vault_plain | tr -d '\r' | grep -qx "PAS:$ADDED" || qlk_fail "the record was not added"
qlk_pass "the record was added and the dialog closed"
step "adding the record"
expect_no_copies "no copy of the slip or of the added password"
qlk_alive || qlk_fail "the program ended"
