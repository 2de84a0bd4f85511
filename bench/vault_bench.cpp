// Google Benchmark: the vault's passes, load and rewrite at 1k, 10k and 100k
// records, each beside the disk's floor for the same file measured in the
// same run (counter x_floor = time / floor), and the heap a load holds.
#include "bench_vault.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

namespace {

using vault_bench::BenchVault;

struct Measured {
    std::unique_ptr<BenchVault> vault;
    double floor = 0;
};

Measured& vault_of(std::size_t records) {
    static std::map<std::size_t, Measured> vaults;
    Measured& m = vaults[records];
    if (!m.vault) {
        m.vault = std::make_unique<BenchVault>(records);
        m.floor = vault_bench::median_seconds(5, [&] { return m.vault->floor_once(); });
    }
    return m;
}

template <double (BenchVault::*Once)()> void run(benchmark::State& state) {
    Measured& m = vault_of(static_cast<std::size_t>(state.range(0)));
    double total = 0;
    for (auto _ : state) {
        const double seconds = ((*m.vault).*Once)();
        total += seconds;
        state.SetIterationTime(seconds);
    }
    state.counters["floor_ms"] = m.floor * 1e3;
    state.counters["x_floor"] = total / static_cast<double>(state.iterations()) / m.floor;
    state.counters["file_MB"] = static_cast<double>(m.vault->file_size()) / 1e6;
}

void BM_Floor(benchmark::State& state) { run<&BenchVault::floor_once>(state); }
void BM_DecryptionPass(benchmark::State& state) { run<&BenchVault::decryption_once>(state); }
void BM_EncryptionPass(benchmark::State& state) { run<&BenchVault::encryption_once>(state); }
void BM_Load(benchmark::State& state) { run<&BenchVault::load_once>(state); }
void BM_Rewrite(benchmark::State& state) { run<&BenchVault::rewrite_once>(state); }
void BM_Add(benchmark::State& state) { run<&BenchVault::add_once>(state); }

template <std::size_t (BenchVault::*Peak)()> void peak_heap(benchmark::State& state) {
    Measured& m = vault_of(static_cast<std::size_t>(state.range(0)));
    std::size_t peak = 0;
    for (auto _ : state) peak = std::max(peak, ((*m.vault).*Peak)());
    const double file_mb = static_cast<double>(m.vault->file_size()) / 1e6;
    state.counters["peak_MB"] = static_cast<double>(peak) / 1e6;
    state.counters["limit_MB"] = 3 * file_mb + 10;
    state.counters["x_file"] = static_cast<double>(peak) / static_cast<double>(m.vault->file_size());
}

void BM_LoadPeakHeap(benchmark::State& state) { peak_heap<&BenchVault::load_peak_heap>(state); }
void BM_ViewerPeakHeap(benchmark::State& state) { peak_heap<&BenchVault::viewer_peak_heap>(state); }

#define QLK_SIZES ->Arg(1000)->Arg(10000)->Arg(100000)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Floor) QLK_SIZES;
BENCHMARK(BM_DecryptionPass) QLK_SIZES;
BENCHMARK(BM_EncryptionPass) QLK_SIZES;
BENCHMARK(BM_Load) QLK_SIZES;
BENCHMARK(BM_Rewrite) QLK_SIZES;
BENCHMARK(BM_Add) QLK_SIZES;
BENCHMARK(BM_LoadPeakHeap)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewerPeakHeap)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
