#!/bin/bash
# The stick is pulled: the drive the program runs from goes away while the
# viewer shows a copied password. Within a few seconds the run has ended as
# Exit ends it: the process is gone with every window, the password has left
# the clipboard and the widget's position is stored; with the gate's box up
# too, and then Quillock starts again from the stick. Wine sends no broadcast
# when a drive mapping goes, so this is the drive watch's timer finding the
# drive gone; the broadcast is a window test's.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password

qlk_new_drive
vault_record mail https://mail.example ann abc | vault_write

qlk_case "the drive mapping removed while the viewer shows a copied password"
qlk_enter
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
viewer_select 0
viewer_key ctrl+c
qlk_expect_eq "the password is on the clipboard" abc "$(clipboard_becomes abc)"
qlk_reg_forget "$QLK_POSITION" # the widget has read it: only the end of the run stores it again

rm "$QLK_WINEPREFIX/dosdevices/${QLK_DRIVE,,}:"
qlk_wait_exit "$QLK_PID" 6 || qlk_fail "Quillock still runs 6 s after its drive went"
qlk_pass "the process has ended"
qlk_expect_eq "the clipboard is empty" "" "$(qlk_clipboard)"
qlk_expect_eq "the widget's position is stored" "$(qlk_twips 20) $(qlk_twips 20)" "$(stored_position)"

qlk_case "the drive mapping removed with the gate's box up, then with only the entry dialog up"
qlk_new_drive
qlk_enter
qlk_menu_pick 4
qlk_wait_window "$GATE" '#32770' >/dev/null
for up in "the gate's box" "the entry dialog"; do
    rm "$QLK_WINEPREFIX/dosdevices/${QLK_DRIVE,,}:"
    qlk_wait_exit "$QLK_PID" 6 || qlk_fail "Quillock still runs 6 s after its drive went, $up up"
    qlk_pass "the process has ended"
    ln -sT "$QLK_DIR" "$QLK_WINEPREFIX/dosdevices/${QLK_DRIVE,,}:" # the stick comes back
    qlk_start # and Quillock starts again: its entry dialog shows
done
