#!/bin/bash
# Runs a Windows program under Wine in a private prefix: wine-run.sh PREFIX PROGRAM [ARGS...]
# Without a program it only makes the prefix ready (booted, its wineserver
# running with quiet streams), which costs no Wine process start once it is.
# Boots the prefix on first use and keeps one wineserver per prefix, started
# with all standard streams on /dev/null so that no test waits on Wine's
# background services holding its output pipe.
set -euo pipefail
prefix=$(realpath -m "$1") # Wine wants an absolute prefix path
shift
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Debian's Wine has no preloader to keep the low address space free for a new
# process, and the kernel starts the heap of its loader (fixed at 0x7d000000)
# anywhere in the gigabyte above it: about one start in 2000 the heap lies on
# 0x7ffe0000, where Wine must map the shared user data, and the process ends
# before it runs (its parent's CreateProcess fails with ERROR_INTERNAL_ERROR).
# Without address randomisation the heap starts where the loader ends; every
# process Wine starts inherits the setting.
wine=(setarch "$(uname -m)" -R /usr/lib/wine/wine64)
server=/usr/lib/wine/wineserver64
fonts=/usr/share/wine/fonts
mkdir -p "$prefix"

# The server's socket lives in the folder the prefix names in its "wineserver" file.
server_running() {
    local folder
    folder=$(cat "$prefix/wineserver" 2>/dev/null) || return 1
    compgen -G "/tmp/$folder/server-*/socket" >/dev/null
}

(
    flock 9
    # The wineserver keeps the X display of its first client.
    if [ -f "$prefix/.qlk-display" ] && [ "$(cat "$prefix/.qlk-display")" != "${DISPLAY:-}" ]; then
        "$server" -k >/dev/null 2>&1 || true
        "$server" -w >/dev/null 2>&1 || true
    fi
    echo "${DISPLAY:-}" >"$prefix/.qlk-display"
    # Wine does not look for fonts-wine's files in /usr/share/wine/fonts: copied
    # into the prefix they stand in for Tahoma, MS Sans Serif and Marlett, so
    # "MS Shell Dlg" measures and draws as on Windows and the close glyph shows.
    # A prefix made before the package was installed gets them at its next use.
    if [ ! -f "$prefix/drive_c/windows/Fonts/tahoma.ttf" ] && compgen -G "$fonts/*.ttf" >/dev/null; then
        mkdir -p "$prefix/drive_c/windows/Fonts"
        cp "$fonts"/*.ttf "$prefix/drive_c/windows/Fonts/"
    fi
    if [ ! -f "$prefix/.qlk-ready" ]; then
        "$server" -p30 </dev/null >/dev/null 2>&1 9>&- || true
        "${wine[@]}" wineboot -i </dev/null >/dev/null 2>&1 9>&-
        # Without a window manager Wine waits about 2 s on every hidden window
        # unless it manages the windows itself.
        "${wine[@]}" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 9>&-
        touch "$prefix/.qlk-ready"
    elif ! server_running; then
        # Wine's background services start with the first client after the
        # server and inherit its output: start them here on /dev/null, or
        # the caller (CTest) waits on the pipe until they end.
        "$server" -p30 </dev/null >/dev/null 2>&1 9>&- || true
        "${wine[@]}" wineboot </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$prefix.lock"

[ $# -eq 0 ] || exec "${wine[@]}" "$@"
