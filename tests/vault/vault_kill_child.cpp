// The child of the kill test: adds records and rewrites the vault in a loop
// until it is killed. vault_kill_child FOLDER SEED
#include "kill_child.h"
#include "vault/record_ops.h"
#include "vault_test_support.h"

#include <cstdio>
#include <random>

namespace {

class QuietReporter final : public vault::Reporter {
public:
    void show_message(std::string_view text) override { std::fprintf(stderr, "%.*s\n", int(text.size()), text.data()); }
    bool pump_events() override { return true; }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    QuietReporter reporter;
    vault::VaultContext ctx{vault::vault_paths_in_folder(argv[1]), vault_test::kKillComputer, vault::disk_files(),
                            reporter};
    std::mt19937 random(static_cast<unsigned>(std::stoul(argv[2])));
    constexpr std::size_t kMostRecords = 400;
    bool told_ready = false;
    for (unsigned version = 1;; ++version) {
        vault::LoadResult loaded = vault::load_vault(ctx);
        if (loaded.status != vault::LoadStatus::Accepted) return 3;
        const std::size_t count = loaded.records.size();
        if (!told_ready) {
            std::fputc('r', stdout); // the parent starts its clock now
            std::fflush(stdout);
            told_ready = true;
        }
        if (count < kMostRecords && random() % 2 == 0) {
            const vault::Record r = vault_test::kill_record(count, version);
            if (vault::add_record(ctx, {r.name, r.url, r.user, r.password, r.password}) != vault::AddOutcome::Saved) {
                return 4;
            }
        } else {
            vault::RowList rows = vault::rows_from_load(std::move(loaded));
            const std::size_t i = random() % count;
            rows.selected = i;
            const std::string password = vault_test::kill_record(i, version).password;
            auto box = [&](const vault::InputRequest&) { return vault::InputAnswer{password}; };
            if (vault::change_field(ctx, rows, vault::ChangeCommand::Password, box) != vault::ChangeOutcome::Saved) {
                return 5;
            }
        }
    }
}
