#!/bin/bash
# README's two commands must stop when the build fails: scripts/test.sh must
# not go on to test the binaries of an earlier build, scripts/run.sh must not
# start an earlier Quillock.exe. Both run here on a small project of their own
# whose source does not compile; its test and its Wine runner only leave a
# mark, so that going on shows.
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
add_executable(broken broken.cpp)
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
[ $failures -eq 0 ]
