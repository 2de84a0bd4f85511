#!/bin/bash
# README's two commands must stop when the build fails: scripts/test.sh must
# not go on to test the binaries of an earlier build, scripts/run.sh must not
# start an earlier Quillock.exe. Both run here on a small project of their own
# whose source does not compile; its test and its Wine runner only leave a
# mark, so that going on shows. Then, once it builds, scripts/run.sh tells each
# stage and starts the program from a stick of its own inside the checkout:
# build/stick mapped as a drive while the program runs, and no longer after.
# A second run on the unchanged tree builds nothing.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
project=$(mktemp -d "${TMPDIR:-/tmp}/qlk-build-failure.XXXXXX")
trap 'rm -rf "$project"' EXIT

mkdir -p "$project/scripts" "$project/cmake"
cp "$root/scripts/common.sh" "$root/scripts/test.sh" "$root/scripts/run.sh" "$project/scripts/"
cp "$root/cmake/mingw-w64-x86_64.cmake" "$project/cmake/"
cat >"$project/CMakeLists.txt" <<CMAKE
cmake_minimum_required(VERSION 3.25)
project(BuildFailure CXX)
enable_testing()
add_executable(Quillock broken.cpp)
add_test(NAME tests_ran COMMAND touch "$project/tests-ran")
CMAKE
printf 'int main() { return 0 }\n' >"$project/broken.cpp" # the semicolon is missing
printf '#!/bin/bash\ntouch "%s/runner-ran"\n' "$project" >"$project/cmake/wine-run.sh"
chmod +x "$project/cmake/wine-run.sh"

failures=0
for command in test.sh run.sh; do
    status=0
    out=$(DISPLAY="${DISPLAY:-:0}" "$project/scripts/$command" 2>&1) || status=$?
    if [ $status -eq 0 ]; then
        echo "FAIL: scripts/$command exits 0 after a failed build"
        failures=$((failures + 1))
    else
        echo "ok - scripts/$command exits $status after a failed build"
    fi
    if ! grep -q "broken.cpp" <<<"$out"; then
        echo "FAIL: scripts/$command does not show the compiler's error"
        failures=$((failures + 1))
    fi
    for mark in tests-ran runner-ran; do
        if [ -e "$project/$mark" ]; then
            echo "FAIL: scripts/$command went on after the failed build ($mark)"
            failures=$((failures + 1))
            rm -f "$project/$mark"
        fi
    done
done

# The runner notes the program it was given and where that drive led; with no
# program it only readies the prefix.
cat >"$project/cmake/wine-run.sh" <<'RUNNER'
#!/bin/bash
mkdir -p "$1/dosdevices"
[ $# -ge 2 ] || exit 0
letter=${2%%:*}
{ echo "$2"; readlink -f "$1/dosdevices/${letter,,}:"; } >"$(dirname "$0")/../runner-ran"
RUNNER
printf 'int main() { return 0; }\n' >"$project/broken.cpp"
status=0
out=$(DISPLAY="${DISPLAY:-:0}" "$project/scripts/run.sh" 2>&1) || status=$?
check() { # check DESCRIPTION CONDITION...
    local what=$1
    shift
    if "$@"; then echo "ok - scripts/run.sh: $what"; else echo "FAIL: scripts/run.sh: $what" && failures=$((failures + 1)); fi
}
check "exits 0 after a good build" [ $status -eq 0 ]
stages=$(grep -nE '^run.sh: (checking|building)|^\[[0-9]+/[0-9]+\] |^run.sh: starting' <<<"$out" | cut -d: -f2- | cut -c1-12 || true)
check "says each stage, with the build's progress, in order" \
    grep -qzE 'run.sh: chec.*run.sh: buil.*\[1/[0-9]+\] .*run.sh: star' <<<"$stages"
ran=$(cat "$project/runner-ran" 2>/dev/null || true)
check "starts the program from a drive's Quillock folder" grep -qE '^[K-Y]:\\Quillock\\Quillock\.exe$' <<<"$ran"
check "that drive is build/stick" grep -qx "$(realpath "$project")/build/stick" <<<"$ran"
check "copies the program there" [ -f "$project/build/stick/Quillock/Quillock.exe" ]
check "leaves no drive mapped" [ -z "$(find "$project/build/win/wineprefix/dosdevices" -type l)" ]
check "ends the build with the exe's SHA-256" grep -qE '^SHA-256 of build/win/Quillock.exe: [0-9a-f]{64}$' <<<"$out"
out=$(DISPLAY="${DISPLAY:-:0}" "$project/scripts/run.sh" 2>&1) || true
check "a second run builds nothing" grep -qx 'ninja: no work to do.' <<<"$out"
[ $failures -eq 0 ] || echo "$out"
[ $failures -eq 0 ]
