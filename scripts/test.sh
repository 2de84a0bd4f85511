#!/bin/bash
# Runs every test: installs what is missing, builds the Windows tree and runs
# its tests and the end-to-end scenarios under Wine; meanwhile, at a lower
# priority, builds the native tree and runs its tests (under AddressSanitizer
# and UndefinedBehaviorSanitizer) and a short bounded fuzz run. The Windows
# tests mostly wait on Wine and the display, so the native work fills the
# cores they leave idle.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qlk_install_packages

qlk_build_win -DQLK_BENCH=OFF

native_log="$QLK_ROOT/build/native-tests.log"
native_tests() {
    qlk_build_native -DQLK_BENCH=OFF || return
    (cd "$QLK_ROOT/build/native" && ctest --output-on-failure -j2) || return
    "$QLK_ROOT/scripts/fuzz.sh" 20
}
# At a lower priority from its first step: the window tests keep the CPU they need.
(renice -n 10 -p "$BASHPID" >/dev/null && native_tests) >"$native_log" 2>&1 &
native_pid=$!

qlk_ensure_display
trap 'kill "$native_pid" 2>/dev/null || true; qlk_stop_display' EXIT
# Two at a time: the window tests one after another on this display, the
# scenarios one after another on a display and Wine prefix of their own, the
# portable tests beside either (tests/CMakeLists.txt says how).
win_status=0
(cd "$QLK_ROOT/build/win" && ctest --output-on-failure -j2) || win_status=$?

native_status=0
wait "$native_pid" || native_status=$?
echo "== native tree"
cat "$native_log"
[ "$win_status" -eq 0 ] && [ "$native_status" -eq 0 ]
