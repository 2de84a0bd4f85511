#!/bin/bash
# The viewer-opening benchmark under Wine, from a drive letter mapped to a
# fresh temporary folder (the viewer's vault lives on the drive it runs from):
# bench/run_viewer_bench.sh [BUILD_DIR]   (default build/win)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build/win}")
source "$root/scripts/common.sh"
qlk_ensure_display
"$root/tests/run_on_drive.sh" "$build/wineprefix" "$build/bench/viewer_open_bench.exe" | tr -d '\r'
