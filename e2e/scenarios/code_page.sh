#!/bin/bash
# Quillock on a system whose ANSI code page is multi-byte (QLK_LOCALE:
# ja_JP.UTF-8 gives 932, hi_IN.UTF-8 gives 65001): the stored entry password,
# the vault and the print file hold the same bytes as on a Western (1252)
# system, the new entry password enters at the next start, the viewer shows
# the record as typed, and a character the vault's code page cannot hold is
# refused.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
source "$(dirname "$0")/viewer_common.sh"
: "${QLK_LOCALE:=ja_JP.UTF-8}"
"$QLK_ROOT/tests/make_locales.sh" "$QLK_LOCALES" "$QLK_LOCALE"
qlk_reset_entry_password
qlk_at_exit close_notepad 0 # one the scenario left open, if any: no waiting
key='HKLM\SOFTWARE\QLK\Config'
new=tulip42
form3=$QLK_TITLE_FORM3
txtID=4003 txtURL=4005 txtUserName=4007 txtPsswd1=4009 txtPsswd2=4011
PRINT_MESSAGE="This function will create a temp text file that can be saved and/ or printed.\\r\\n\\r\\nThe file will be deleted, at exit of this software, UNLESS you elect to 'Save As' a different file."

# Text (UTF-8 here) as the bytes a Western system keeps: in 1252, then scrambled.
western_hex() { iconv -f UTF-8 -t CP1252 | xxd -p | tr -d '\n'; }
scrambled_hex() { iconv -f UTF-8 -t CP1252 | LC_ALL=C tr 'A-Za-z0-9' '\300-\331\332-\363\364-\375' | xxd -p | tr -d '\n'; }

fill_form3() { # NAME URL USER PASSWORD, as wide text, the way a paste or an input method puts it
    qlk_set_text "$form3" $txtID "$1"
    qlk_set_text "$form3" $txtURL "$2"
    qlk_set_text "$form3" $txtUserName "$3"
    qlk_set_text "$form3" $txtPsswd1 "$4"
    qlk_set_text "$form3" $txtPsswd2 "$4"
    qlk_click "$form3" 1
}

qlk_case "on $QLK_LOCALE a changed entry password is stored as on a Western system"
qlk_new_drive
qlk_start
qlk_click_awaited "$QLK_TITLE_ENTRY" 1008
qlk_input_box 'Current Entry Password...' marigold
qlk_input_box 'New Entry Password...' "$new"
qlk_input_box 'New Entry Password AGAIN to confirm...' "$new"
qlk_expect_msgbox 'The entry password has been reset - PLEASE REMEMBER IT!'
qlk_expect_eq "the stored value" "REG_SZ $((${#new} + 1)) $(qlk_cipher_hex "$new")00" "$(qlk_reg_hex "$key" ID)"
qlk_stop

qlk_case "the next start enters with \"$new\" and refuses \"marigold\""
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" 1002 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" 1
qlk_expect_msgbox $'Entry Password Error:\\r\\nThe entry password is wrong.'
qlk_type_into "$QLK_TITLE_ENTRY" 1002 "$new"
qlk_click_awaited "$QLK_TITLE_ENTRY" 1
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "\"$new\" enters"

qlk_case "a record added through the dialog has the bytes a Western system writes"
name='Shop £5 ©' url='www.shop.example/~ann' user='ann ¼' password='Blue7-Tide±'
widget_menu_pick 2
qlk_wait_window "$form3" >/dev/null
fill_form3 "$name" "$url" "$user" "$password"
qlk_wait_gone "$form3"
expected=$(printf 'NAM:%s\r\nURL:%s\r\nUSE:%s\r\nPAS:%s\r\nIDN:%s\r\n\r\n' "$name" "$url" "$user" "$password" \
    "$COMPUTER" | scrambled_hex)
qlk_expect_eq "the vault's bytes" "$expected" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"

qlk_case "a character outside the vault's code page is refused, and the vault stays"
widget_menu_pick 2
qlk_wait_window "$form3" >/dev/null
fill_form3 '日本 bank' www.bank.example bob pw
qlk_expect_msgbox "ERROR: the identifier name holds a character that the password data file cannot store.\\r\\nLetters with accents, characters outside the system's code page and line breaks cannot be stored; please leave them out."
qlk_auto -t "$form3" close >/dev/null
qlk_wait_gone "$form3"
qlk_expect_eq "the vault's bytes" "$expected" "$(qlk_file_hex 'Tallybox\my_psswds.dat')"

qlk_case "the viewer shows the record as typed, and the print file holds the Western bytes"
view_passwords "$new"
qlk_wait_window "$VIEWER" >/dev/null
qlk_click "$VIEWER" $Command3
qlk_expect_text "the plain view" "$VIEWER" $Command3 "Encrypt Password View"
qlk_expect_eq "the row, selected" "1	$name	$url	$user	$password" "$(viewer_rows)"
qlk_click_awaited "$VIEWER" $Command1
qlk_expect_msgbox "$PRINT_MESSAGE"
qlk_wait_gone "$VIEWER"
qlk_expect_eq "temp.dat" \
    "$(printf 'Identifer Name: %s   URL: %s   UserName: %s   Password: %s\r\n' "$name" "$url" "$user" "$password" |
        western_hex)" "$(qlk_file_hex 'Tallybox\temp.dat')"
close_notepad
qlk_stop
