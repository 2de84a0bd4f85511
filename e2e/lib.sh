# End-to-end harness: sourced by every scenario (e2e/scenarios/*.sh) and by
# e2e/screenshots.sh. It runs the real Quillock.exe under Wine from a drive
# letter mapped to a fresh temporary folder (so its data folder is X:\Tallybox
# inside that folder, as on a USB stick) and drives it as a user would.
#
# Environment (CTest passes all four; by hand the build/win tree is assumed):
#   QLK_WINEPREFIX QLK_EXE QLK_AUTO (qlk_auto.exe) QLK_WINE_RUN (cmake/wine-run.sh); DISPLAY must be set.
#   QLK_TIMEOUT_MS (default 15000) bounds every wait, QLK_START_TIMEOUT_MS (40000) the first window;
#   QLK_E2E_OUT: a folder for screenshots of failures; QLK_KEEP=1 keeps the temporary folder.
#
# Drive and processes
#   qlk_new_drive               fresh folder mapped to a free drive letter, Quillock.exe copied into it;
#                               sets QLK_DRIVE (letter), QLK_DIR (the folder), QLK_DATA (its Tallybox)
#   qlk_start [--no-wait]       start Quillock.exe from the drive; sets QLK_PID; waits for the entry dialog;
#                               with QLK_LOCALE set (e.g. ja_JP.UTF-8) Quillock runs on that locale's code page
#   qlk_alive [PID] / qlk_wait_exit [PID] [SECONDS] / qlk_stop [PID]   (default PID: QLK_PID)
# Windows (TITLE is exact; "prefix:TEXT" matches the beginning of a caption)
#   qlk_auto ARGS...            the automation helper, limited to our drive's processes (qlk_auto help)
#   qlk_on TITLE COMMAND ARGS   a helper window command on the window TITLE (e.g. qlk_on "$t" state 1005)
#   qlk_wine ARGS...            a Wine program under the prefix (e.g. qlk_wine reg add ...), CR stripped
#   qlk_wait_window TITLE [CLASS] / qlk_wait_gone TITLE [CLASS]
#   qlk_text TITLE [ID] / qlk_set_text TITLE ID TEXT / qlk_press TITLE ID (BM_CLICK) / qlk_check TITLE ID
#   qlk_msgbox                  text of the "Quillock" message box, escaped (CR LF reads \r\n)
#   qlk_expect_msgbox TEXT      waits for the message box, compares its escaped text, presses OK
#   qlk_input_box TITLE TEXT    answers an input box: types TEXT into it and presses OK ("" = leave empty)
#   qlk_cancel_input_box TITLE
# Mouse and keyboard (xdotool)
#   qlk_click TITLE [ID]        left click in the middle of the control (or window)
#   qlk_type TEXT / qlk_key KEY...   type into / press keys on the window that has the keyboard
#   qlk_type_into TITLE ID TEXT click the control, then type
# Files, registry, clipboard
#   qlk_file_hex PATH           bytes of a file under QLK_DIR as hex (PATH may use backslashes)
#   qlk_plant PATH [TEXT]       create a file under QLK_DIR
#   qlk_reg_query KEY NAME      data of a value as reg.exe prints it (plain ASCII values only)
#   qlk_reg_hex KEY NAME        "TYPE SIZE HEX" of the raw ANSI bytes of a value (scrambled texts)
#   qlk_reg_forget KEY          delete KEY now and again when the scenario ends
#   qlk_reset_entry_password    forget HKLM\SOFTWARE\QLK and HKCU\SOFTWARE\QLK: the default entry password is in force
#   qlk_cipher_hex TEXT         hex of the program's character cipher of an ASCII text
#   qlk_clipboard               clipboard text, escaped
# Checks and pictures
#   qlk_case TEXT / qlk_fail TEXT / qlk_expect_eq WHAT EXPECTED ACTUAL / qlk_pass WHAT
#   qlk_expect_text WHAT TITLE ID TEXT   waits until the control shows TEXT (not escaped)
#   qlk_screenshot FILE [TITLE] the screen, or only the window TITLE (QLK_SHOT_MARGIN pixels around it)
#
# Cleanup (EXIT trap): our Quillock processes end, the drive mappings and the
# registry keys given to qlk_reg_forget go, the temporary folder is removed;
# then what was given to qlk_at_exit COMMAND runs.
# The wineserver is shared with the rest of the test run: it is never ended here.

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
QLK_TITLE_ENTRY='Quillock: enter your entry password...'
QLK_DRIVE="" QLK_DIR="" QLK_DATA="" QLK_PID=""
QLK_PIDS=() QLK_LINKS=() QLK_KEYS=() QLK_AT_EXIT=()

for _qlk_file in "$QLK_EXE" "$QLK_AUTO" "$QLK_WINE_RUN"; do
    [ -e "$_qlk_file" ] || { echo "e2e: missing $_qlk_file" >&2; exit 1; }
done
[ -n "${DISPLAY:-}" ] || { echo "e2e: DISPLAY is not set" >&2; exit 1; }

# ---- processes and the temporary folder -------------------------------------

qlk_alive() {
    local pid=${1:-$QLK_PID} state
    [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

qlk_wait_exit() {
    local pid=${1:-$QLK_PID} seconds=${2:-$((QLK_TIMEOUT_MS / 1000))} i
    for ((i = 0; i < seconds * 20; i++)); do
        qlk_alive "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.05
    done
    return 1
}

qlk_stop() {
    local pid=${1:-$QLK_PID}
    qlk_alive "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    qlk_wait_exit "$pid" 3 || { kill -KILL "$pid" 2>/dev/null || true; qlk_wait_exit "$pid" 3 || true; }
}

# A scenario killed by CTest's timeout cannot clean up: the next one removes
# what a dead harness left (its Quillock processes, drive links and folder).
_qlk_sweep_stale() {
    local dir owner pid link
    for dir in "${TMPDIR:-/tmp}"/qlk-e2e.*; do
        [ -f "$dir/owner" ] || continue
        owner=$(cat "$dir/owner")
        kill -0 "$owner" 2>/dev/null && continue
        for pid in $(cat "$dir/pids" 2>/dev/null); do
            grep -qa 'Quillock.exe' "/proc/$pid/cmdline" 2>/dev/null && kill -KILL "$pid" 2>/dev/null || true
        done
        for link in "$QLK_WINEPREFIX"/dosdevices/?:; do
            [ -L "$link" ] && [[ $(readlink "$link") == "$dir"/* ]] && rm -f "$link"
        done
        rm -rf "$dir"
    done
}

_qlk_cleanup() {
    local rc=$? pid link key
    set +e
    for pid in "${QLK_PIDS[@]}"; do qlk_stop "$pid"; done
    if [ -n "${QLK_AUTO_PID:-}" ]; then
        printf '1\nquit\n' >&"$QLK_AUTO_IN" 2>/dev/null
        exec {QLK_AUTO_IN}>&- {QLK_AUTO_OUT}<&-
        qlk_wait_exit "$QLK_AUTO_PID" 3 || qlk_stop "$QLK_AUTO_PID"
    fi
    for link in "${QLK_LINKS[@]}"; do rm -f "$link"; done
    for key in "${QLK_KEYS[@]}"; do _qlk_wine reg delete "$key" /f >/dev/null 2>&1; done
    if [ "${QLK_KEEP:-0}" = 1 ]; then echo "e2e: kept $QLK_TMP" >&2; else rm -rf "$QLK_TMP"; fi
    for key in "${QLK_AT_EXIT[@]}"; do eval "$key"; done
    exit $rc
}

_qlk_sweep_stale
QLK_TMP=$(mktemp -d "${TMPDIR:-/tmp}/qlk-e2e.XXXXXX")
echo $$ >"$QLK_TMP/owner"
trap _qlk_cleanup EXIT
trap 'exit 130' INT TERM

qlk_at_exit() { QLK_AT_EXIT+=("$*"); }

# ---- Wine -------------------------------------------------------------------

# Wine's background services inherit the standard streams of the process that
# starts them: a pipe held that way would stall a command substitution (and
# CTest) until the wineserver ends. So Wine's output always goes through files.
_qlk_wine() {
    local out="$QLK_TMP/out.$BASHPID" err="$QLK_TMP/err.$BASHPID" rc=0
    "$QLK_WINE" "$@" </dev/null >"$out" 2>"$err" || rc=$?
    tr -d '\r' <"$out"
    # "not found" (1) is an answer the caller checks; anything else is worth seeing.
    [ $rc -le 1 ] || tr -d '\r' <"$err" >&2
    rm -f "$out" "$err"
    return $rc
}

# Boots the prefix and starts the shared wineserver with quiet streams.
"$QLK_WINE_RUN" "$QLK_WINEPREFIX" cmd /c exit </dev/null >/dev/null 2>&1

# The automation helper runs once per scenario in serve mode, fed through two
# FIFOs: a command costs milliseconds instead of a Wine process start.
mkfifo "$QLK_TMP/auto.in" "$QLK_TMP/auto.out"
"$QLK_WINE" "$QLK_AUTO" serve <"$QLK_TMP/auto.in" >"$QLK_TMP/auto.out" 2>>"$QLK_TMP/auto.log" &
QLK_AUTO_PID=$!
exec {QLK_AUTO_IN}>"$QLK_TMP/auto.in" {QLK_AUTO_OUT}<"$QLK_TMP/auto.out"

# One command: the argument count, then each argument escaped on its own line;
# the answer is "o " output lines, "e " error lines and "r CODE".
_qlk_auto_call() {
    local arg line rc="" errors=""
    {
        printf '%d\n' $#
        for arg; do
            arg=${arg//\\/\\\\}
            arg=${arg//$'\n'/\\n}
            arg=${arg//$'\r'/\\r}
            printf '%s\n' "${arg//$'\t'/\\t}"
        done
    } >&"$QLK_AUTO_IN"
    while IFS= read -r -t $((QLK_TIMEOUT_MS / 1000 + 10)) -u "$QLK_AUTO_OUT" line; do
        case $line in
        "o "*) printf '%s\n' "${line#o }" ;;
        "e "*) errors+="${line#e }"$'\n' ;;
        "r "*) rc=${line#r } && break ;;
        esac
    done
    [ -n "$rc" ] || { echo "e2e: the automation helper stopped answering" >&2; return 3; }
    # "not found" (1) is an answer the caller checks; anything else is worth seeing.
    [ "$rc" -le 1 ] || printf '%s' "$errors" >&2
    return "$rc"
}

qlk_wine() { _qlk_wine "$@"; }
qlk_auto() { _qlk_auto_call ${QLK_DRIVE:+-d "$QLK_DRIVE"} -T "$QLK_TIMEOUT_MS" "$@"; }

# The first window-list call brings up the Wine desktop process (explorer) if it
# is not running, before Quillock starts.
_qlk_auto_call -T 0 list >/dev/null || true

# "prefix:TEXT" selects by the beginning of the caption, anything else exactly.
_qlk_title() {
    if [[ $1 == prefix:* ]]; then printf '%s\n' -P "${1#prefix:}"; else printf '%s\n' -t "$1"; fi
}
_qlk_on() { # _qlk_on TITLE COMMAND ARGS...
    local title=$1
    shift
    local -a select
    mapfile -t select < <(_qlk_title "$title")
    qlk_auto "${select[@]}" "$@"
}

qlk_on() { _qlk_on "$@"; }

# ---- drive ------------------------------------------------------------------

qlk_new_drive() {
    local letter dir link
    dir=$(mktemp -d "$QLK_TMP/drive.XXXX")
    for letter in q r s t u v w x y p o n m l k j i h g f e d; do
        link="$QLK_WINEPREFIX/dosdevices/$letter:"
        # ln -T fails when the name exists: claiming a letter is atomic.
        if ln -sT "$dir" "$link" 2>/dev/null; then
            QLK_LINKS+=("$link")
            QLK_DRIVE=${letter^^} QLK_DIR=$dir QLK_DATA=$dir/Tallybox
            cp "$QLK_EXE" "$dir/Quillock.exe"
            return 0
        fi
    done
    qlk_fail "no free drive letter in $QLK_WINEPREFIX/dosdevices"
}

qlk_start() {
    [ -n "$QLK_DIR" ] || qlk_new_drive
    local locale=()
    [ -z "${QLK_LOCALE:-}" ] || locale=(LC_ALL="$QLK_LOCALE" LOCPATH="$QLK_LOCALES")
    (cd "$QLK_DIR" && exec env "${locale[@]}" "$QLK_WINE" "$QLK_DRIVE:\\Quillock.exe" {QLK_AUTO_IN}>&- {QLK_AUTO_OUT}<&-) \
        </dev/null >>"$QLK_TMP/quillock.log" 2>&1 &
    QLK_PID=$!
    QLK_PIDS+=("$QLK_PID")
    echo "$QLK_PID" >>"$QLK_TMP/pids"
    [ "${1:-}" = --no-wait ] || QLK_TIMEOUT_MS=$QLK_START_TIMEOUT_MS qlk_wait_window "$QLK_TITLE_ENTRY" >/dev/null
}

# ---- windows ----------------------------------------------------------------

qlk_wait_window() {
    _qlk_on "$1" ${2:+-c "$2"} wait || qlk_fail "window \"$1\" did not appear"
}
qlk_wait_gone() {
    _qlk_on "$1" ${2:+-c "$2"} gone || qlk_fail "window \"$1\" did not go away"
}
qlk_text() { _qlk_on "$1" text ${2:+"$2"} || qlk_fail "no text of \"$1\" ${2:-}"; }
qlk_set_text() { _qlk_on "$1" settext "$2" "$3" || qlk_fail "could not set the text of \"$1\" $2"; }
qlk_press() { _qlk_on "$1" click "$2" || qlk_fail "could not press $2 on \"$1\""; }
qlk_check() { _qlk_on "$1" check "$2" || qlk_fail "no check state of \"$1\" $2"; }
qlk_msgbox() { qlk_auto msgbox || qlk_fail "no message box appeared"; }

qlk_expect_msgbox() {
    local text
    text=$(qlk_auto msgbox ok) || qlk_fail "no message box (expected \"$1\")"
    qlk_expect_eq "message box" "$1" "$text"
}

qlk_input_box() {
    qlk_wait_window "$1" '#32770' >/dev/null
    [ -z "$2" ] || qlk_type_into "$1" 102 "$2"
    qlk_expect_text "input box \"$1\" holds what was typed" "$1" 102 "$2"
    qlk_click "$1" 1
    qlk_wait_gone "$1" '#32770'
}

qlk_cancel_input_box() {
    qlk_wait_window "$1" '#32770' >/dev/null
    qlk_click "$1" 2
    qlk_wait_gone "$1" '#32770'
}

# ---- mouse and keyboard -----------------------------------------------------

qlk_click() {
    local rect left top right bottom
    rect=$(_qlk_on "$1" rect ${2:+"$2"}) || qlk_fail "nothing to click: \"$1\" ${2:-}"
    read -r _ left top right bottom <<<"$rect"
    xdotool mousemove $(((left + right) / 2)) $(((top + bottom) / 2)) click 1
}
qlk_type() { xdotool type --delay 8 -- "$1"; }
qlk_key() { xdotool key --delay 20 "$@"; }
qlk_type_into() {
    qlk_click "$1" "$2"
    qlk_type "$3"
}

# ---- files, registry, clipboard --------------------------------------------

_qlk_path() { local p=${1//\\//}; printf '%s/%s' "$QLK_DIR" "${p#/}"; }
qlk_file_hex() { xxd -p "$(_qlk_path "$1")" | tr -d '\n'; }
qlk_plant() {
    local path
    path=$(_qlk_path "$1")
    mkdir -p "$(dirname "$path")"
    printf '%s' "${2:-}" >"$path"
}

qlk_reg_query() {
    local out
    out=$(_qlk_wine reg query "$1" /v "$2") || return 1
    # Lines read "    NAME    TYPE    DATA".
    sed -n "s/^    $2    REG_[A-Z_]*    //p; s/^    $2    REG_[A-Z_]*\$//p" <<<"$out"
}
qlk_reg_hex() { _qlk_auto_call regvalue "$1" "$2"; }
qlk_reg_forget() {
    QLK_KEYS+=("$1")
    _qlk_wine reg delete "$1" /f >/dev/null 2>&1 || true
}
qlk_reset_entry_password() {
    qlk_reg_forget 'HKLM\SOFTWARE\QLK'
    qlk_reg_forget 'HKCU\SOFTWARE\QLK' # a user's own copy, which comes first
}

qlk_cipher_hex() {
    local LC_ALL=C text=$1 out="" code i
    for ((i = 0; i < ${#text}; i++)); do
        printf -v code '%d' "'${text:i:1}"
        if ((code >= 65 && code <= 90)); then code=$((code + 127))
        elif ((code >= 97 && code <= 122)); then code=$((code + 121))
        elif ((code >= 48 && code <= 57)); then code=$((code + 196)); fi
        printf -v code '%02x' "$code"
        out+=$code
    done
    printf '%s' "$out"
}

qlk_clipboard() { _qlk_auto_call clipboard; }

# ---- checks and pictures ----------------------------------------------------

# Each case says when it began (seconds since the harness started): slow steps show in CTest's log.
qlk_case() {
    local tenths=$(((${EPOCHREALTIME/./} - QLK_T0) / 100000))
    echo "== $* (at $((tenths / 10)).$((tenths % 10)) s)"
}
qlk_pass() { echo "ok - $*"; }
qlk_fail() {
    echo "FAIL: $*" >&2
    # What was on the screen, to tell a slow start from a wrong window.
    echo "visible windows:" >&2
    _qlk_auto_call list 2>/dev/null | sed 's/^/  /' >&2 || true
    [ -s "$QLK_TMP/quillock.log" ] && { echo "Quillock's output:"; tail -n 20 "$QLK_TMP/quillock.log"; } >&2
    if [ -n "${QLK_E2E_OUT:-}" ]; then
        mkdir -p "$QLK_E2E_OUT"
        local shot
        shot="$QLK_E2E_OUT/$(basename "$0" .sh)-$(date +%H%M%S).png"
        import -window root "$shot" 2>/dev/null && echo "screen at the failure: $shot" >&2
    fi
    exit 1
}
# Waits for the text: typed keys and the program's own updates land after the call that caused them.
qlk_expect_text() { # WHAT TITLE ID TEXT
    local last
    last=$(_qlk_on "$2" waittext "$3" "$4") || qlk_fail "$1: expected [$4], got [$last]"
    qlk_pass "$1"
}
qlk_expect_eq() {
    [ "$2" == "$3" ] || qlk_fail "$1: expected [$2], got [$3]"
    qlk_pass "$1"
}

qlk_screenshot() {
    if [ -z "${2:-}" ]; then
        import -window root "$1"
        return
    fi
    local rect left top right bottom margin=${QLK_SHOT_MARGIN:-0}
    rect=$(_qlk_on "$2" rect) || qlk_fail "no window \"$2\" to take a picture of"
    read -r _ left top right bottom <<<"$rect"
    local size="$((right - left + 2 * margin))x$((bottom - top + 2 * margin))"
    import -window root -crop "$size+$((left - margin))+$((top - margin))" +repage "$1"
}
