# Shared by the commands README.md names: package installation, build trees, display.
# Sourced, not run.

QLK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# libssl-dev gives the native tests their sealing cryptography; libgnutls30
# gives Wine its AES (bcrypt.dll), which Wine only recommends.
QLK_PACKAGES=(cmake ninja-build g++ g++-mingw-w64-x86-64 mingw-w64-tools wine64 fonts-wine xvfb xdotool imagemagick
    libgtest-dev libbenchmark-dev clang libclang-rt-14-dev util-linux locales python3
    libssl-dev libgnutls30)

# Installs whatever is missing; says nothing when all is there.
qlk_install_packages() {
    local missing=()
    for p in "${QLK_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# _qlk_build_tree TREE [CMAKE_BUILD_OPTIONS...]: builds a configured tree,
# leaving out Ninja's progress lines unless QLK_BUILD_PROGRESS=1; fails when the
# build fails (the filter's own status says nothing about the build's).
_qlk_build_tree() {
    [ "${QLK_BUILD_PROGRESS:-0}" = 1 ] && { cmake --build "$@"; return; }
    cmake --build "$@" | { grep -vE '^\[[0-9]+/[0-9]+\] ' || true; }
    return "${PIPESTATUS[0]}"
}

# qlk_build_win [--target NAME] [CMAKE_OPTIONS...]: configure and build the
# Windows tree, all of it or only the target NAME (and what it needs).
qlk_build_win() {
    local target=()
    if [ "${1:-}" = --target ]; then
        target=(--target "$2")
        shift 2
    fi
    cmake -S "$QLK_ROOT" -B "$QLK_ROOT/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$QLK_ROOT/cmake/mingw-w64-x86_64.cmake" "$@" >/dev/null || return
    _qlk_build_tree "$QLK_ROOT/build/win" "${target[@]}" || return
    # Last, the digest to compare a copy with (README.md: "Checking a copy").
    echo "SHA-256 of build/win/Quillock.exe: $(sha256sum <"$QLK_ROOT/build/win/Quillock.exe" | cut -d' ' -f1)"
}

# The native tree is one clang build that serves both the sanitizer tests and
# the fuzz targets: the portable core is compiled once, with the sanitizers and
# the fuzzer's coverage. qlk_configure_native only configures it.
qlk_configure_native() {
    local tree="$QLK_ROOT/build/native"
    mkdir -p "$tree"
    CC=clang CXX=clang++ cmake -S "$QLK_ROOT" -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQLK_SANITIZE=ON -DQLK_FUZZ=ON "$@" >"$tree/configure.log" 2>&1 || { cat "$tree/configure.log" >&2; return 1; }
}

qlk_build_native() {
    qlk_configure_native "$@" || return
    _qlk_build_tree "$QLK_ROOT/build/native"
}

# Starts a virtual X display when there is none; sets DISPLAY and QLK_XVFB_PID.
qlk_ensure_display() {
    if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then return 0; fi
    local n
    for n in $(seq 90 140); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        QLK_XVFB_PID=$!
        export DISPLAY=":$n"
        for _ in $(seq 50); do
            xdotool getdisplaygeometry >/dev/null 2>&1 && return 0
            sleep 0.1
        done
        kill "$QLK_XVFB_PID" 2>/dev/null || true
    done
    echo "Could not start a virtual display" >&2
    return 1
}

# qlk_fuzz_runs LOG: how many inputs the libFuzzer run that wrote LOG executed.
qlk_fuzz_runs() {
    grep -o 'stat::number_of_executed_units: *[0-9]*' "$1" | grep -o '[0-9]*$' || echo '?'
}

qlk_stop_display() {
    [ -n "${QLK_XVFB_PID:-}" ] && kill "$QLK_XVFB_PID" 2>/dev/null || true
}
