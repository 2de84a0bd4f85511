#!/bin/bash
# A DLL put beside Quillock.exe never runs inside it. The program runs from a
# folder others can write to, and Windows looks there first for any DLL that
# is not one of its known DLLs. Each name below is a copy of one small DLL
# (e2e/planted/mark.cpp) that leaves a mark named after itself when it is
# loaded; WINEDLLOVERRIDES=NAME=n,b makes Wine take such a DLL from the
# program's folder in preference to its own, as Windows does. A whole run
# (entry, an added record with a generated password, the viewer through the
# gate, its colour dialog, Exit) must leave no mark.
#
# The names: those the program loads itself (bcrypt.dll for the password
# generator, wtsapi32.dll for the session notifications), those the crypto
# provider loads while the C runtime starts (cryptsp.dll, crypt32.dll,
# rsaenh.dll, cryptbase.dll: the stack-protector cookie is drawn from it),
# and those the system DLLs the program calls import or load in turn:
# uxtheme.dll, dwmapi.dll and msimg32.dll (the common controls and themes),
# version.dll (user32), winspool.drv and compstui.dll (the colour dialog's
# comdlg32), powrprof.dll (power notifications). Each is searched for only
# after the program has restricted the search to System32, since the exe
# imports at load only KERNEL32 and msvcrt.
# The same file built as a program lies there as Notepad.exe and as
# www.example.com: Print must open the system's Notepad, and a record's
# "www.example.com" must reach the browser as an http:// address.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/viewer_common.sh"
qlk_reset_entry_password
: "${QLK_MARK_DLL:=$QLK_ROOT/build/win/e2e/qlk_mark_dll.dll}"
: "${QLK_MARK_PROGRAM:=$QLK_ROOT/build/win/e2e/qlk_mark_program.exe}"
planted=(bcrypt.dll compstui.dll crypt32.dll cryptbase.dll cryptsp.dll dwmapi.dll msimg32.dll powrprof.dll rsaenh.dll
    uxtheme.dll version.dll winspool.drv wtsapi32.dll)
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
for name in Notepad.exe www.example.com; do cp "$QLK_MARK_PROGRAM" "$QLK_DIR/$name"; done
# Wine's browser runs what its Browsers value names: here a note of the address.
browser_log=$QLK_TMP/browser.log
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$browser_log" >"$QLK_TMP/browser.sh"
chmod +x "$QLK_TMP/browser.sh"
qlk_reg_forget 'HKCU\Software\Wine\WineBrowser'
qlk_wine reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$QLK_TMP/browser.sh" /f >/dev/null

# no_marks WHEN: nothing planted has run so far.
no_marks() {
    local ran
    ran=$(ls "$marks" | paste -sd' ')
    [ -z "$ran" ] || qlk_fail "planted files ran $1: $ran"
    qlk_pass "nothing planted ran $1"
}

qlk_widget_at 100 100
qlk_case "a whole run with ${planted[*]} Notepad.exe www.example.com beside the exe"
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
qlk_type_into "$form3" IDC_AE_TXTURL www.example.com
qlk_type_into "$form3" IDC_AE_TXTUSERNAME ann
qlk_click "$form3" IDOK
qlk_wait_gone "$form3"
no_marks "after adding a record"

qlk_menu_pick 4
qlk_input_box "$QLK_TITLE_GATE" marigold
qlk_wait_window "$QLK_TITLE_VIEWER" >/dev/null
qlk_expect_eq "the viewer lists the record" 1 "$(qlk_on "$QLK_TITLE_VIEWER" lvrows IDC_VW_LV | wc -l)"
no_marks "with the viewer open"

configuration_pick 2 # "Font Color"
qlk_wait_window 'Change Font Color' '#32770' >/dev/null
no_marks "with the colour dialog open"
qlk_click_awaited 'Change Font Color' 2
qlk_wait_gone 'Change Font Color' '#32770'

viewer_select 0
xdotool click --repeat 2 --delay 80 1 # a double click on the list activates the row's URL
qlk_expect_eq "the browser is given the address with its scheme" http://www.example.com/ \
    "$(becomes http://www.example.com/ cat "$browser_log" 2>/dev/null)"
no_marks "with the URL activated"

qlk_click_awaited "$QLK_TITLE_VIEWER" IDC_VW_COMMAND1
qlk_auto msgbox ok >/dev/null || qlk_fail "Print showed no message"
qlk_wait_gone "$QLK_TITLE_VIEWER"
qlk_wine "$QLK_AUTO" -t 'temp.dat - Notepad' wait >/dev/null || qlk_fail "the system's Notepad did not open the list"
qlk_pass "the system's Notepad shows temp.dat"
no_marks "with the list printed"
close_notepad

qlk_menu_pick 5
qlk_wait_exit || qlk_fail "Quillock still runs after Exit"
no_marks "in the whole run"

# A system DLL that cannot be loaded at all (NAME=d): no crash. The message
# waits for its answer without limit, with no lock, idle limit or pulled stick
# to close anything meanwhile: every window leaves the screen first, and the
# traces go, the print file and the password the viewer copied.
qlk_case "comdlg32.dll cannot be loaded with the viewer open: its windows go before the message, the traces with them"
qlk_new_drive
vault_record mail https://mail.example ann abc | vault_write
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comdlg32=d" qlk_enter
qlk_plant 'Tallybox\temp.dat' 'Identifer Name: mail   URL: https://mail.example   UserName: ann   Password: abc'
view_passwords marigold
qlk_wait_window "$QLK_TITLE_VIEWER" >/dev/null
viewer_select 0
viewer_key ctrl+c
qlk_expect_eq "the password is on the clipboard" abc "$(clipboard_becomes abc)"
configuration_pick 2 # "Font Color": the colour dialog is comdlg32's
text=$(qlk_auto msgbox) || qlk_fail "no message"
qlk_expect_eq "the message" 'ERROR: Windows could not load comdlg32.dll.\r\nQuillock ends now.' "$text"
qlk_auto -t "$QLK_TITLE_VIEWER" list >/dev/null && qlk_fail "the viewer shows its list behind the message"
qlk_auto -t Quillock -c frmMain list >/dev/null && qlk_fail "the widget is on the screen behind the message"
qlk_expect_eq "the clipboard while the message waits" "" "$(qlk_clipboard)"
[ -e "$QLK_DATA/temp.dat" ] && qlk_fail "the print file is still in the data folder"
qlk_pass "no window of the program on the screen, the clipboard empty, the print file gone"
qlk_auto msgbox ok >/dev/null
qlk_wait_exit || qlk_fail "Quillock still runs after the message"
qlk_pass "Quillock ended"

# The first delay-loaded call comes before the entry dialog has taken the
# drive (and a second copy never takes it): the print file on the default
# drive is another run's. (Under Wine the message box itself needs comctl32,
# for the dialog classes the manifest asks for: the case above shows the
# message.)
qlk_case "comctl32.dll cannot be loaded at the start: the run ends, another run's print file stays"
others=$QLK_WINEPREFIX/drive_c/Tallybox
mkdir -p "$others"
echo 'Password: theirs' >"$others/temp.dat"
qlk_at_exit rm -f "$others/temp.dat"
qlk_new_drive
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32=d" qlk_start --no-wait
qlk_wait_exit || qlk_fail "Quillock still runs"
[ -e "$others/temp.dat" ] || qlk_fail "the print file on C: is gone"
qlk_pass "C:\\Tallybox\\temp.dat is still there"
