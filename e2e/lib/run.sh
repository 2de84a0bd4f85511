# Processes, the temporary folder and the drive letter; cleanup at exit.

# qlk_alive [PID]: true while the process (default QLK_PID) runs.
qlk_alive() {
    local pid=${1:-$QLK_PID} state
    [ -n "$pid" ] && [ -r "/proc/$pid/stat" ] || return 1
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# qlk_wait_exit [PID] [SECONDS]: waits until the process (default QLK_PID) has
# ended; false after SECONDS (default the timeout).
qlk_wait_exit() {
    local pid=${1:-$QLK_PID} seconds=${2:-$((QLK_TIMEOUT_MS / 1000))} i
    for ((i = 0; i < seconds * 20; i++)); do
        qlk_alive "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
        sleep 0.05
    done
    return 1
}

# qlk_stop [PID]: ends the process (default QLK_PID): TERM, then KILL after 3 s.
qlk_stop() {
    local pid=${1:-$QLK_PID}
    qlk_alive "$pid" || { wait "$pid" 2>/dev/null || true; return 0; }
    kill -TERM "$pid" 2>/dev/null || true
    qlk_wait_exit "$pid" 3 || { kill -KILL "$pid" 2>/dev/null || true; qlk_wait_exit "$pid" 3 || true; }
}

# qlk_at_exit COMMAND...: runs COMMAND at cleanup, after our processes and drives are gone.
qlk_at_exit() { QLK_AT_EXIT+=("$*"); }

# qlk_new_drive: a fresh folder mapped to a free drive letter, Quillock.exe copied
# into it; sets QLK_DRIVE (the letter), QLK_DIR (the folder), QLK_DATA (its Tallybox).
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

# qlk_start [--no-wait]: starts Quillock.exe from the drive (a new one if there is
# none yet); sets QLK_PID; waits for the entry dialog unless --no-wait.
qlk_start() {
    [ -n "$QLK_DIR" ] || qlk_new_drive
    local locale=()
    [ -z "${QLK_LOCALE:-}" ] || locale=(LC_ALL="$QLK_LOCALE" LOCPATH="$QLK_LOCALES")
    # The pointer rests where the last scenario clicked, often where the entry
    # dialog comes up: Wine takes a window appearing under it for a mouse move,
    # the button there starts its tool tip, and a click that meets the tip
    # coming up is lost (the dialog stayed, the tip showing). It waits in the
    # corner, which no window of ours covers.
    xdotool mousemove 0 0
    (cd "$QLK_DIR" && exec env "${locale[@]}" "$QLK_WINE" "$QLK_DRIVE:\\Quillock.exe" {QLK_AUTO_IN}>&- {QLK_AUTO_OUT}<&-) \
        </dev/null >>"$QLK_TMP/quillock.log" 2>&1 &
    QLK_PID=$!
    QLK_PIDS+=("$QLK_PID")
    echo "$QLK_PID" >>"$QLK_TMP/pids"
    [ "${1:-}" != --no-wait ] || return 0
    QLK_TIMEOUT_MS=$QLK_START_TIMEOUT_MS qlk_wait_window "$QLK_TITLE_ENTRY" >/dev/null
    # Listed is not yet ready: the first click waits until the program has
    # handled what showing the dialog brought and waits for input.
    qlk_on "$QLK_TITLE_ENTRY" idle || qlk_fail "the program does not wait for input"
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
    trap - ERR # what fails here is of no interest
    for pid in "${QLK_PIDS[@]}"; do qlk_stop "$pid"; done
    # Once the program has ended, so that nothing it writes at its end stays.
    for key in "${QLK_KEYS[@]}"; do _qlk_reg_delete "$key"; done
    _qlk_stop_helper
    for link in "${QLK_LINKS[@]}"; do rm -f "$link"; done
    # Before the temporary folder goes: qlk_wine keeps Wine's output there.
    for key in "${QLK_AT_EXIT[@]}"; do eval "$key"; done
    if [ "${QLK_KEEP:-0}" = 1 ]; then echo "e2e: kept $QLK_TMP" >&2; else rm -rf "$QLK_TMP"; fi
    exit $rc
}
