#pragma once
// One vault of N records in a folder on the disk the benchmark runs from,
// and the operations measured on it, each timed alone (its preparation is
// not timed). The floor is what the disk itself costs for the same file: a
// raw read of it plus a durable write of it (written, then flushed).
#include "vault/record_ops.h"

#include <filesystem>
#include <string>

namespace vault_bench {

// Records of the sizes people keep, in plain form, all stamped DESKTOP-QLK7.
std::string plain_vault(std::size_t records);

class BenchVault {
public:
    explicit BenchVault(std::size_t records);
    ~BenchVault();
    BenchVault(const BenchVault&) = delete;
    BenchVault& operator=(const BenchVault&) = delete;

    std::size_t file_size() const { return scrambled_.size(); }

    // Seconds for one run of each.
    double floor_once();
    double decryption_once(); // scrambled vault -> plain (writes)
    double encryption_once(); // plain vault -> scrambled (writes)
    double load_once();       // scrambled vault, accepted (no write)
    double rewrite_once();    // one field changed in the rows (writes)
    double add_once();        // one record added to the vault (writes)

    // Heap bytes held at the peak of a load, above what was live before it.
    std::size_t load_peak_heap();
    // The same from the load until the viewer holds the rows (the records in
    // its row form, the file's bytes it keeps for the next rewrite, and its
    // list order of one index a row).
    std::size_t viewer_peak_heap();

private:
    class Quiet final : public vault::Reporter {
    public:
        void show_message(std::string_view) override {}
        bool pump_events() override { return true; }
    };

    void put(const std::string& bytes) const;

    std::filesystem::path folder_;
    std::string scrambled_;
    std::string plain_;
    Quiet quiet_;
    vault::VaultContext ctx_;
    vault::RowList rows_;
    bool toggle_ = false;
};

// The median of `runs` calls of `once`.
template <typename Once> double median_seconds(int runs, Once once);

} // namespace vault_bench

#include <algorithm>
#include <vector>

template <typename Once> double vault_bench::median_seconds(int runs, Once once) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(once());
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
