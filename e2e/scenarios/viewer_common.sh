# Shared by the viewer's scenarios (sourced after lib.sh): vaults written as
# the program keeps them, the viewer gate, and the viewer's list and clipboard
# as a user sees them.

VIEWER=$QLK_TITLE_VIEWER
GATE=$QLK_TITLE_GATE
LV=IDC_VW_LV Command1=IDC_VW_COMMAND1 Command3=IDC_VW_COMMAND3 Command4=IDC_VW_COMMAND4 Command2=IDC_VW_COMMAND2
REJECTED="It has been detected that you're useing a password data file that was generated on a different computer system OR the password file is vacant of any data - this screen will exit due to security issues."
COMPUTER=$(qlk_auto computername)

# One record as the vault's plain text holds it: vault_record NAME URL USER PASSWORD [STAMP]
vault_record() { printf 'NAM:%s\r\nURL:%s\r\nUSE:%s\r\nPAS:%s\r\nIDN:%s\r\n' "$1" "$2" "$3" "$4" "${5:-$COMPUTER}"; }

# Scrambles plain text (stdin) with the character cipher into the vault file.
vault_write() {
    mkdir -p "$QLK_DATA"
    LC_ALL=C tr 'A-Za-z0-9' '\300-\331\332-\363\364-\375' >"$QLK_DATA/my_psswds.dat"
}
# The vault's plain text.
vault_plain() { LC_ALL=C tr '\300-\331\332-\363\364-\375' 'A-Za-z0-9' <"$QLK_DATA/my_psswds.dat"; }
vault_names() { vault_plain | tr -d '\r' | sed -n 's/^NAM://p' | paste -sd, -; }
# becomes EXPECTED COMMAND...: the command's output once it is EXPECTED, or as
# it stands after 5 s, for what the program does once it has taken a key or a
# box has closed.
becomes() {
    local expected=$1 output
    shift
    for _ in $(seq 50); do
        output=$("$@")
        [ "$output" = "$expected" ] && break
        sleep 0.1
    done
    echo "$output"
}
# The names once they are EXPECTED: a rewrite runs after its box has closed or
# its key was taken, and ends with a flush to disk.
vault_names_become() { becomes "$1" vault_names; }

# The widget opens near the top left corner, where the viewer (centred on the
# screen) does not cover it, as if the user had put it there on an earlier run.
qlk_widget_at 20 20

# "View Passwords", answering the gate with $1.
view_passwords() {
    qlk_menu_pick 4
    qlk_input_box "$GATE" "$1"
}

# The rows of LV: "SELECTED<TAB>NAME<TAB>URL<TAB>USER<TAB>PASSWORD" per line.
viewer_rows() { qlk_on "$VIEWER" lvrows $LV | cut -f2-; }
viewer_row_count() { viewer_rows | wc -l; }

# Selects row $1 (from 0) as a user would: a click on the first row, then
# the Down key. The selection is read back unless $2 is "unchecked" (reading
# a list of 100k rows across processes takes minutes).
viewer_select() {
    local rect left top i
    rect=$(qlk_on "$VIEWER" rect $LV) || qlk_fail "no list"
    read -r _ left top _ _ <<<"$rect"
    # Below the column headers, on the first row.
    xdotool mousemove $((left + 60)) $((top + 30)) click 1
    qlk_wait_focus "$VIEWER" $LV
    qlk_key Home
    for ((i = 0; i < $1; i++)); do qlk_key Down; done
    [ "${2:-}" = unchecked ] && return
    qlk_expect_eq "row $1 is selected" "$1" "$(becomes "$1" viewer_selected_row)"
}
# The index of the selected row.
viewer_selected_row() { qlk_on "$VIEWER" lvrows $LV | awk -F'\t' '$2 == 1 {print $1}'; }

# Keys to the viewer, which has the keyboard since the last click on it.
viewer_key() { qlk_key "$@"; }
# The clipboard's text once it is EXPECTED: a copy by key is done once the
# viewer has taken the key.
clipboard_becomes() { becomes "$1" qlk_clipboard; }

close_notepad() {
    # A long print file takes Notepad a while to read before its title names it.
    # Only the file's name: the rest of the title is in the system's language
    # ("temp.dat - メモ帳" on a Japanese system).
    qlk_wine "$QLK_AUTO" -P 'temp.dat - ' -T "${1:-5000}" close >/dev/null 2>&1 || return 0
    # The close is only posted: until Notepad has gone, its window may lie over
    # the widget and take the next click meant for the keys.
    qlk_wine "$QLK_AUTO" -P 'temp.dat - ' gone >/dev/null 2>&1 || qlk_fail "Notepad did not close"
}

# Ends Notepad at once, without waiting for it to show the print file: a file
# of 100k rows keeps it reading for seconds, and a scenario that reads the
# file itself has no need of it. Only the scenarios' own prefix is searched.
end_notepad() { qlk_wine taskkill /f /im notepad.exe >/dev/null 2>&1 || true; }

# Picks item $1 (from 1) of the viewer's Edit menu with the keyboard.
viewer_edit_pick() {
    local i
    qlk_key F10
    qlk_wait_menu "$VIEWER"
    qlk_key Right Down
    for ((i = 1; i < $1; i++)); do qlk_key Down; done
    qlk_key Return
}

# The viewer's Configuration menu by the keyboard: its item $1 (from 1), and
# in the "Font Size" submenu its item $2.
configuration_pick() {
    local i
    viewer_select 0
    qlk_key F10
    qlk_wait_menu "$VIEWER"
    qlk_key Right Right Down
    for ((i = 1; i < $1; i++)); do qlk_key Down; done
    if [ -n "${2:-}" ]; then
        qlk_key Right
        for ((i = 1; i < $2; i++)); do qlk_key Down; done
    fi
    qlk_key Return
}

# Earlier names of the harness's helpers (e2e/lib/widget.sh), kept for scenarios that still use them.
enter() { qlk_enter "$@"; }
widget_pick() { qlk_menu_pick "$@"; }
