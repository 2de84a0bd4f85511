#pragma once
// Shared by the vault tests: a temporary data folder on the real disk, a
// reporter that records what the user would see, a disk that fails on
// demand, and byte helpers.
#include "vault/file_system.h"
#include "vault/paths.h"
#include "vault/reporter.h"
#include "vault/vault_format.h"
#include "vault/vault_store.h"
#include "test_seal_crypto.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <optional>
#include <random>
#include <limits>
#include <string>
#include <vector>

namespace vault_test {

inline std::string bytes(std::initializer_list<unsigned char> list) { return std::string(list.begin(), list.end()); }

class TempFolder {
public:
    explicit TempFolder(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        static std::atomic<unsigned> counter{0};
        std::random_device seed;
        const auto name = "qlk-vault-" + std::to_string(seed()) + "-" + std::to_string(counter++);
        path_ = base / name;
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

// A folder in memory where there is one: a test that writes thousands of
// files does not wait on the disk's flushes.
inline std::filesystem::path memory_folder_base() {
    std::error_code ignored;
    return std::filesystem::is_directory("/dev/shm", ignored) ? std::filesystem::path("/dev/shm")
                                                              : std::filesystem::temp_directory_path();
}

inline bool file_exists(const std::string& path) { return std::filesystem::exists(path); }

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void write_bytes(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
}

class RecordingReporter final : public vault::Reporter {
public:
    void show_message(std::string_view text) override { messages.emplace_back(text); }
    bool pump_events() override { return ++pumps < stop_at_pump; }
    void vault_rejected() override { rejected_before_message = messages.size(); }

    std::vector<std::string> messages;
    int pumps = 0;
    int stop_at_pump = std::numeric_limits<int>::max(); // the pump that answers "no longer wanted"
    std::size_t rejected_before_message = static_cast<std::size_t>(-1);
};

// What a power cut does to the program: it stops where it is.
struct PowerCut {};

// The real disk, except that a write stops after `fail_after` bytes (the
// bytes before it do reach the file) and fails, or a replace or rename fails,
// when asked to; for the files of one name only when `only` names it.
class FaultyFiles final : public vault::FileSystem {
public:
    vault::ReadResult read_file(const std::string& path) override { return real().read_file(path); }
    bool write_durable(const std::string& path, std::string_view data) override {
        if (fail_after && *fail_after < data.size() && hits(path)) {
            write_bytes(path, std::string(data.substr(0, *fail_after))); // what reached the disk before the fault
            return false;
        }
        return real().write_durable(path, data);
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        return !(fail_replace && hits(from)) && real().replace_file(from, to);
    }
    bool rename_file(const std::string& from, const std::string& to) override {
        return !(fail_replace && hits(from)) && real().rename_file(from, to);
    }
    vault::ReadStatus presence(const std::string& path) override { return real().presence(path); }
    bool remove_file(const std::string& path) override { return real().remove_file(path); }
    bool remove_leftover(const std::string& path) override { return real().remove_leftover(path); }
    bool create_folder(const std::string& path) override { return real().create_folder(path); }

    std::optional<std::size_t> fail_after;
    bool fail_replace = false;
    std::string only; // a path; empty: every file

private:
    bool hits(const std::string& path) const { return only.empty() || path == only; }
    static vault::FileSystem& real() { return vault::disk_files(); }
};

// A data folder in a temporary folder with its own reporter, on a given disk.
struct VaultFixture {
    explicit VaultFixture(vault::FileSystem& files = vault::disk_files(), std::string computer = "DESK-7",
                          const std::filesystem::path& base = std::filesystem::temp_directory_path())
        : folder(base),
          paths(vault::vault_paths_in_folder(folder.str())), ctx{paths, std::move(computer), files, reporter, notices} {
    }

    std::string vault() const { return read_bytes(paths.vault_file); }
    void put_vault(const std::string& data) const { write_bytes(paths.vault_file, data); }
    bool work_file_left() const { return file_exists(paths.work_file); }
    std::string backup() const { return read_bytes(paths.backup_file); }
    void put_backup(const std::string& data) const { write_bytes(paths.backup_file, data); }
    bool backup_work_file_left() const { return file_exists(paths.backup_work_file); }
    std::string str_folder() const { return folder.str(); }

    TempFolder folder;
    vault::VaultPaths paths;
    RecordingReporter reporter;
    vault::RunNotices notices;
    vault::VaultContext ctx;
};

// The context opens and seals under `password` with the test cryptography;
// a thousand iterations keep the many derivations of a test quick.
inline constexpr std::uint32_t kTestIterations = 1000;
inline void use_seal(vault::VaultContext& ctx, std::string password, vault::SealWish wish = vault::SealWish::Keep) {
    ctx.seal.crypto = &test_seal_crypto();
    ctx.seal.password = std::move(password);
    ctx.seal.iterations = ctx.seal.least_iterations = kTestIterations;
    ctx.seal.derived.clear();
    ctx.seal_wish = wish;
}

// A sealed file's records as its owner reads them, or a scrambled file's
// records scrambled: what the user would find in it.
inline std::string records_in(const std::string& file, const std::string& password) {
    if (!vault::is_sealed(file)) return vault::scrambled_form(file);
    vault::SealOptions options{&test_seal_crypto(), password, kTestIterations, kTestIterations};
    vault::SealKeys keys;
    std::string records;
    return keys.open(options, file, records) == vault::SealKeys::Opened::Ok ? records : "(does not open)";
}

} // namespace vault_test
