#!/bin/bash
# scripts/fuzz.sh from a fresh clone, where no build folder exists yet: it must
# build and run its targets, and its inputs must grow beyond libFuzzer's
# default limit of 4,096 bytes (long lines, vaults of many records). Runs on a
# small project of its own whose target notes the longest input it was given.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
project=$(mktemp -d "${TMPDIR:-/tmp}/qlk-fuzz-clone.XXXXXX")
trap 'rm -rf "$project"' EXIT

mkdir -p "$project/scripts" "$project/fuzz/corpus/probe"
cp "$root/scripts/common.sh" "$root/scripts/fuzz.sh" "$project/scripts/"
cat >"$project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(FuzzClone CXX)
if(QLK_FUZZ)
    add_subdirectory(fuzz)
endif()
CMAKE
cat >"$project/fuzz/CMakeLists.txt" <<CMAKE
add_executable(probe_fuzz probe_fuzz.cpp)
target_compile_definitions(probe_fuzz PRIVATE LONGEST_FILE="$project/longest")
target_compile_options(probe_fuzz PRIVATE -fsanitize=fuzzer)
target_link_options(probe_fuzz PRIVATE -fsanitize=fuzzer)
CMAKE
# Every 128 bytes more of length reach a new branch: longer inputs are new
# coverage, so the fuzzer keeps them and grows them as far as it may.
{
    cat <<'CPP'
#include <cstddef>
#include <cstdint>
#include <fstream>
static std::size_t longest = 0;
static volatile int sink;
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *, std::size_t size) {
    if (size > longest) {
        longest = size;
        std::ofstream(LONGEST_FILE, std::ios::trunc) << longest;
    }
CPP
    for i in $(seq 1 64); do echo "    if (size > $((i * 128))) sink = $i;"; done
    echo '    return 0;'
    echo '}'
} >"$project/fuzz/probe_fuzz.cpp"
printf 'NAM:a\r\nURL:b\r\n' >"$project/fuzz/corpus/probe/seed.txt"

failures=0
if ! out=$("$project/scripts/fuzz.sh" 3 2>&1); then
    echo "$out"
    echo "FAIL: scripts/fuzz.sh fails without a build folder"
    exit 1
fi
echo "$out"
grep -q 'fuzz: probe_fuzz ran [0-9]* inputs' <<<"$out" || { echo "FAIL: no run reported"; failures=$((failures + 1)); }
longest=$(cat "$project/longest" 2>/dev/null || echo 0)
if [ "$longest" -gt 4096 ]; then
    echo "ok - inputs grew to $longest bytes"
else
    echo "FAIL: the longest input was $longest bytes"
    failures=$((failures + 1))
fi
[ $failures -eq 0 ]
