// The vault benchmark without Google Benchmark, for the Windows build run
// under Wine: the median of a few runs of each operation beside the disk's
// floor for the same file (a raw read plus a durable write), and the heap a
// load holds. Exits non-zero when a 100k-record target is missed.
#include "bench_vault.h"

#include <cstdio>

int main() {
    using vault_bench::BenchVault;
    bool met = true;
    std::printf("%-9s %-16s %10s %10s %8s\n", "records", "operation", "median ms", "floor ms", "x floor");
    for (std::size_t records : {1000, 10000, 100000}) {
        BenchVault vault(records);
        const int runs = records >= 100000 ? 5 : 9;
        const double floor = vault_bench::median_seconds(runs, [&] { return vault.floor_once(); });
        struct Op {
            const char* name;
            double (BenchVault::*once)();
            bool target; // held to 3x the floor
        };
        const Op ops[] = {{"decryption pass", &BenchVault::decryption_once, true},
                          {"encryption pass", &BenchVault::encryption_once, true},
                          {"load", &BenchVault::load_once, true},
                          {"rewrite", &BenchVault::rewrite_once, false},
                          {"add", &BenchVault::add_once, false}};
        for (const Op& op : ops) {
            const double t = vault_bench::median_seconds(runs, [&] { return (vault.*op.once)(); });
            std::printf("%-9zu %-16s %10.2f %10.2f %8.2f\n", records, op.name, t * 1e3, floor * 1e3, t / floor);
            if (records == 100000 && op.target && t > 3 * floor) met = false;
        }
        const double file_mb = static_cast<double>(vault.file_size()) / 1e6;
        for (const auto& [label, peak] :
             {std::pair{"load memory", vault.load_peak_heap()}, std::pair{"viewer memory", vault.viewer_peak_heap()}}) {
            const double peak_mb = static_cast<double>(peak) / 1e6;
            std::printf("%-9zu %-16s peak heap %.1f MB for a %.1f MB file (limit %.1f MB)\n", records, label, peak_mb,
                        file_mb, 3 * file_mb + 10);
            if (peak_mb > 3 * file_mb + 10) met = false;
        }
    }
    std::printf("targets at 100k records (passes and load within 3x floor, memory within 3x file + 10 MB): %s\n",
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
