#!/bin/bash
# Saves docs/viewer.png: the password viewer over a small vault, as "View
# Passwords" opens it. e2e/viewer_screenshot.sh [BUILD_DIR] (default build/win)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
export QLK_WINEPREFIX=$build/wineprefix QLK_EXE=$build/Quillock.exe QLK_AUTO=$build/qlk_auto.exe
source "$root/scripts/common.sh"
qlk_ensure_display
source "$root/e2e/lib.sh"
source "$root/e2e/scenarios/viewer_common.sh"
qlk_at_exit qlk_stop_display
qlk_reset_entry_password
qlk_reg_forget 'HKLM\SOFTWARE\Quillock'

qlk_new_drive
{
    vault_record 'Mail account' https://mail.example.com/login ann.smith 'Blue7-Tide'
    vault_record 'Bank' https://online.bank.example 4471-2290 'k8#Lm2qR'
    vault_record 'Book club forum' www.readers.example annie 'paper-moon'
    vault_record 'Cloud storage' https://drive.example.net ann.smith@mail.example.com 'Xq4vR9tz'
    vault_record 'Energy supplier' https://my.power.example 100238841 'sunny2day'
    vault_record 'Train tickets' https://tickets.rail.example asmith 'n0rth-Line'
} | vault_write
enter
view_passwords marigold
qlk_wait_window "$VIEWER" >/dev/null
viewer_select 3
sleep 0.5
QLK_SHOT_MARGIN=0 qlk_screenshot "$root/docs/viewer.png" "$VIEWER"
echo "saved docs/viewer.png"
