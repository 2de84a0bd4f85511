#!/bin/bash
# What a screen reader reads, asked from another process as a reader asks:
# every field of the entry dialog, the add-entry dialog and an input box, the
# add-entry dialog's "?" button and the widget answer their own names, both
# from their accessible objects and by Windows' label rule (the nearest static
# text before a field in z-order, the search stopping at a control that takes
# the tab), which is stricter than Wine's own. The widget tells how its menu
# opens, and Enter opens it.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password

# Each row: the window, the control, and the name a reader announces for it.
# A button with a telling text names itself: only the fields, the "?" button
# and the widget, which the program names, are rows.
names=(
    "$QLK_TITLE_ENTRY|IDC_PW_TXT1|Entry Password:"
    "$QLK_TITLE_ENTRY|IDC_PW_TXT2|Entry Password Again:"
    "Quillock|IDC_WIDGET_SKIN|Quillock"
    "$QLK_TITLE_FORM3|IDC_AE_TXTUSERNAME|Username:"
    "$QLK_TITLE_FORM3|IDC_AE_TXTPSSWD1|Password:"
    "$QLK_TITLE_FORM3|IDC_AE_TXTPSSWD2|Password Again - Conformation:"
    "$QLK_TITLE_FORM3|IDC_AE_TXTURL|URL that values are used for:"
    "$QLK_TITLE_FORM3|IDC_AE_TXTID|Indentifer Name:"
    "$QLK_TITLE_FORM3|IDC_AE_COMMAND4|Help on generating a secure password"
    "$QLK_TITLE_GATE|IDC_INPUT_TEXT|Please enter your master entry password"
)

# acc_line TITLE ID: the helper's "acc" line of the control.
acc_line() {
    local id line
    id=$(qlk_id "$2")
    line=$(qlk_on "$1" acc | grep "^acc $id ") || qlk_fail "\"$1\" has no control $2"
    echo "$line"
}

# expect_names TITLE: every row of the table for the window.
expect_names() {
    local row title control name line rule
    for row in "${names[@]}"; do
        IFS='|' read -r title control name <<<"$row"
        [ "$title" = "$1" ] || continue
        line=$(acc_line "$title" "$control")
        got=$(cut -f2 <<<"$line") rule=$(cut -f3 <<<"$line")
        qlk_expect_eq "$control of \"$title\" is announced by its name" "$name" "$got"
        [ "$rule" = - ] || qlk_expect_eq "$control of \"$title\" has that name by Windows' rule" "$name" "$rule"
    done
}

qlk_case "the entry dialog names its fields and buttons"
qlk_start
expect_names "$QLK_TITLE_ENTRY"
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_gone "$QLK_TITLE_ENTRY"
qlk_wait_window Quillock frmMain >/dev/null

qlk_case "the widget says what it is and how its menu opens; Enter opens it"
expect_names Quillock
line=$(acc_line Quillock IDC_WIDGET_SKIN)
head=$(cut -f1 <<<"$line") description=$(cut -f4 <<<"$line") shortcut=$(cut -f5 <<<"$line")
qlk_expect_eq "the widget is a menu button" "$(printf 'acc %s %d' "$(qlk_id IDC_WIDGET_SKIN)" 0x39)" "$head"
qlk_expect_eq "its description tells the keys" "Shift+F10 or the Menu key opens the menu" "$description"
qlk_expect_eq "its keyboard shortcut" "Shift+F10" "$shortcut"
xdotool search --onlyvisible --name '^Quillock$' windowfocus --sync 2>/dev/null || true
qlk_widget_wait_focus
qlk_key Return
qlk_menu_rect >/dev/null
qlk_key Escape
qlk_menu_gone
qlk_pass "Enter on the widget opened its menu"

qlk_case "the add-entry dialog names every field by its own label"
qlk_menu_pick 2
qlk_wait_window "$QLK_TITLE_FORM3" >/dev/null
expect_names "$QLK_TITLE_FORM3"
qlk_on "$QLK_TITLE_FORM3" close >/dev/null
qlk_wait_gone "$QLK_TITLE_FORM3"

qlk_case "an input box names its field by its prompt"
qlk_menu_pick 4
qlk_wait_window "$QLK_TITLE_GATE" '#32770' >/dev/null
expect_names "$QLK_TITLE_GATE"
qlk_cancel_input_box "$QLK_TITLE_GATE"
qlk_stop
