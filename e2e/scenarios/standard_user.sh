#!/bin/bash
# A standard user (or an administrator without elevation), who may read but
# not write HKLM\SOFTWARE: an administrator's machine-wide entry password and
# list colour are in force while the user has no copy of their own; the
# user's own changes of the entry password, font size and colour go to
# HKCU\SOFTWARE\<application>\Config without an error message and are kept.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
machine_qlk='HKLM\SOFTWARE\QLK' machine_quillock='HKLM\SOFTWARE\Quillock'
own_qlk='HKCU\SOFTWARE\QLK' own_quillock='HKCU\SOFTWARE\Quillock'
admin=Admin5x new=Tulip7Sun
wrong=$'Entry Password Error:\\r\\nThe entry password is wrong.'
reset='The entry password has been reset - PLEASE REMEMBER IT!'
yellow=65535 red=255

# The deny entries go before the keys do, also when the scenario fails: by
# then the helper's serving process and the harness's folder have gone, so
# Wine is called directly.
become_administrator() {
    local key
    for key in "$machine_qlk" "$machine_quillock"; do
        "$QLK_WINE" "$QLK_AUTO" allow "$key" </dev/null >/dev/null 2>&1 || true
        "$QLK_WINE" reg delete "$key" /f </dev/null >/dev/null 2>&1 || true
    done
}
become_administrator
qlk_at_exit become_administrator
qlk_reg_forget "$own_qlk"
qlk_reg_forget "$own_quillock"

enter_with() {
    qlk_type_into "$QLK_TITLE_ENTRY" 1002 "$1"
    qlk_click "$QLK_TITLE_ENTRY" 1
}
refused() {
    enter_with "$1"
    qlk_expect_msgbox "$wrong"
}
change() { # change CURRENT NEW
    qlk_click_awaited "$QLK_TITLE_ENTRY" 1008
    qlk_input_box 'Current Entry Password...' "$1"
    qlk_input_box 'New Entry Password...' "$2"
    qlk_input_box 'New Entry Password AGAIN to confirm...' "$2"
}
no_message() {
    sleep 0.5
    qlk_auto -t Quillock -c '#32770' -T 0 wait >/dev/null 2>&1 && qlk_fail "a message box appeared: $(qlk_msgbox)"
    qlk_pass "no message box"
}
look() { qlk_auto -t "$VIEWER" lvlook $LV; }

qlk_new_drive
vault_record mail https://mail.example ann abc | vault_write

qlk_case "an administrator sets the entry password and the list colour machine-wide"
qlk_start
change marigold "$admin"
qlk_expect_msgbox "$reset"
qlk_stop
qlk_wine reg add "$machine_quillock\\Config" /v BackColor /d $yellow /f >/dev/null
qlk_expect_eq "the machine-wide entry password" "REG_SZ $((${#admin} + 1)) $(qlk_cipher_hex "$admin")00" \
    "$(qlk_reg_hex "$machine_qlk\\Config" ID)"

qlk_auto deny "$machine_qlk" >/dev/null || qlk_fail "could not deny writes to $machine_qlk"
qlk_auto deny "$machine_quillock" >/dev/null || qlk_fail "could not deny writes to $machine_quillock"

qlk_case "for a user without a copy of their own the administrator's entry password is in force"
qlk_start
refused marigold
change "$admin" "$new"
qlk_expect_msgbox "$reset"
qlk_pass "the change is announced, with no error"
qlk_expect_eq "the user's own copy holds the new password" "REG_SZ $((${#new} + 1)) $(qlk_cipher_hex "$new")00" \
    "$(qlk_reg_hex "$own_qlk\\Config" ID)"
qlk_expect_eq "the machine-wide value is the administrator's still" \
    "REG_SZ $((${#admin} + 1)) $(qlk_cipher_hex "$admin")00" "$(qlk_reg_hex "$machine_qlk\\Config" ID)"
qlk_click_awaited "$QLK_TITLE_ENTRY" 1
qlk_wait_window Quillock frmMain >/dev/null

qlk_case "the viewer opens in the administrator's colour"
view_passwords "$new"
qlk_wait_window "$VIEWER" >/dev/null
read -r _ text _ back _ row_before <<<"$(look)"
qlk_expect_eq "the list's background" $yellow "$back"

qlk_case "a font size and a text colour chosen by the user are kept, with no error message"
configuration_pick 1 5 # "Font Size", "Insanely Large (14)"
no_message
configuration_pick 2 # "Font Color"
qlk_wait_window 'Change Font Color' '#32770' >/dev/null
qlk_set_text 'Change Font Color' 706 255
qlk_set_text 'Change Font Color' 707 0
qlk_set_text 'Change Font Color' 708 0
qlk_click_awaited 'Change Font Color' 1
qlk_wait_gone 'Change Font Color' '#32770'
no_message
read -r _ text _ back _ row_after <<<"$(look)"
qlk_expect_eq "the text colour" $red "$text"
((row_after > row_before)) || qlk_fail "the rows did not grow with the font ($row_before to $row_after pixels)"
qlk_expect_eq "the user's font size" 14 "$(qlk_reg_query "$own_quillock\\Config" FontSize)"
qlk_expect_eq "the user's text colour" $red "$(qlk_reg_query "$own_quillock\\Config" ForeColor)"
qlk_reg_query "$machine_quillock\\Config" FontSize >/dev/null && qlk_fail "a font size reached the machine-wide key"
qlk_click_awaited "$VIEWER" $Command2
qlk_wait_gone "$VIEWER"
view_passwords "$new"
qlk_wait_window "$VIEWER" >/dev/null
qlk_expect_eq "reopened: text colour, background and row height" "text $red back $yellow row $row_after" "$(look)"
no_message
qlk_stop

qlk_case "the next start refuses \"marigold\" and the administrator's password, and the user's enters"
qlk_start
refused marigold
refused "$admin"
enter_with "$new"
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the user's password enters"
qlk_stop
