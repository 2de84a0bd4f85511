#!/bin/bash
# Runs each long property of the vault's fuzz target on its own, niced, for
# the given number of seconds (default 600), both at once: the round trip of
# any vault through a load and a rewrite, and the start's recovery over any
# folder of vault, backup, work files and drafts. Prints how many inputs each
# ran; fails on a crash and keeps the crashing input.
#   bench/fuzz_properties.sh [SECONDS]
set -euo pipefail
source "$(dirname "$0")/../scripts/common.sh"
seconds=${1:-600}
tree="$QLK_ROOT/build/native"
qlk_configure_native
cmake --build "$tree" --target vault_fuzz -j2 >"$tree/vault_fuzz.build.log" 2>&1 ||
    { cat "$tree/vault_fuzz.build.log"; exit 1; }
# A copy of its own, so that a rebuild of the tree meanwhile does not touch it.
run="$tree/fuzz-properties"
mkdir -p "$run"
cp "$tree/fuzz/vault_fuzz" "$run/vault_fuzz"

properties=(round-trip recovery)
for property in "${properties[@]}"; do
    mkdir -p "$run/$property/corpus" "$run/$property/crashes"
    QLK_FUZZ_PROPERTY=$property nice -n 19 "$run/vault_fuzz" -max_total_time="$seconds" -max_len=65536 \
        -print_final_stats=1 -artifact_prefix="$run/$property/crashes/" "$run/$property/corpus" \
        "$QLK_ROOT/fuzz/corpus/vault" >"$run/$property.log" 2>&1 &
    echo $! >"$run/$property.pid"
done
status=0
for property in "${properties[@]}"; do
    if wait "$(cat "$run/$property.pid")"; then
        echo "fuzz property $property: $(qlk_fuzz_runs "$run/$property.log") inputs in $seconds s, no failure"
    else
        tail -n 30 "$run/$property.log"
        echo "fuzz property $property FAILED (input in $run/$property/crashes/)"
        status=1
    fi
done
exit $status
