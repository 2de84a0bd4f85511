# Cases, checks and their failures; pictures of the screen.

# qlk_case TEXT: a case begins; it says when (seconds since the harness started),
# so that slow steps show in CTest's log.
qlk_case() {
    local tenths=$(((${EPOCHREALTIME/./} - QLK_T0) / 100000))
    echo "== $* (at $((tenths / 10)).$((tenths % 10)) s)"
}
# qlk_pass WHAT: a check held.
qlk_pass() { echo "ok - $*"; }

# qlk_fail TEXT: ends the scenario as failed, with what was on the screen.
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
    # Inside $(...) the exit would end only the substitution: the scenario ends
    # too, once the command that holds the substitution is done.
    [ "$BASHPID" = $$ ] || kill -TERM $$
    exit 1
}

# The ERR trap (lib.sh): where an unchecked command failed. Only in the
# scenario's own shell: inside $(...) a failure is the caller's to check.
_qlk_failed() {
    [ "$BASHPID" = $$ ] || return 0
    local i where=""
    for ((i = 1; i < ${#BASH_SOURCE[@]}; i++)); do where+=" ${BASH_SOURCE[i]##*/}:${BASH_LINENO[i - 1]}"; done
    echo "e2e: [$BASH_COMMAND] failed with $1 at$where" >&2
}

# qlk_expect_eq WHAT EXPECTED ACTUAL
qlk_expect_eq() {
    [ "$2" == "$3" ] || qlk_fail "$1: expected [$2], got [$3]"
    qlk_pass "$1"
}

# qlk_expect_text WHAT TITLE ID TEXT: waits until the control shows TEXT (not
# escaped): typed keys and the program's own updates land after the call that caused them.
qlk_expect_text() {
    local last
    last=$(qlk_on "$2" waittext "$3" "$4") || qlk_fail "$1: expected [$4], got [$last]"
    qlk_pass "$1"
}

# qlk_screenshot FILE [TITLE]: the screen, or only the window TITLE with
# QLK_SHOT_MARGIN pixels around it, as a picture.
qlk_screenshot() {
    if [ -z "${2:-}" ]; then
        import -window root "$1"
        return
    fi
    local rect left top right bottom margin=${QLK_SHOT_MARGIN:-0}
    rect=$(qlk_on "$2" rect) || qlk_fail "no window \"$2\" to take a picture of"
    read -r _ left top right bottom <<<"$rect"
    local size="$((right - left + 2 * margin))x$((bottom - top + 2 * margin))"
    import -window root -crop "$size+$((left - margin))+$((top - margin))" +repage "$1"
}
