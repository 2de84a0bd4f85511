#!/bin/bash
# Saves the pictures README.md shows into docs/, taken from the real program
# driven by the end-to-end harness: e2e/screenshots.sh [BUILD_DIR]
# BUILD_DIR is a Windows build tree (default build/win). Without a display a
# virtual one is started for the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
export QLK_WINEPREFIX=$build/wineprefix QLK_EXE=$build/Quillock.exe QLK_AUTO=$build/qlk_auto.exe
source "$root/scripts/common.sh"
qlk_ensure_display
source "$root/e2e/lib.sh"
qlk_at_exit qlk_stop_display
docs=$root/docs
mkdir -p "$docs"

# The entry-password dialog as a first start shows it, a password being typed.
qlk_reset_entry_password
qlk_new_drive
qlk_start
qlk_type_into "$QLK_TITLE_ENTRY" 1002 marigold
qlk_expect_text "the password is typed" "$QLK_TITLE_ENTRY" 1002 marigold
qlk_screenshot "$docs/entry-password.png" "$QLK_TITLE_ENTRY"
qlk_stop
echo "saved docs/entry-password.png"
