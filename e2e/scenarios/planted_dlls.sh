#!/bin/bash
# A DLL put beside Quillock.exe never runs inside it. The program runs from a
# folder others can write to, and Windows looks there first for any DLL that
# is not one of its known DLLs. Each name below is a copy of one small DLL
# (e2e/planted/mark_dll.cpp) that leaves a mark named after itself when it is
# loaded; WINEDLLOVERRIDES=NAME=n,b makes Wine take such a DLL from the
# program's folder in preference to its own, as Windows does. A whole run
# (entry, an added record with a generated password, the viewer through the
# gate, Exit) must leave no mark.
#
# The names: bcrypt.dll (the password generator's random source), the crypto
# provider's crypt32.dll and rsaenh.dll (the stack-protector cookie is drawn
# from it while the C runtime starts), wtsapi32.dll and powrprof.dll (session
# and power notifications). Not planted, because Wine's own DLLs load them by
# name before or beside the program's code, where Windows' do not (measured
# with WINEDEBUG=+loaddll,+module): version.dll (imported by Wine's user32),
# winspool.drv and compstui.dll (by Wine's comdlg32), uxtheme.dll (loaded by
# Wine's comctl32 while it starts, and through its delay-load imports, which
# Wine resolves past SetDefaultDllDirectories) and msimg32.dll (a delay-load
# import of Wine's uxtheme).
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
qlk_reset_entry_password
: "${QLK_MARK_DLL:=$QLK_ROOT/build/win/e2e/qlk_mark_dll.dll}"
planted=(bcrypt.dll crypt32.dll rsaenh.dll wtsapi32.dll powrprof.dll)
form3=$QLK_TITLE_FORM3

qlk_new_drive
marks=$QLK_TMP/marks marks_win="Z:${QLK_TMP//\//\\}\\marks" # Z: is the root
mkdir "$marks"
# A program that a planted DLL breaks brings up Wine's debugger, which
# inherits the marks folder: it ends with the scenario.
end_debuggers() {
    local comm pid
    for comm in /proc/[0-9]*/comm; do
        pid=${comm#/proc/} pid=${pid%/comm}
        [ "$(cat "$comm" 2>/dev/null)" = winedbg ] || continue
        grep -qaF "QLK_MARKS=$marks_win" "/proc/$pid/environ" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
    done
}
qlk_at_exit end_debuggers
overrides=""
for name in "${planted[@]}"; do
    cp "$QLK_MARK_DLL" "$QLK_DIR/$name"
    overrides+=${name%.dll},
done

# no_marks WHEN: no planted DLL has run inside the program so far.
no_marks() {
    local ran
    ran=$(ls "$marks" | paste -sd' ')
    [ -z "$ran" ] || qlk_fail "planted DLLs ran inside Quillock $1: $ran"
    qlk_pass "no planted DLL ran $1"
}

qlk_widget_at 100 100
qlk_case "a whole run with ${planted[*]} beside the exe"
# Only the program gets the overrides and the marks folder.
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;${overrides%,}=n,b" QLK_MARKS=$marks_win qlk_enter
no_marks "at the entry"

qlk_menu_pick 2
qlk_wait_window "$form3" >/dev/null
qlk_click "$form3" IDC_AE_COMMAND3
generated=$(qlk_text "$form3" IDC_AE_TXTPSSWD1)
[[ $generated =~ ^[a-zA-Z0-9]{10}$ ]] || qlk_fail "the generated password is [$generated]"
qlk_pass "the generator draws from the system's bcrypt.dll"
qlk_type_into "$form3" IDC_AE_TXTID Mail
qlk_type_into "$form3" IDC_AE_TXTURL https://mail.example
qlk_type_into "$form3" IDC_AE_TXTUSERNAME ann
qlk_click "$form3" IDOK
qlk_wait_gone "$form3"
no_marks "after adding a record"

qlk_menu_pick 4
qlk_input_box "$QLK_TITLE_GATE" marigold
qlk_wait_window "$QLK_TITLE_VIEWER" >/dev/null
qlk_expect_eq "the viewer lists the record" 1 "$(qlk_on "$QLK_TITLE_VIEWER" lvrows IDC_VW_LV | wc -l)"
no_marks "with the viewer open"

qlk_menu_pick 5
qlk_wait_exit || qlk_fail "Quillock still runs after Exit"
no_marks "in the whole run"
