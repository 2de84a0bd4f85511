# The automation helper qlk_auto.exe (e2e/automation), control ids by name, and
# Wine programs under the prefix.

# Control ids by name: every #define of resources/ids_*.h, and the standard
# dialog buttons.
declare -gA QLK_IDS=([IDOK]=1 [IDCANCEL]=2)
while read -r _ _qlk_name _qlk_value _; do
    QLK_IDS[$_qlk_name]=$_qlk_value
done < <(grep -h '^#define ID[A-Z]*_[A-Z0-9_]* [0-9]' "$QLK_ROOT"/resources/ids_*.h)

# qlk_id ID: the number of a control id given by name (a number stays as it is).
qlk_id() {
    if [[ $1 =~ ^(0x[0-9a-fA-F]+|[0-9]+)$ ]]; then
        echo "$1"
    elif [ -n "$1" ] && [ -n "${QLK_IDS[$1]+set}" ]; then
        echo "${QLK_IDS[$1]}"
    else
        echo "e2e: no control id named \"$1\" in resources/ids_*.h" >&2
        return 2
    fi
}

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

# qlk_wine PROGRAM ARGS...: a Wine program under the prefix (qlk_wine reg add ...), its CRs stripped.
qlk_wine() { _qlk_wine "$@"; }

# The helper runs once per scenario in serve mode, fed through two FIFOs: a
# command costs milliseconds instead of a Wine process start.
_qlk_start_helper() {
    mkfifo "$QLK_TMP/auto.in" "$QLK_TMP/auto.out"
    "$QLK_WINE" "$QLK_AUTO" serve <"$QLK_TMP/auto.in" >"$QLK_TMP/auto.out" 2>>"$QLK_TMP/auto.log" &
    QLK_AUTO_PID=$!
    exec {QLK_AUTO_IN}>"$QLK_TMP/auto.in" {QLK_AUTO_OUT}<"$QLK_TMP/auto.out"
    # The first window-list call brings up the Wine desktop process (explorer)
    # if it is not running, before Quillock starts.
    _qlk_auto_call -T 0 list >/dev/null || true
}

_qlk_stop_helper() {
    [ -n "${QLK_AUTO_PID:-}" ] || return 0
    printf '1\nquit\n' >&"$QLK_AUTO_IN" 2>/dev/null
    exec {QLK_AUTO_IN}>&- {QLK_AUTO_OUT}<&-
    qlk_wait_exit "$QLK_AUTO_PID" 3 || qlk_stop "$QLK_AUTO_PID"
}

# One command (the serve protocol, e2e/automation/serve.cpp): the argument count,
# then each argument escaped on its own line; the answer is "o " output lines,
# "e " error lines and "r CODE". An argument that is a control id's name goes as
# its number.
_qlk_auto_call() {
    local arg line rc="" errors=""
    {
        printf '%d\n' $#
        for arg; do
            [ -z "$arg" ] || [ -z "${QLK_IDS[$arg]+set}" ] || arg=${QLK_IDS[$arg]}
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

# qlk_auto ARGS...: one helper command (qlk_auto help lists them), limited to the
# processes of our drive and bounded by the timeout.
qlk_auto() { _qlk_auto_call ${QLK_DRIVE:+-d "$QLK_DRIVE"} -T "$QLK_TIMEOUT_MS" "$@"; }

# qlk_on TITLE [OPTIONS] COMMAND ARGS...: a helper command on the window TITLE
# (qlk_on "$t" state IDC_PW_CHECK1).
qlk_on() {
    local title=$1
    shift
    if [[ $title == prefix:* ]]; then qlk_auto -P "${title#prefix:}" "$@"; else qlk_auto -t "$title" "$@"; fi
}
