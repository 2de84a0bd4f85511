#!/bin/bash
# Runs every test: installs what is missing, builds both trees, runs the native
# tests (under AddressSanitizer and UndefinedBehaviorSanitizer), a short bounded
# fuzz run, then the Windows tests and the end-to-end scenarios under Wine.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qlk_install_packages

qlk_build_native -DQLK_BENCH=OFF
(cd "$QLK_ROOT/build/native" && ctest --output-on-failure -j2)

if [ -x "$QLK_ROOT/scripts/fuzz.sh" ]; then
    "$QLK_ROOT/scripts/fuzz.sh" 20
fi

qlk_build_win -DQLK_BENCH=OFF
qlk_ensure_display
trap qlk_stop_display EXIT
# One at a time. The tests are marked so that CTest may run them two at a
# time (ctest -j2: the window tests one after another on this display, the
# scenarios on a display and Wine prefix of their own, the portable tests
# beside either; tests/CMakeLists.txt says how), which takes a minute and a
# half less; but Wine failed to start a process now and then only when two
# ran at once, and a red run costs more than the time.
(cd "$QLK_ROOT/build/win" && ctest --output-on-failure)
