# Windows and their controls as the automation helper sees them; the mouse and
# the keyboard through xdotool.

# The program's window titles.
QLK_TITLE_ENTRY='Quillock: enter your entry password...'
QLK_TITLE_ABOUT='About us...'
QLK_TITLE_STARTUP='Set activation...'
QLK_TITLE_FORM3='Add URL, Username  and Password values to your list...'
QLK_TITLE_VIEWER='Password viewer'
QLK_TITLE_GATE='Get Master Password'

# qlk_wait_window TITLE [CLASS]: waits for the window; prints its "window" record.
qlk_wait_window() {
    qlk_on "$1" ${2:+-c "$2"} wait || qlk_fail "window \"$1\" did not appear"
}
# qlk_wait_gone TITLE [CLASS]: waits until no such window is left.
qlk_wait_gone() {
    qlk_on "$1" ${2:+-c "$2"} gone || qlk_fail "window \"$1\" did not go away"
}
# qlk_wait_focus TITLE [ID]: waits until the window is in front and it (or its
# control ID) has the keyboard, as a user sees before the next key.
qlk_wait_focus() { qlk_on "$1" waitfocus ${2:+"$2"} || qlk_fail "\"$1\" ${2:-} does not have the keyboard"; }
# qlk_wait_menu TITLE: waits until a popup menu of the window's program runs
# its loop; keys sent before that go to the window, not to the menu.
qlk_wait_menu() { qlk_on "$1" waitmenu || qlk_fail "no menu of \"$1\" takes the keys"; }
# qlk_text TITLE [ID]: the caption of the window or the text of its control.
qlk_text() { qlk_on "$1" text ${2:+"$2"} || qlk_fail "no text of \"$1\" ${2:-}"; }
# qlk_set_text TITLE ID TEXT: sets the control's text (WM_SETTEXT), as a program would.
qlk_set_text() { qlk_on "$1" settext "$2" "$3" || qlk_fail "could not set the text of \"$1\" $2"; }
# qlk_press TITLE ID: presses the button without the mouse (BM_CLICK).
qlk_press() { qlk_on "$1" click "$2" || qlk_fail "could not press $2 on \"$1\""; }
# qlk_check TITLE ID: the check state of a box: 0, 1 or 2.
qlk_check() { qlk_on "$1" check "$2" || qlk_fail "no check state of \"$1\" $2"; }

# qlk_state TITLE ID [FIELD]: "enabled E visible V checked C focused F" of the
# control, or only the value of FIELD (qlk_state "$t" IDC_AE_LBLERROR visible).
qlk_state() {
    local state
    state=$(qlk_on "$1" state "$2") || qlk_fail "no state of \"$1\" $2"
    [ -n "${3:-}" ] || { echo "$state"; return 0; }
    [[ " $state " =~ " $3 "([^ ]+)" " ]] || qlk_fail "no $3 in the state [$state]"
    echo "${BASH_REMATCH[1]}"
}

# qlk_rect TITLE [ID]: "LEFT TOP RIGHT BOTTOM" of the window or its control, in screen pixels.
qlk_rect() {
    local rect
    rect=$(qlk_on "$1" rect ${2:+"$2"}) || qlk_fail "\"$1\" ${2:-} is not on the screen"
    echo "${rect#rect }"
}

# qlk_msgbox: the text of the "Quillock" message box.
qlk_msgbox() { qlk_auto msgbox || qlk_fail "no message box appeared"; }

# qlk_expect_msgbox TEXT: waits for the message box, compares its text, presses OK.
qlk_expect_msgbox() {
    local text
    text=$(qlk_auto msgbox ok) || qlk_fail "no message box (expected \"$1\")"
    qlk_expect_eq "message box" "$1" "$text"
}

# qlk_input_box TITLE TEXT: answers an input box: types TEXT into it and presses OK ("" leaves it empty).
qlk_input_box() {
    qlk_wait_window "$1" '#32770' >/dev/null
    [ -z "$2" ] || qlk_type_into "$1" IDC_INPUT_TEXT "$2"
    qlk_expect_text "input box \"$1\" holds what was typed" "$1" IDC_INPUT_TEXT "$2"
    qlk_click_awaited "$1" IDOK
    qlk_wait_gone "$1" '#32770'
}

# qlk_cancel_input_box TITLE: answers an input box with Cancel.
qlk_cancel_input_box() {
    qlk_wait_window "$1" '#32770' >/dev/null
    qlk_click_awaited "$1" IDCANCEL
    qlk_wait_gone "$1" '#32770'
}

# qlk_click TITLE [ID]: a left click in the middle of the control (or the window).
# xdotool pauses 0.1 s after it, which gives the program time to take the click
# before the next keys or reads.
qlk_click() { _qlk_click "$1" "${2:-}"; }
# qlk_click_awaited TITLE [ID]: the same click without that pause, for a click
# whose outcome the very next step waits for (a window that comes or goes).
qlk_click_awaited() { _qlk_click "$1" "${2:-}" --delay 0; }
_qlk_click() {
    local rect left top right bottom
    rect=$(qlk_on "$1" rect ${2:+"$2"}) || qlk_fail "nothing to click: \"$1\" ${2:-}"
    read -r _ left top right bottom <<<"$rect"
    # Then the pointer waits in the corner, as qlk_start leaves it: a window
    # that the click brings up (the viewer after the gate's OK) must not
    # appear under it, or its control there starts a tool tip that can take
    # the next click.
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click "${@:3}" 1 mousemove 0 0
}
# qlk_type TEXT: types into the window that has the keyboard.
qlk_type() { xdotool type --delay 8 -- "$1"; }
# qlk_key KEY...: presses keys (xdotool names: Return, ctrl+c) on the window that has the keyboard.
qlk_key() { xdotool key --delay 20 "$@"; }
# qlk_type_into TITLE ID TEXT: clicks the control, then types.
qlk_type_into() {
    qlk_click "$1" "$2"
    qlk_type "$3"
}
