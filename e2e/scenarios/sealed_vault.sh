#!/bin/bash
# A sealed vault leaves nothing of any record on the stick: with SealVault set
# and an entry password of the user's own, the first entry seals the records
# an earlier run left scrambled, the records added after it are saved sealed,
# and the viewer reads them all back from the file; then no file under the
# stick's folder holds any record's name, address, user name or password, nor
# the entry password, as typed or scrambled.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'
qlk_reg_forget 'HKCU\SOFTWARE\Quillock'
_qlk_auto_call regset 'HKLM\SOFTWARE\Quillock\Config' SealVault 1 >/dev/null
form3=$QLK_TITLE_FORM3
entry_password=Quarry-Heron-58

# Records an earlier run left in the scrambled vault, and those added now.
old=('Ledger Harbour' 'https://ledger-harbour.example/sign-in' 'wren.quayle' 'Tamarind-04-Slate'
    'Orchard Post' 'ftp://orchard-post.example' 'mab.fennimore' 'Vellum7Crag')
new=('Kestrel Mail' 'https://kestrel-mail.example' 'ida.thornbury' 'Juniper-Sextant-31'
    'Bramble Bank' 'www.bramble-bank.example' 'otto.pilkington' 'Cobalt9Wicket')

add_record() { # add_record NAME URL USER PASSWORD
    qlk_menu_pick 2
    qlk_wait_window "$form3" >/dev/null
    qlk_type_into "$form3" IDC_AE_TXTID "$1"
    qlk_type_into "$form3" IDC_AE_TXTURL "$2"
    qlk_type_into "$form3" IDC_AE_TXTUSERNAME "$3"
    qlk_type_into "$form3" IDC_AE_TXTPSSWD1 "$4"
    qlk_type_into "$form3" IDC_AE_TXTPSSWD2 "$4"
    qlk_click_awaited "$form3" IDOK
    qlk_wait_gone "$form3"
}

qlk_new_drive
{
    vault_record "${old[@]:0:4}"
    vault_record "${old[@]:4:4}"
} | vault_write

qlk_case "the entry password is changed, and the entry after it seals the vault"
qlk_start
qlk_click_awaited "$QLK_TITLE_ENTRY" IDC_PW_COMMAND3
qlk_input_box 'Current Entry Password...' marigold
qlk_input_box 'New Entry Password...' "$entry_password"
qlk_input_box 'New Entry Password AGAIN to confirm...' "$entry_password"
qlk_expect_msgbox 'The entry password has been reset - PLEASE REMEMBER IT!'
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_gone "$QLK_TITLE_ENTRY"
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the widget is shown"

qlk_case "two records are added to the sealed vault"
add_record "${new[@]:0:4}"
add_record "${new[@]:4:4}"

qlk_case "the viewer reads every record back from the sealed vault"
view_passwords "$entry_password"
qlk_wait_window "$VIEWER" >/dev/null
names=$(viewer_rows | cut -f2 | sort | paste -sd, -)
qlk_expect_eq "the viewer lists the four records" 'Bramble Bank,Kestrel Mail,Ledger Harbour,Orchard Post' "$names"
qlk_stop

qlk_case "no file on the stick holds a record's text, as typed or scrambled"
texts=("${old[@]}" "${new[@]}" "$entry_password")
(cd "$QLK_DIR" && find . -type f | sort | sed 's|^\./|  on the stick: |')
leaks=""
for text in "${texts[@]}"; do
    for form in typed scrambled; do
        if [ $form = typed ]; then printf '%s' "$text"; else xxd -r -p <<<"$(qlk_cipher_hex "$text")"; fi \
            >"$QLK_TMP/needle"
        while IFS= read -r file; do
            leaks+="  \"$text\" $form in ${file#"$QLK_DIR"/}"$'\n'
        done < <(LC_ALL=C grep -rlaF -f "$QLK_TMP/needle" "$QLK_DIR" || true)
    done
done
[ -z "$leaks" ] || qlk_fail $'records readable on the stick:\n'"$leaks"
qlk_pass "none of ${#texts[@]} texts is on the stick in either form"
