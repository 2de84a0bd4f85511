// A child that adds records and rewrites the vault in a loop is killed at
// random moments. After every kill the vault loads, holds at least the
// records it held before, each whole, and lies on disk scrambled; so does
// its backup, which holds no more records than the vault.
// `vault_kill_test --kills=N` runs N kills instead of the suite's 200 (60
// under Wine, where each costs a process start of a third of a second: the
// enumeration of every cut shows the logic, the kills there Windows' own file
// layer under TerminateProcess).
#include "child_process.h"
#include "kill_child.h"
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

using namespace vault;
using namespace vault_test;

namespace {

#ifdef _WIN32
int g_kills = 60;
#else
int g_kills = 200;
#endif

bool holds_plain_text(std::string_view bytes) {
    return bytes.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789") != bytes.npos;
}

TEST(VaultKill, EveryKillLeavesAWholeVault) {
    VaultFixture f(disk_files(), kKillComputer);
    const Record first = kill_record(0, 0);
    ASSERT_EQ(add_record(f.ctx, {first.name, first.url, first.user, first.password, first.password}),
              AddOutcome::Saved);
    f.reporter.messages.clear();

    std::mt19937 random(20240611);
    std::size_t count = 1;
    int killed_while_running = 0;
    int kills_with_backup = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int kill = 0; kill < g_kills; ++kill) {
        {
            ChildProcess child("vault_kill_child", {f.str_folder(), std::to_string(random())});
            ASSERT_TRUE(child.wait_ready()) << "the child ended before its first operation, kill " << kill;
            std::this_thread::sleep_for(std::chrono::microseconds(random() % 30000));
            killed_while_running += child.kill();
        }
        const std::string on_disk = f.vault();
        // What the next start does first: a work file beside the vault is never taken.
        finish_interrupted_save(f.ctx);
        ASSERT_EQ(f.vault(), on_disk) << "a work file took the vault's place after kill " << kill;
        ASSERT_EQ(scrambled_form(on_disk), on_disk) << "plain text in the vault after kill " << kill;
        if (f.work_file_left()) {
            ASSERT_FALSE(holds_plain_text(read_bytes(f.paths.work_file))) << "plain work file after kill " << kill;
        }
        const LoadResult loaded = load_vault(f.ctx);
        ASSERT_EQ(loaded.status, LoadStatus::Accepted) << "kill " << kill;
        ASSERT_GE(loaded.records.size(), count) << "records lost at kill " << kill;
        for (std::size_t i = 0; i < loaded.records.size(); ++i) {
            ASSERT_TRUE(is_kill_record(loaded.records.record(i), i)) << "torn record " << i << " at kill " << kill;
        }
        ASSERT_TRUE(f.reporter.messages.empty()) << f.reporter.messages.front();
        count = loaded.records.size();

        if (f.backup_work_file_left()) {
            ASSERT_FALSE(holds_plain_text(read_bytes(f.paths.backup_work_file))) << "plain backup at kill " << kill;
        }
        if (!file_exists(f.paths.backup_file)) continue;
        ++kills_with_backup;
        const std::string backup = f.backup();
        ASSERT_EQ(scrambled_form(backup), backup) << "plain text in the backup after kill " << kill;
        VaultPaths backup_paths = f.paths;
        backup_paths.vault_file = backup_paths.backup_file;
        VaultContext backup_ctx{backup_paths, kKillComputer, disk_files(), f.reporter};
        const LoadResult backed_up = load_vault(backup_ctx);
        ASSERT_EQ(backed_up.status, LoadStatus::Accepted) << "backup at kill " << kill;
        ASSERT_LE(backed_up.records.size(), count) << "a backup newer than the vault at kill " << kill;
        for (std::size_t i = 0; i < backed_up.records.size(); ++i) {
            ASSERT_TRUE(is_kill_record(backed_up.records.record(i), i)) << "torn backup record at kill " << kill;
        }
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%d kills (%d mid-run, %d with a backup) in %.1f s; the vault ended with %zu records\n", g_kills,
                killed_while_running, kills_with_backup, seconds, count);
    EXPECT_GT(killed_while_running, g_kills / 2);
    EXPECT_GT(count, 1u);
    EXPECT_GT(kills_with_backup, 0);
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--kills=", 8) == 0) g_kills = std::atoi(argv[i] + 8);
    }
    return RUN_ALL_TESTS();
}
