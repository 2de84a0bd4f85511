#!/bin/bash
# One run per data folder. Another Wine prefix, a Wine server of its own, on
# the same stick folder plays another session or another computer: the
# one-copy guard of this session cannot see it, the folder's lock can. Its
# start says the folder is held and ends, every file left as it was, while
# the first run goes on; once that run has gone, even killed, it starts.
second_display=${DISPLAY:-} # the window tests' display, where their prefix shows its windows
source "$(dirname "$0")/../lib.sh"
qlk_reset_entry_password
second=$(realpath -m "${QLK_SECOND_WINEPREFIX:?the prefix of the second session}")
[ -n "$second_display" ] || qlk_fail "no display for the second session"
# Booted, and its server running, before any of its programs starts.
DISPLAY=$second_display "$QLK_WINE_RUN" "$second" </dev/null >/dev/null 2>&1 || qlk_fail "$second does not start"

qlk_new_drive
for letter in "$QLK_DRIVE" J K L ""; do # the stick's letter there too, if free
    [ -n "$letter" ] || qlk_fail "no free drive letter in $second"
    ln -sT "$QLK_DIR" "$second/dosdevices/${letter,,}:" 2>/dev/null && break
done
QLK_LINKS+=("$second/dosdevices/${letter,,}:")
held="ERROR: Quillock is already running in another session or on another computer....\\r\\nThat copy holds $letter:\\\\Tallybox, where your passwords are kept. Close Quillock there, then start it here again."

second_start() {
    (export WINEPREFIX=$second DISPLAY=$second_display && exec "$QLK_WINE_RUN" "$second" "$letter:\\Quillock.exe") \
        </dev/null >>"$QLK_TMP/second.log" 2>&1 {QLK_AUTO_IN}>&- {QLK_AUTO_OUT}<&- &
    second_pid=$!
    QLK_PIDS+=("$second_pid")
}
# A helper command in the second session.
second_auto() { (export WINEPREFIX=$second DISPLAY=$second_display && _qlk_wine "$QLK_AUTO" -T "$QLK_TIMEOUT_MS" "$@"); }
folder_state() { (cd "$QLK_DATA" && find . | sort && find . -type f -exec sha256sum {} + | sort); }

qlk_case "a start in another session while a run holds the folder says so and changes nothing"
qlk_start
qlk_plant 'Tallybox\my_psswds.dat' $'\xcd\xc0\xcc:\xda\r\n'
qlk_plant 'Tallybox\temp.dat' $'Identifer Name: mail   Password: S3cret!\r\n' # the first run's print list
before=$(folder_state)
second_start
qlk_expect_eq "its message" "$held" "$(QLK_TIMEOUT_MS=$QLK_START_TIMEOUT_MS second_auto -d "$letter" msgbox ok)"
qlk_wait_exit "$second_pid" || qlk_fail "the second run still runs"
qlk_expect_eq "the data folder, byte for byte" "$before" "$(folder_state)"

qlk_case "the first run goes on"
qlk_type_into "$QLK_TITLE_ENTRY" IDC_PW_TXT1 marigold
qlk_click_awaited "$QLK_TITLE_ENTRY" IDOK
qlk_wait_window Quillock frmMain >/dev/null
qlk_pass "it entered"

qlk_case "once that run is killed, a start in the other session takes the folder"
kill -KILL "$QLK_PID"
qlk_wait_exit "$QLK_PID" || qlk_fail "the first run still runs"
second_start
QLK_TIMEOUT_MS=$QLK_START_TIMEOUT_MS second_auto -d "$letter" -t "$QLK_TITLE_ENTRY" wait >/dev/null ||
    qlk_fail "no entry dialog in the other session"
qlk_pass "its entry dialog is up"
qlk_stop "$second_pid"
