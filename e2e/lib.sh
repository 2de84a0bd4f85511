# End-to-end harness: sourced by every scenario (e2e/scenarios/*.sh) and by the
# picture scripts. It runs the real Quillock.exe under Wine from a drive letter
# mapped to a fresh temporary folder (so its data folder is X:\Tallybox inside
# that folder, as on a USB stick) and drives it as a user would.
#
# Environment (CTest passes all four; by hand the build/win tree is assumed):
#   QLK_WINEPREFIX QLK_EXE QLK_AUTO (qlk_auto.exe) QLK_WINE_RUN (cmake/wine-run.sh); DISPLAY must be set,
#   or QLK_DISPLAY_FILE name the scenarios' own display (e2e/desktop.sh writes it).
#   QLK_TIMEOUT_MS (default 15000) bounds every wait, QLK_START_TIMEOUT_MS (40000) the first window;
#   QLK_E2E_OUT: a folder for screenshots of failures; QLK_KEEP=1 keeps the temporary folder.
#
# The functions live in e2e/lib/, one file per area, each described where it is defined:
#   run.sh      processes, the drive letter, starting the program, cleanup
#   helper.sh   the automation helper qlk_auto.exe, control ids by name, Wine programs
#   windows.sh  windows and controls, message and input boxes, mouse and keyboard
#   data.sh     files, registry, clipboard
#   checks.sh   cases, checks, failures, pictures
#   widget.sh   entering, the widget and its popup menu
# Conventions: a window TITLE is its exact caption, "prefix:TEXT" matches the
# beginning of one; a control ID is a number or its name in resources/ids_*.h
# (IDC_PW_TXT1), IDOK and IDCANCEL included. Texts read from windows are
# escaped: CR LF reads \r\n.
#
# Cleanup (EXIT trap): our Quillock processes end, the drive mappings and the
# registry keys given to qlk_reg_forget go, what was given to qlk_at_exit runs;
# then the temporary folder is removed.
# The wineserver is shared with the other scenarios of the run: it is never ended here.

set -euo pipefail
QLK_T0=${EPOCHREALTIME/./}

QLK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
: "${QLK_WINEPREFIX:=$QLK_ROOT/build/win/wineprefix}"
: "${QLK_EXE:=$QLK_ROOT/build/win/Quillock.exe}"
: "${QLK_AUTO:=$QLK_ROOT/build/win/qlk_auto.exe}"
: "${QLK_WINE_RUN:=$QLK_ROOT/cmake/wine-run.sh}"
: "${QLK_LOCALES:=$QLK_ROOT/build/win/locales}"
: "${QLK_TIMEOUT_MS:=15000}"
# A start on a busy machine (a build beside the tests) can take many seconds.
: "${QLK_START_TIMEOUT_MS:=40000}"
QLK_WINEPREFIX=$(realpath -m "$QLK_WINEPREFIX")
export WINEPREFIX=$QLK_WINEPREFIX WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
QLK_WINE=/usr/lib/wine/wine64
QLK_DRIVE="" QLK_DIR="" QLK_DATA="" QLK_PID=""
QLK_PIDS=() QLK_LINKS=() QLK_KEYS=() QLK_AT_EXIT=()

for _qlk_file in "$QLK_EXE" "$QLK_AUTO" "$QLK_WINE_RUN"; do
    [ -e "$_qlk_file" ] || { echo "e2e: missing $_qlk_file" >&2; exit 1; }
done
if [ -n "${QLK_DISPLAY_FILE:-}" ]; then
    read -r DISPLAY _ <"$QLK_DISPLAY_FILE" || { echo "e2e: no display in $QLK_DISPLAY_FILE" >&2; exit 1; }
    export DISPLAY
fi
[ -n "${DISPLAY:-}" ] || { echo "e2e: DISPLAY is not set" >&2; exit 1; }

for _qlk_file in run helper windows data checks widget; do
    source "$QLK_ROOT/e2e/lib/$_qlk_file.sh"
done

_qlk_sweep_stale
QLK_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qlk-e2e.XXXXXX")
echo $$ >"$QLK_TMP/owner"
trap _qlk_cleanup EXIT
trap 'exit 130' INT TERM
# A command that fails outside any check ends the scenario (set -e) without a
# FAIL line: name it, with the calls that led there.
set -E
trap '_qlk_failed $?' ERR

# Boots the prefix and starts the shared wineserver with quiet streams.
"$QLK_WINE_RUN" "$QLK_WINEPREFIX" </dev/null >/dev/null 2>"$QLK_TMP/boot.log" ||
    { tr -d '\r' <"$QLK_TMP/boot.log" >&2; exit 1; }
_qlk_start_helper
