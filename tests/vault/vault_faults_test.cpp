// Every write that fails, at any byte, leaves the last good vault and its
// backup as they were, removes the work files and tells the user; a power
// cut inside a replace loses nothing; a backup that cannot be kept costs not
// the save, and an older one never passes for it.
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

using namespace vault;
using namespace vault_test;

namespace {

// What stands in for the backup of an earlier rewrite.
const std::string kPreviousBackup = "the backup of an earlier rewrite";

std::string sample_vault(int records) {
    std::string plain;
    for (int i = 0; i < records; ++i) {
        const auto n = std::to_string(i);
        plain += "NAM:site " + n + "\r\nURL:https://s" + n + ".example\r\nUSE:user" + n + "\r\nPAS:pw:" + n +
                 "\r\nIDN:DESK-7\r\n\r\n";
    }
    return encryption_pass(plain);
}

struct Operation {
    const char* name;
    // Runs the operation; true when it reported success.
    std::function<bool(VaultContext&)> run;
};

const Operation kOperations[] = {
    {"add",
     [](VaultContext& ctx) {
         return add_record(ctx, {"n", "u", "s", "p", "p"}) == AddOutcome::Saved;
     }},
    {"change",
     [](VaultContext& ctx) {
         RowList rows = rows_from_load(load_vault(ctx));
         rows.selected = 2;
         const auto before = rows.rows;
         const auto outcome =
             change_field(ctx, rows, ChangeCommand::User, [](auto&) { return InputAnswer{"someone else"}; });
         // A failed save leaves the list as the file is.
         if (outcome != ChangeOutcome::Saved) {
             EXPECT_EQ(rows.rows, before);
         }
         return outcome == ChangeOutcome::Saved;
     }},
    {"delete",
     [](VaultContext& ctx) {
         RowList rows = rows_from_load(load_vault(ctx));
         rows.selected = 0;
         const auto before = rows.rows;
         const bool saved = delete_selected(ctx, rows) == SaveOutcome::Saved;
         if (!saved) {
             EXPECT_EQ(rows.rows, before);
         }
         return saved;
     }},
    {"decryption pass", [](VaultContext& ctx) { return process_decryption(ctx) == PassOutcome::Written; }},
};

TEST(VaultFaults, AWriteFailingAfterAnyByteLeavesTheOldVault) {
    const std::string original = sample_vault(4);
    for (const Operation& op : kOperations) {
        FaultyFiles disk;
        VaultFixture f(disk);
        f.put_vault(original);
        f.put_backup(kPreviousBackup);
        // The size of what the operation writes, from a run that succeeds.
        ASSERT_TRUE(op.run(f.ctx)) << op.name;
        const std::size_t size = f.vault().size();
        for (std::size_t n = 0; n < size; ++n) {
            f.put_vault(original);
            f.put_backup(kPreviousBackup);
            f.reporter.messages.clear();
            disk.fail_after = n;
            EXPECT_FALSE(op.run(f.ctx)) << op.name << " failing after " << n;
            disk.fail_after.reset();
            ASSERT_EQ(f.vault(), original) << op.name << " failing after " << n;
            ASSERT_FALSE(f.work_file_left()) << op.name << " failing after " << n;
            ASSERT_EQ(f.backup(), kPreviousBackup) << op.name << " failing after " << n;
            ASSERT_FALSE(f.backup_work_file_left()) << op.name << " failing after " << n;
            ASSERT_FALSE(f.reporter.messages.empty());
            EXPECT_EQ(f.reporter.messages.back(), kSaveFailedMessage) << op.name;
        }
    }
}

TEST(VaultFaults, AFailedReplaceLeavesTheOldVault) {
    const std::string original = sample_vault(4);
    for (const Operation& op : kOperations) {
        FaultyFiles disk;
        disk.fail_replace = true;
        VaultFixture f(disk);
        f.put_vault(original);
        f.put_backup(kPreviousBackup);
        EXPECT_FALSE(op.run(f.ctx)) << op.name;
        EXPECT_EQ(f.vault(), original) << op.name;
        EXPECT_FALSE(f.work_file_left()) << op.name;
        EXPECT_EQ(f.backup(), kPreviousBackup) << op.name;
        EXPECT_FALSE(f.backup_work_file_left()) << op.name;
        EXPECT_EQ(f.reporter.messages.back(), kSaveFailedMessage) << op.name;
    }
}

TEST(VaultFaults, AReadOnlyVaultIsNotReplaced) {
    const std::string original = sample_vault(4);
    for (const Operation& op : kOperations) {
        VaultFixture f;
        f.put_vault(original);
        f.put_backup(kPreviousBackup);
        std::filesystem::permissions(f.paths.vault_file, std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read |
                                                             std::filesystem::perms::others_read);
        EXPECT_FALSE(op.run(f.ctx)) << op.name;
        EXPECT_EQ(f.vault(), original) << op.name;
        EXPECT_FALSE(f.work_file_left()) << op.name;
        EXPECT_EQ(f.backup(), kPreviousBackup) << op.name;
        EXPECT_FALSE(f.backup_work_file_left()) << op.name;
        EXPECT_EQ(f.reporter.messages.back(), kSaveFailedMessage) << op.name;
    }
}

TEST(VaultFaults, APowerCutInsideAReplaceIsFinishedAtTheNextStart) {
    using Cut = FaultyFiles::Cut;
    const std::string original = sample_vault(4);
    for (const Operation& op : kOperations) {
        const bool keeps_backup = std::string_view(op.name) == "change" || std::string_view(op.name) == "delete";
        // After the vault's delete (as on FAT); before the backup's replace, and after its delete.
        for (const auto& [in_backup, cut] : {std::pair{false, Cut::AfterDelete}, std::pair{true, Cut::BeforeReplace},
                                             std::pair{true, Cut::AfterDelete}}) {
            if (in_backup && !keeps_backup) continue;
            FaultyFiles disk;
            VaultFixture f(disk);
            f.put_vault(original);
            ASSERT_TRUE(op.run(f.ctx)) << op.name;
            const std::string saved = f.vault();
            f.put_vault(original);
            f.put_backup(kPreviousBackup);
            disk.only = in_backup ? f.paths.backup_work_file : f.paths.work_file;
            disk.cut = cut;
            EXPECT_THROW(op.run(f.ctx), PowerCut);
            finish_interrupted_save(f.paths, disk_files());
            const std::string where = op.name + std::string(in_backup ? ", backup " : ", vault ") +
                                      (cut == Cut::AfterDelete ? "after its delete" : "before its replace");
            EXPECT_EQ(f.vault(), saved) << where;
            EXPECT_EQ(f.backup(), keeps_backup ? original : kPreviousBackup) << where;
            EXPECT_FALSE(f.work_file_left() || f.backup_work_file_left()) << where;
        }
    }
}

TEST(VaultFaults, ABackupThatCannotBeKeptIsNeverTakenForTheLastOne) {
    const std::string original = sample_vault(4);
    enum class OldBackup { Removable, ReadOnly, Folder };
    const struct {
        const char* what;
        std::optional<std::size_t> fail_after; // the backup's write stops there (a full stick)
        bool fail_replace;
        OldBackup old_backup;
    } cases[] = {
        {"nothing written", 0, false, OldBackup::Removable},
        {"half written", original.size() / 2, false, OldBackup::Removable},
        {"all but the last byte", original.size() - 1, false, OldBackup::Removable},
        {"not put in place", std::nullopt, true, OldBackup::Removable},
        {"a read-only backup", std::nullopt, false, OldBackup::ReadOnly},
        {"a folder of that name", std::nullopt, false, OldBackup::Folder},
    };
    for (const Operation& op : kOperations) {
        if (std::string_view(op.name) != "change" && std::string_view(op.name) != "delete") continue;
        for (const auto& c : cases) {
            FaultyFiles disk;
            VaultFixture f(disk);
            f.put_vault(original);
            if (c.old_backup == OldBackup::Folder)
                std::filesystem::create_directory(f.paths.backup_file);
            else
                f.put_backup(kPreviousBackup);
            if (c.old_backup == OldBackup::ReadOnly)
                std::filesystem::permissions(f.paths.backup_file, std::filesystem::perms::owner_read);
            disk.only = f.paths.backup_work_file;
            disk.fail_after = c.fail_after;
            disk.fail_replace = c.fail_replace;
            const std::string where = op.name + std::string(", ") + c.what;
            EXPECT_TRUE(op.run(f.ctx)) << where;
            EXPECT_NE(f.vault(), original) << where;
            // The older backup goes; where it cannot, the user hears of it once in the run.
            const bool stays = c.old_backup != OldBackup::Removable;
            EXPECT_EQ(file_exists(f.paths.backup_file), stays) << where;
            EXPECT_FALSE(f.backup_work_file_left() || f.work_file_left()) << where;
            EXPECT_TRUE(op.run(f.ctx)) << where;
            EXPECT_EQ(f.reporter.messages, std::vector<std::string>(stays, std::string(kBackupNotKeptMessage)))
                << where;
        }
    }
}

TEST(VaultFaults, AReadOnlyLeftOverWorkFileIsReplaced) {
    VaultFixture f;
    f.put_vault(sample_vault(2));
    write_bytes(f.paths.work_file, "NAM:plain left-over\r\n");
    std::filesystem::permissions(f.paths.work_file, std::filesystem::perms::owner_read);
    ASSERT_EQ(add_record(f.ctx, {"n", "u", "s", "p", "p"}), AddOutcome::Saved);
    EXPECT_FALSE(f.work_file_left());
    EXPECT_EQ(load_vault(f.ctx).records.size(), 3u);
}

TEST(VaultFaults, AnUnreadableVaultIsNeitherWrittenNorLoopedOn) {
    for (const Operation& op : kOperations) {
        VaultFixture f;
        std::filesystem::create_directory(f.paths.vault_file);
        EXPECT_FALSE(op.run(f.ctx)) << op.name;
        EXPECT_TRUE(std::filesystem::is_directory(f.paths.vault_file)) << op.name;
        EXPECT_FALSE(f.work_file_left()) << op.name;
        ASSERT_FALSE(f.reporter.messages.empty()) << op.name;
        EXPECT_EQ(f.reporter.messages.back().rfind("ERROR: ", 0), 0u) << op.name;
    }
}

} // namespace
