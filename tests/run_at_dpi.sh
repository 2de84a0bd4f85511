#!/bin/bash
# Runs a command while the Wine prefix's screen has another DPI:
# run_at_dpi.sh PREFIX DPI COMMAND [ARGS...]
# Wine reads the DPI when a process starts, so only the programs started
# meanwhile see it; the prefix's own setting comes back afterwards.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'
reg() { "$here/../cmake/wine-run.sh" "$prefix" reg "$@" </dev/null >/dev/null 2>&1; }
reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f
trap 'reg delete "$key" /v LogPixels /f || true' EXIT
"$@"
