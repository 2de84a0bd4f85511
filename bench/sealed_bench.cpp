// What sealing costs at 100,000 records, with the program's own 600,000
// iterations: the viewer's load of a sealed vault beside the scrambled load
// plus one derivation (target 1.2x), and an add to it beside the scrambled add
// plus one derivation (target 1.5x). Natively the cryptography is OpenSSL's,
// under Wine Windows' CNG. Exits non-zero when a target is missed.
#include "bench_vault.h"
#include "test_seal_crypto.h"
#include "vault/seal_ops.h"
#include "vault/vault_format.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>

namespace {

class Quiet final : public vault::Reporter {
public:
    void show_message(std::string_view text) override { std::printf("message: %.*s\n", int(text.size()), text.data()); }
    bool pump_events() override { return true; }
};

template <typename Work> double timed(Work work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A folder of its own with the scrambled vault of `records`, sealed when asked.
struct Stick {
    Stick(const std::string& scrambled, bool sealed)
        : folder(std::filesystem::current_path() / ("qlk-sealed-bench-" + std::to_string(std::random_device()()))),
          scrambled(scrambled), sealed(sealed) {
        std::filesystem::create_directories(folder);
        reset();
    }
    ~Stick() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    vault::VaultContext context() {
        return {.paths = vault::vault_paths_in_folder(folder.string()),
                .computer_name = "DESKTOP-QLK7",
                .files = vault::disk_files(),
                .reporter = quiet,
                .seal = {.crypto = sealed ? &vault_test::test_seal_crypto() : nullptr,
                         .password = "a good entry password"}};
    }
    // The vault as it was before an add.
    void reset() {
        if (!sealed_file.empty() || !sealed) {
            std::ofstream(vault::vault_paths_in_folder(folder.string()).vault_file, std::ios::binary | std::ios::trunc)
                << (sealed ? sealed_file : scrambled);
            return;
        }
        std::ofstream(vault::vault_paths_in_folder(folder.string()).vault_file, std::ios::binary) << scrambled;
        vault::VaultContext ctx = context();
        ctx.seal_wish = vault::SealWish::Seal;
        vault::settle_seal(ctx);
        sealed_file = vault::disk_files().read_file(ctx.paths.vault_file).bytes;
    }

    std::filesystem::path folder;
    std::string scrambled;
    bool sealed;
    std::string sealed_file;
    Quiet quiet;
};

template <typename Once> double median(Once once) { return vault_bench::median_seconds(5, once); }

} // namespace

int main() {
    const std::string scrambled = vault::encryption_pass(vault_bench::plain_vault(100000));
    Stick plain(scrambled, false), sealed(scrambled, true);

    const double derivation = median([] {
        std::string key;
        return timed([&] { vault_test::test_seal_crypto().derive_key("password", "sixteen byte salt", 600000, key); });
    });
    auto load = [](Stick& stick) {
        return median([&] {
            vault::VaultContext ctx = stick.context();
            vault::LoadResult loaded;
            const double t = timed([&] { loaded = vault::load_vault(ctx); });
            if (loaded.status != vault::LoadStatus::Accepted) std::printf("load not accepted\n");
            return t;
        });
    };
    auto add = [](Stick& stick) {
        return median([&] {
            stick.reset();
            vault::VaultContext ctx = stick.context();
            return timed([&] { vault::add_record(ctx, {"n", "https://n.example", "u", "p", "p"}); });
        });
    };
    const double plain_load = load(plain), sealed_load = load(sealed);
    const double plain_add = add(plain), sealed_add = add(sealed);
    const double load_ratio = sealed_load / (plain_load + derivation);
    const double add_ratio = sealed_add / (plain_add + derivation);
    std::printf("100000 records, %.1f MB; one derivation of 600000 iterations %.0f ms\n", scrambled.size() / 1e6,
                derivation * 1e3);
    std::printf("load: scrambled %.0f ms, sealed %.0f ms: %.2fx scrambled + derivation (target 1.2x)\n",
                plain_load * 1e3, sealed_load * 1e3, load_ratio);
    std::printf("add:  scrambled %.0f ms, sealed %.0f ms: %.2fx scrambled + derivation (target 1.5x)\n",
                plain_add * 1e3, sealed_add * 1e3, add_ratio);
    return load_ratio <= 1.2 && add_ratio <= 1.5 ? 0 : 1;
}
