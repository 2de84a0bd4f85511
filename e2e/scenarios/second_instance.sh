#!/bin/bash
# One copy at a time: a second start says so and ends; the first runs on.
source "$(dirname "$0")/../lib.sh"
qlk_reset_entry_password
running='ERROR: Quillock is already running....'

second_copy_is_refused() { # the first copy's pid
    qlk_start --no-wait
    local second=$QLK_PID
    qlk_expect_msgbox "$running"
    qlk_wait_exit "$second" || qlk_fail "the second copy still runs"
    qlk_pass "the second copy ended"
    QLK_PID=$1
    qlk_alive || qlk_fail "the first copy ended too"
}

qlk_new_drive
qlk_case "a second copy started beside the entry dialog"
qlk_start
first=$QLK_PID
second_copy_is_refused "$first"
dialogs=$(qlk_auto -t "$QLK_TITLE_ENTRY" list || true)
qlk_expect_eq "exactly one entry dialog is open" 1 "$(grep -c . <<<"$dialogs" || true)"

qlk_case "the first copy still works: it enters"
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "the widget is shown"

qlk_case "a second copy started while the widget runs"
second_copy_is_refused "$first"
qlk_auto -t Quillock -c frmMain -T 0 wait >/dev/null || qlk_fail "the widget is gone"
qlk_pass "the widget is still there"
qlk_stop
