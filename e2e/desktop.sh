#!/bin/bash
# The scenarios' own desktop: a virtual display for their Wine prefix, so that
# their windows, keyboard focus and clipboard never meet those of the window
# tests running at the same time in the other prefix.
#   e2e/desktop.sh start STATE_FILE PREFIX   starts a display, writes ":N PID START" to STATE_FILE
#   e2e/desktop.sh stop STATE_FILE PREFIX    ends the prefix's wineserver, then the display
# CTest runs them as the setup and cleanup of the scenarios (e2e/CMakeLists.txt).
set -euo pipefail
action=$1
state=$2
prefix=$(realpath -m "$3")

# A process's start time (in clock ticks since boot): with its id it names
# that one process, even once the id has been given to another.
started() { awk '{print $22}' "/proc/$1/stat" 2>/dev/null; }

stop_display() {
    [ -f "$state" ] || return 0
    local display pid start
    read -r display pid start <"$state" || true
    rm -f "$state"
    # Only the Xvfb we started: a run cut short may have left the file behind.
    [ -n "${pid:-}" ] && [ -n "${start:-}" ] && [ "$(started "$pid")" = "$start" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
}

case $action in
start)
    stop_display # one left by a run that was cut short
    number=$(mktemp)
    trap 'rm -f "$number"' EXIT
    # Xvfb picks a free display itself and writes its number once it accepts
    # clients. Its own session and quiet streams: CTest neither waits for it
    # nor ends it with this script.
    # (Started so, it makes no lock file to tell its process by.)
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$number" </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        grep -q '^[0-9]' "$number" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    n=$(head -n 1 "$number")
    [ -n "$n" ] || { echo "e2e: could not start a virtual display" >&2; kill "$pid" 2>/dev/null; exit 1; }
    echo ":$n $pid $(started "$pid")" >"$state"
    ;;
stop)
    # Wine's processes go with their server, before their display does.
    WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -k 2>/dev/null || true
    stop_display
    ;;
*)
    echo "usage: e2e/desktop.sh start|stop STATE_FILE PREFIX" >&2
    exit 2
    ;;
esac
