#!/bin/bash
# Builds the libFuzzer targets with clang in build/native and runs each for the
# given number of seconds (default 60): scripts/fuzz.sh SECONDS
# Prints one line per target; fails on a crash and keeps the crashing input.
# Inputs grow up to QLK_FUZZ_MAX_LEN bytes (default 65536), so that long lines
# and vaults of many records are fuzzed too; the seeds are vaults in the
# forms the program writes (fuzz/corpus/).
set -euo pipefail
source "$(dirname "$0")/common.sh"
seconds=${1:-60}
max_len=${QLK_FUZZ_MAX_LEN:-65536}
tree="$QLK_ROOT/build/native" # the native tree: one clang build for the tests and the fuzzers
qlk_configure_native

status=0
for source in "$QLK_ROOT"/fuzz/*_fuzz.cpp; do
    target=$(basename "$source" .cpp)
    cmake --build "$tree" --target "$target" -j2 >"$tree/$target.build.log" 2>&1 ||
        { cat "$tree/$target.build.log"; exit 1; }
    # Seeds come from the source tree; what the fuzzer finds stays in the build tree.
    corpus="$tree/corpus/$target"
    mkdir -p "$corpus" "$tree/crashes"
    seeds="$QLK_ROOT/fuzz/corpus/${target%_fuzz}"
    log="$tree/$target.log"
    if "$tree/fuzz/$target" -max_total_time="$seconds" -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$tree/crashes/" "$corpus" "$seeds" >"$log" 2>&1; then
        echo "fuzz: $target ran $(qlk_fuzz_runs "$log") inputs of up to $max_len bytes in ${seconds} s, no crash"
    else
        tail -n 40 "$log"
        echo "fuzz: $target FAILED (crashing input in $tree/crashes/, log in $log)"
        status=1
    fi
done
exit $status
