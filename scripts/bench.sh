#!/bin/bash
# Runs the benchmarks: the vault's passes, load and rewrite at 1k, 10k and
# 100k records beside the disk's floor, natively (Google Benchmark, release
# build in build/bench) and under Wine (self-timed, build/win), then a long
# kill run under Wine: scripts/bench.sh [KILLS]   (default 1000 kills)
set -euo pipefail
source "$(dirname "$0")/common.sh"
qlk_install_packages
kills=${1:-1000}
native="$QLK_ROOT/build/bench"

cmake -S "$QLK_ROOT" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQLK_BENCH=ON >/dev/null
cmake --build "$native" --target vault_bench vault_bench_selftimed sealed_bench -j2 | grep -vE '^\[[0-9]+/[0-9]+\] ' || true
echo "== native (the vault files are written in the current folder's disk: $PWD)"
"$native/bench/vault_bench" --benchmark_counters_tabular=true
"$native/bench/sealed_bench" || true

qlk_build_win -DQLK_BENCH=ON
echo "== Windows build under Wine"
runner="$QLK_ROOT/cmake/wine-run.sh"
prefix="$QLK_ROOT/build/win/wineprefix"
"$runner" "$prefix" "$QLK_ROOT/build/win/bench/vault_bench_selftimed.exe" | tr -d '\r' || true
"$runner" "$prefix" "$QLK_ROOT/build/win/bench/sealed_bench.exe" | tr -d '\r' || true
echo "== kill test under Wine, $kills kills"
"$runner" "$prefix" "$QLK_ROOT/build/win/tests/vault/vault_kill_test.exe" "--kills=$kills" | tr -d '\r' |
    grep -E 'kills|PASSED|FAILED|Failure'
WINEPREFIX="$prefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true
