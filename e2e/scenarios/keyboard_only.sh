#!/bin/bash
# The whole job by keyboard alone, with the widget where a first run puts it
# (the screen's centre): enter, F1 and Ctrl+F on the widget, Shift+F10 on the
# widget, "Add Password", a record typed field by field, Enter (Escape first
# closes the menu unused); Shift+F10, "View Passwords", the entry password
# (masked) at the gate, Shift+F10 on the row and its "Copy Password", Escape,
# then the Menu key and "Exit". The add-entry dialog opens where it leaves the
# widget free, the viewer centred on the screen.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
qlk_reg_forget "$QLK_POSITION" # the first run's place: the screen's centre

# "LEFT TOP RIGHT BOTTOM" of a window, and whether two such rectangles meet.
rect_of() { local r; r=$(qlk_on "$1" rect) || qlk_fail "no window \"$1\""; echo "${r#rect }"; }
overlap() {
    local a b
    read -r -a a <<<"$1"
    read -r -a b <<<"$2"
    ((a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3]))
}
expect_clear_of_widget() {
    local widget
    widget=$(widget_rect)
    overlap "$(rect_of "$1")" "$widget" && qlk_fail "\"$1\" covers the widget ($widget)"
    qlk_pass "\"$1\" leaves the widget free"
}
expect_centred() {
    local r screen
    read -r -a r <<<"$(rect_of "$1")"
    read -r -a screen <<<"$(xdotool getdisplaygeometry)"
    local dx=$(((r[0] + r[2]) / 2 - screen[0] / 2)) dy=$(((r[1] + r[3]) / 2 - screen[1] / 2))
    ((dx * dx <= 1 && dy * dy <= 1)) || qlk_fail "\"$1\" is not centred on the screen (${r[*]})"
    qlk_pass "\"$1\" opens centred on the screen"
}
# Opens the menu with KEY and checks that it opens at the widget.
menu_by_key() {
    local menu widget
    qlk_widget_wait_focus
    qlk_key "$1"
    menu=$(menu_rect)
    widget=$(widget_rect)
    overlap "$menu" "$widget" || qlk_fail "the menu ($menu) opened away from the widget ($widget)"
    qlk_wait_menu Quillock
}

qlk_case "the entry dialog takes the password and Enter"
qlk_start
# The first window of a run has the keyboard; after other scenarios on the same
# display the X focus may still rest elsewhere, so the harness hands it over.
qlk_on "$QLK_TITLE_ENTRY" foreground >/dev/null || qlk_fail "the entry dialog cannot be brought forward"
xdotool search --onlyvisible --name "^${QLK_TITLE_ENTRY//./\\.}\$" windowfocus --sync 2>/dev/null || true
qlk_wait_focus "$QLK_TITLE_ENTRY" 1002
qlk_type marigold
qlk_expect_text "the password is typed" "$QLK_TITLE_ENTRY" 1002 marigold
qlk_key Return
qlk_wait_gone "$QLK_TITLE_ENTRY"
qlk_wait_window Quillock frmMain >/dev/null
qlk_widget_wait_focus
qlk_pass "entered: the widget has the keyboard"

qlk_case "F1 and Ctrl+F, the keys the menu shows, open About and Configure Startup"
for pair in "F1=$QLK_TITLE_ABOUT" "ctrl+f=$QLK_TITLE_STARTUP"; do
    # A window that has gone (the entry dialog, the last of these) leaves the
    # X keyboard to whatever X gives it, whatever Wine holds active: keys then
    # reach no window of ours. The widget is given it, as it has on Windows.
    xdotool search --onlyvisible --name '^Quillock$' windowfocus --sync 2>/dev/null || true
    qlk_widget_wait_focus
    qlk_key "${pair%%=*}"
    qlk_wait_window "${pair#*=}" >/dev/null
    qlk_on "${pair#*=}" close >/dev/null
    qlk_wait_gone "${pair#*=}"
    qlk_pass "${pair%%=*} opened \"${pair#*=}\""
done

qlk_case "Escape closes the menu and leaves the keyboard on the widget"
menu_by_key shift+F10
qlk_key Escape
menu_gone
qlk_alive || qlk_fail "the program ended"
qlk_pass "the menu closed, the program runs"

qlk_case "Shift+F10 opens the menu at the widget; Down Down Enter is \"Add Password\""
menu_by_key shift+F10
qlk_key Down Down Return
menu_gone
qlk_wait_window "$QLK_TITLE_FORM3" >/dev/null
expect_clear_of_widget "$QLK_TITLE_FORM3"

qlk_case "a record typed with Tab between the fields is added by Enter"
# The caret starts in the user name; the identifier name comes last in the tab order.
qlk_wait_focus "$QLK_TITLE_FORM3" 4007
qlk_key shift+Tab
qlk_type 'Mail account'
qlk_key Tab
qlk_type ann.smith
qlk_key Tab Tab # past OK
qlk_type 'Blue7-Tide'
qlk_key Tab
qlk_type 'Blue7-Tide'
qlk_key Tab
qlk_type https://mail.example.com
qlk_expect_text "the URL is typed" "$QLK_TITLE_FORM3" 4005 https://mail.example.com
qlk_key Return
qlk_wait_gone "$QLK_TITLE_FORM3"
qlk_expect_eq "the record is in the vault" "Mail account" "$(vault_names)"

qlk_case "the keyboard is back on the widget: Shift+F10, \"View Passwords\", the masked gate"
menu_by_key shift+F10
qlk_key Down Down Down Down Return
menu_gone
qlk_wait_window "$GATE" '#32770' >/dev/null
state=$(qlk_on "$GATE" state 102) || qlk_fail "no gate field"
[[ $state == *"mask 42"* ]] || qlk_fail "the gate shows what is typed ($state)"
qlk_pass "the gate masks with '*'"
qlk_type marigold
qlk_key Return
qlk_wait_gone "$GATE" '#32770'
qlk_wait_window "$VIEWER" >/dev/null
expect_centred "$VIEWER"

qlk_case "Shift+F10 on the row opens its menu, whose first item copies the plain password; Escape closes"
qlk_wait_focus "$VIEWER" $LV
qlk_key shift+F10
qlk_auto -c '#32768' wait >/dev/null || qlk_fail "no menu for the row"
qlk_wait_menu "$VIEWER"
qlk_key Down Return # "Copy Password into clipboard" is the first item
qlk_expect_eq "the clipboard" 'Blue7-Tide' "$(clipboard_becomes 'Blue7-Tide')"
# From the list: Print, Decrypt Password View, "?", then "Clear Clipboard && Close".
qlk_key Tab Tab Tab Tab
qlk_wait_focus "$VIEWER" $Command2
qlk_key Escape
qlk_wait_gone "$VIEWER"
qlk_expect_eq "the clipboard after the close" '' "$(qlk_clipboard)"

qlk_case "the Menu key and \"Exit\" end the run"
menu_by_key Menu
qlk_key Down Down Down Down Down Return # Exit is the fifth item
qlk_wait_exit || qlk_fail "the program is still running"
qlk_pass "the program ended"
