#!/bin/bash
# Builds Quillock.exe and starts it under Wine from a stick of its own: the
# folder build/stick, which Wine sees as a drive, so the program runs as
# <drive>:\Quillock\Quillock.exe and keeps its vault in build/stick/Tallybox,
# inside the checkout. Without a display it starts a virtual one and saves a
# screenshot of the first window to build/first-window.png.
set -euo pipefail
source "$(dirname "$0")/common.sh"

say() { echo "run.sh: $*"; }

say "checking the packages it needs (installs what is missing)"
qlk_install_packages
say "building build/win/Quillock.exe (a first build takes a few minutes)"
# The program alone: the tests are scripts/test.sh's to build.
QLK_BUILD_PROGRESS=1 qlk_build_win --target Quillock

headless=0
if [ -z "${DISPLAY:-}" ]; then headless=1; fi
qlk_ensure_display

stick="$QLK_ROOT/build/stick"
runner="$QLK_ROOT/cmake/wine-run.sh"
prefix=$(realpath -m "$QLK_ROOT/build/win/wineprefix")
mkdir -p "$stick/Quillock"
# A new file, not new bytes in the old one: a copy still running keeps its own.
cp --remove-destination "$QLK_ROOT/build/win/Quillock.exe" "$stick/Quillock/Quillock.exe"

say "preparing Wine (a first start makes its prefix, under a minute)"
"$runner" "$prefix" >/dev/null 2>&1
# The stick is a drive letter of the prefix while the program runs; ln claims
# a free letter atomically, so a test running beside it keeps its own.
letter=""
for candidate in k l m n o p q r s t u v w x y; do
    if ln -sT "$stick" "$prefix/dosdevices/$candidate:" 2>/dev/null; then
        letter=$candidate
        break
    fi
done
[ -n "$letter" ] || { say "no free drive letter in $prefix/dosdevices" >&2; exit 1; }
trap 'rm -f "$prefix/dosdevices/$letter:"; qlk_stop_display' EXIT

program="${letter^^}:\\Quillock\\Quillock.exe"
say "starting $program (build/stick/Quillock/Quillock.exe); its vault is build/stick/Tallybox"
if [ $headless -eq 1 ]; then
    "$runner" "$prefix" "$program" &
    pid=$!
    for _ in $(seq 100); do
        xdotool search --name 'Quillock' >/dev/null 2>&1 && break
        sleep 0.2
    done
    sleep 1
    import -window root "$QLK_ROOT/build/first-window.png"
    say "screenshot of the first window: build/first-window.png"
    kill "$pid" 2>/dev/null || true
    WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
else
    "$runner" "$prefix" "$program"
fi
