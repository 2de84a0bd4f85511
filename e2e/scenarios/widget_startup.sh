#!/bin/bash
# "Configure Startup": the check box mirrors the program's value in the
# current user's Run key; checking it writes the quoted full path of the
# program, clearing it deletes the value, reopening shows the registration.
source "$(dirname "$0")/../lib.sh"
source "$(dirname "$0")/widget_common.sh"
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
chkRun=IDC_STARTUP_CHKRUN
forget_run_value() { qlk_wine reg delete "$run_key" /v Quillock /f >/dev/null 2>&1 || true; }
forget_run_value
qlk_at_exit forget_run_value
qlk_reset_entry_password
qlk_widget_at 1000 100

open_startup() {
    qlk_menu_pick 3
    qlk_wait_window "$QLK_TITLE_STARTUP" >/dev/null
}
close_startup() {
    qlk_auto -t "$QLK_TITLE_STARTUP" close >/dev/null
    qlk_wait_gone "$QLK_TITLE_STARTUP"
}

qlk_new_drive
qlk_enter

qlk_case "with nothing registered the box opens unchecked, and opening writes nothing"
open_startup
qlk_expect_eq "chkRun" 0 "$(qlk_check "$QLK_TITLE_STARTUP" $chkRun)"
qlk_reg_query "$run_key" Quillock >/dev/null && qlk_fail "opening the window wrote a Run value"
qlk_pass "no Run value"

qlk_case "checking the box registers the program's quoted full path"
qlk_click "$QLK_TITLE_STARTUP" $chkRun
qlk_expect_eq "chkRun" 1 "$(qlk_check "$QLK_TITLE_STARTUP" $chkRun)"
qlk_expect_eq "the Run value" "\"$QLK_DRIVE:\\Quillock.exe\"" "$(qlk_reg_query "$run_key" Quillock)"
bytes=$(printf '"%s:\\Quillock.exe"\0' "$QLK_DRIVE" | xxd -p | tr -d '\n' | tr a-f A-F)
qlk_expect_eq "its type and bytes (with the closing NUL)" "REG_SZ $((${#bytes} / 2)) $bytes" \
    "$(qlk_reg_hex "$run_key" Quillock | tr a-f A-F)"

qlk_case "reopened, the window shows the registration"
close_startup
open_startup
qlk_expect_eq "chkRun" 1 "$(qlk_check "$QLK_TITLE_STARTUP" $chkRun)"

qlk_case "clearing the box deletes the value, silently even when it is already gone"
qlk_click "$QLK_TITLE_STARTUP" $chkRun
qlk_expect_eq "chkRun" 0 "$(qlk_check "$QLK_TITLE_STARTUP" $chkRun)"
qlk_reg_query "$run_key" Quillock >/dev/null && qlk_fail "the Run value is still there"
qlk_pass "the Run value is gone"
qlk_click "$QLK_TITLE_STARTUP" $chkRun
forget_run_value # removed by other means
qlk_click "$QLK_TITLE_STARTUP" $chkRun
sleep 0.5
qlk_auto -t Quillock -c '#32770' -T 0 wait >/dev/null 2>&1 && qlk_fail "clearing an absent registration showed a message"
qlk_pass "no message"

qlk_case "a registration outlives the program: Exit does not remove it"
qlk_click "$QLK_TITLE_STARTUP" $chkRun
qlk_menu_pick 5
qlk_wait_exit || qlk_fail "Quillock still runs after Exit"
qlk_expect_eq "the Run value after Exit" "\"$QLK_DRIVE:\\Quillock.exe\"" "$(qlk_reg_query "$run_key" Quillock)"
