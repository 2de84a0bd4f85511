#include "bench_vault.h"

#include "heap_counter.h"
#include "vault/vault_format.h"

#include <chrono>
#include <fstream>
#include <random>

namespace vault_bench {
namespace {

using Clock = std::chrono::steady_clock;

template <typename Work> double timed(Work work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::filesystem::path bench_folder() {
    std::random_device seed;
    auto folder = std::filesystem::current_path() / ("qlk-bench-" + std::to_string(seed()));
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace

// Records of the sizes people keep: a name, a login address, an e-mail as
// user name, a 16-character password and a computer name.
std::string plain_vault(std::size_t records) {
    std::mt19937 random(42);
    const char alphabet[] = "abcdefghijkmnopqrstuvwxyzABCDEFGHJKLMNPQRSTUVWXYZ23456789!#%&*";
    std::string plain;
    for (std::size_t i = 0; i < records; ++i) {
        const auto n = std::to_string(i);
        std::string password;
        for (int c = 0; c < 16; ++c) password += alphabet[random() % (sizeof(alphabet) - 1)];
        plain += "NAM:Site " + n + "\r\nURL:https://www.site" + n + ".example.com/login\r\nUSE:user" + n +
                 "@example.com\r\nPAS:" + password + "\r\nIDN:DESKTOP-QLK7\r\n\r\n";
    }
    return plain;
}

BenchVault::BenchVault(std::size_t records)
    : folder_(bench_folder()), plain_(plain_vault(records)), ctx_{vault::vault_paths_in_folder(folder_.string()),
                                                                  "DESKTOP-QLK7", vault::disk_files(), quiet_} {
    scrambled_ = vault::encryption_pass(plain_);
    put(scrambled_);
    rows_ = vault::rows_from_load(vault::load_vault(ctx_));
}

BenchVault::~BenchVault() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void BenchVault::put(const std::string& bytes) const {
    std::ofstream(ctx_.paths.vault_file, std::ios::binary | std::ios::trunc) << bytes;
}

double BenchVault::floor_once() {
    const std::string copy = (folder_ / "floor.dat").string();
    return timed([&] {
        const vault::ReadResult read = vault::disk_files().read_file(ctx_.paths.vault_file);
        vault::disk_files().write_durable(copy, read.bytes);
    });
}

double BenchVault::decryption_once() {
    put(scrambled_);
    return timed([&] { vault::process_decryption(ctx_); });
}

double BenchVault::encryption_once() {
    put(plain_);
    return timed([&] { vault::process_encryption(ctx_); });
}

double BenchVault::load_once() {
    put(scrambled_);
    // The load ends when the records are handed over; freeing them is the
    // viewer's business when it closes, and is not timed.
    vault::LoadResult loaded;
    return timed([&] { loaded = vault::load_vault(ctx_); });
}

double BenchVault::rewrite_once() {
    toggle_ = !toggle_;
    rows_.rows.set_value(0, vault::Field::Url,
                         toggle_ ? "https://changed.example" : "https://www.site0.example.com/login");
    return timed([&] { vault::rewrite_vault(ctx_, rows_); });
}

double BenchVault::add_once() {
    put(scrambled_);
    return timed([&] { vault::add_record(ctx_, {"Site", "https://new.example", "me", "pw", "pw"}); });
}

std::size_t BenchVault::load_peak_heap() {
    put(scrambled_);
    const std::size_t before = heap_now();
    reset_heap_peak();
    { vault::load_vault(ctx_); }
    return heap_peak() - before;
}

std::size_t BenchVault::viewer_peak_heap() {
    put(scrambled_);
    const std::size_t before = heap_now();
    reset_heap_peak();
    {
        vault::RowList rows = vault::rows_from_load(vault::load_vault(ctx_));
        std::vector<std::size_t> order(rows.rows.size());
    }
    return heap_peak() - before;
}

} // namespace vault_bench
