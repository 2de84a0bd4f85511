#!/bin/bash
# Builds Quillock.exe and starts it under Wine. Without a display it starts a
# virtual one and saves a screenshot of the first window to build/first-window.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"
qlk_install_packages
qlk_build_win

headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; fi
qlk_ensure_display
trap qlk_stop_display EXIT

exe="$QLK_ROOT/build/win/Quillock.exe"
runner="$QLK_ROOT/cmake/wine-run.sh"
prefix="$QLK_ROOT/build/win/wineprefix"
if [ $headless -eq 1 ]; then
    "$runner" "$prefix" "$exe" &
    pid=$!
    for _ in $(seq 100); do
        xdotool search --name 'Quillock' >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    import -window root "$QLK_ROOT/build/first-window.png"
    echo "Screenshot of the first window: build/first-window.png"
    kill "$pid" 2>/dev/null || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
else
    exec "$runner" "$prefix" "$exe"
fi
