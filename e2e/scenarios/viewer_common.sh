# Shared by the viewer's scenarios (sourced after lib.sh): vaults written as
# the program keeps them, the widget's menu, the viewer gate, and the viewer's
# list and clipboard as a user sees them.

VIEWER='Password viewer'
GATE='Get Master Password'
LV=3003 Command1=3004 Command3=3005 Command4=3006 Command2=3007
REJECTED="It has been detected that you're useing a password data file that was generated on a different computer system OR the password file is vacant of any data - this screen will exit due to security issues."
COMPUTER=$(qlk_wine cmd /c echo %COMPUTERNAME%)

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

# The widget's popup menu: a right press inside the widget's region, then the
# item at position $1 (1 About, 2 Add Password, 3 Configure Startup,
# 4 View Passwords, 5 Exit) picked with the keyboard.
widget_pick() {
    local rect region left top l t r b count i
    rect=$(qlk_auto -t Quillock -c frmMain rect) || qlk_fail "no widget"
    read -r _ left top _ _ <<<"$rect"
    region=$(qlk_auto -t Quillock -c frmMain region) || qlk_fail "no widget region"
    count=${region%%$'\n'*}
    count=${count#region }
    [ "$count" != none ] || qlk_fail "the widget has no region"
    read -r _ l t r b <<<"$(sed -n "$((count / 2 + 2))p" <<<"$region")"
    xdotool mousemove $((left + (l + r) / 2)) $((top + (t + b) / 2)) click 3
    sleep 0.3
    for ((i = 0; i < $1; i++)); do qlk_key Down; done
    qlk_key Return
}

# The widget opens near the top left corner, where the viewer (centred on the
# screen) does not cover it, as if the user had put it there on an earlier run.
POSITION='HKCU\Software\VB and VBA Program Settings\QLK\FormPosInfo'
qlk_reg_forget "$POSITION"
qlk_wine reg add "$POSITION" /v frmMain.X /d 300 /f >/dev/null
qlk_wine reg add "$POSITION" /v frmMain.Y /d 300 /f >/dev/null

# Starts the program and enters with the default entry password.
enter() {
    qlk_start
    qlk_type_into "$QLK_TITLE_ENTRY" 1002 marigold
    qlk_click "$QLK_TITLE_ENTRY" 1
    qlk_wait_window Quillock frmMain >/dev/null
}

# "View Passwords", answering the gate with $1.
view_passwords() {
    widget_pick 4
    qlk_input_box "$GATE" "$1"
}

# The rows of LV: "SELECTED<TAB>NAME<TAB>URL<TAB>USER<TAB>PASSWORD" per line.
viewer_rows() { qlk_auto -t "$VIEWER" lvrows $LV | cut -f2-; }
viewer_row_count() { viewer_rows | wc -l; }

# Selects row $1 (from 0) as a user would: a click on the first row, then
# the Down key. The selection is read back unless $2 is "unchecked" (reading
# a list of 100k rows across processes takes minutes).
viewer_select() {
    local rect left top i
    rect=$(qlk_auto -t "$VIEWER" rect $LV) || qlk_fail "no list"
    read -r _ left top _ _ <<<"$rect"
    # Below the column headers, on the first row.
    xdotool mousemove $((left + 60)) $((top + 30)) click 1
    sleep 0.2
    qlk_key Home
    for ((i = 0; i < $1; i++)); do qlk_key Down; done
    sleep 0.2
    [ "${2:-}" = unchecked ] && return
    qlk_expect_eq "row $1 is selected" "$1" "$(qlk_auto -t "$VIEWER" lvrows $LV | awk -F'\t' '$2 == 1 {print $1}')"
}

# Keys to the viewer, which has the keyboard since the last click on it.
viewer_key() {
    qlk_key "$@"
    sleep 0.3
}


close_notepad() {
    # A long print file takes Notepad a while to read before its title names it.
    qlk_wine "$QLK_AUTO" -t 'temp.dat - Notepad' -T "${1:-5000}" close >/dev/null 2>&1 || true
}

# Picks item $1 (from 1) of the viewer's Edit menu with the keyboard.
viewer_edit_pick() {
    local i
    qlk_key F10
    sleep 0.2
    qlk_key Right Down
    for ((i = 1; i < $1; i++)); do qlk_key Down; done
    qlk_key Return
}
