#include "allocation_limit.h"
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "vault/vault_store.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vault;
using namespace vault_test;

namespace {

std::string record_lines(const std::string& name, const std::string& stamp) {
    return "NAM:" + name + "\r\nURL:https://" + name + ".example\r\nUSE:user\r\nPAS:pw " + name + "\r\nIDN:" + stamp +
           "\r\n";
}

using Messages = std::vector<std::string>;

TEST(VaultPasses, TurnTheFileIntoEachFormInPlace) {
    VaultFixture f;
    const std::string plain = record_lines("a", "DESK-7") + "\r\n" + record_lines("b", "DESK-7");
    const std::string scrambled = encryption_pass(plain);
    f.put_vault(scrambled);
    EXPECT_EQ(process_decryption(f.ctx), PassOutcome::Written);
    EXPECT_EQ(f.vault(), plain);
    EXPECT_EQ(process_decryption(f.ctx), PassOutcome::Unchanged);
    EXPECT_EQ(process_encryption(f.ctx), PassOutcome::Written);
    EXPECT_EQ(f.vault(), scrambled);
    EXPECT_EQ(process_encryption(f.ctx), PassOutcome::Unchanged);
    EXPECT_EQ(f.vault(), scrambled);
    EXPECT_FALSE(f.work_file_left());
    EXPECT_TRUE(f.reporter.messages.empty());
}

TEST(VaultPasses, MissingVaultIsReportedAndNotCreated) {
    VaultFixture f;
    EXPECT_EQ(process_decryption(f.ctx), PassOutcome::Missing);
    EXPECT_EQ(process_encryption(f.ctx), PassOutcome::Missing);
    EXPECT_EQ(f.reporter.messages, Messages(2, std::string(kMissingMessage)));
    EXPECT_FALSE(file_exists(f.paths.vault_file));
}

// Each rewrite of the records keeps the vault as it was just before as the
// backup; nothing else touches it.
TEST(VaultBackup, IsTheVaultJustBeforeEachRewriteOfTheRecords) {
    // As a rewrite writes it, so that a rewrite of the same rows writes nothing.
    const std::string three =
        record_lines("one", "DESK-7") + record_lines("two", "DESK-7") + record_lines("three", "DESK-7");
    auto change = [](ChangeCommand command) {
        return [command](VaultContext& ctx) {
            RowList rows = rows_from_load(load_vault(ctx));
            rows.selected = 1;
            EXPECT_EQ(change_field(ctx, rows, command, [](auto&) { return InputAnswer{"new value"}; }),
                      ChangeOutcome::Saved);
        };
    };
    const struct {
        const char* what;
        bool plain; // the vault starts in plain text
        std::function<void(VaultContext&)> run;
        bool kept; // the backup is then the vault as it was
    } cases[] = {
        {"delete", false,
         [](VaultContext& ctx) {
             RowList rows = rows_from_load(load_vault(ctx));
             rows.selected = 1;
             EXPECT_EQ(delete_selected(ctx, rows), SaveOutcome::Saved);
         },
         true},
        {"rename", false, change(ChangeCommand::Name), true},
        {"URL", false, change(ChangeCommand::Url), true},
        {"user name", false, change(ChangeCommand::User), true},
        {"password", false, change(ChangeCommand::Password), true},
        {"delete from a vault edited by hand to plain text while open: the backup is scrambled", false,
         [&three](VaultContext& ctx) {
             RowList rows = rows_from_load(load_vault(ctx));
             write_bytes(ctx.paths.vault_file, three);
             rows.selected = 1;
             EXPECT_EQ(delete_selected(ctx, rows), SaveOutcome::Saved);
         },
         true},
        {"add: destroys nothing", false,
         [](VaultContext& ctx) {
             EXPECT_EQ(add_record(ctx, {"n", "u", "s", "p", "p"}), AddOutcome::Saved);
         },
         false},
        {"load", false, [](VaultContext& ctx) { load_vault(ctx); }, false},
        {"load that scrambles a plain vault", true, [](VaultContext& ctx) { load_vault(ctx); }, false},
        {"decryption pass", false, [](VaultContext& ctx) { process_decryption(ctx); }, false},
        {"encryption pass", true, [](VaultContext& ctx) { process_encryption(ctx); }, false},
        {"a rewrite that changes nothing", false,
         [](VaultContext& ctx) {
             RowList rows = rows_from_load(load_vault(ctx));
             EXPECT_EQ(delete_selected(ctx, rows), SaveOutcome::Saved);
         },
         false},
    };
    for (const auto& c : cases) {
        VaultFixture f;
        f.put_vault(c.plain ? three : encryption_pass(three));
        f.put_backup("the backup of an earlier rewrite");
        const std::string before = f.vault();
        c.run(f.ctx);
        if (c.kept) {
            EXPECT_NE(f.vault(), before) << c.what;
        }
        EXPECT_EQ(f.backup(), c.kept ? before : "the backup of an earlier rewrite") << c.what;
        EXPECT_FALSE(f.backup_work_file_left()) << c.what;
        EXPECT_TRUE(f.reporter.messages.empty()) << c.what;
    }

    // Undo: the deleted record is in the backup, not in the vault, and comes
    // back when the backup takes the vault's name.
    VaultFixture f;
    f.put_vault(encryption_pass(three));
    cases[0].run(f.ctx);
    EXPECT_EQ(f.vault(), encryption_pass(record_lines("one", "DESK-7") + record_lines("three", "DESK-7")));
    std::filesystem::rename(f.paths.backup_file, f.paths.vault_file);
    const LoadResult undone = load_vault(f.ctx);
    ASSERT_EQ(undone.status, LoadStatus::Accepted);
    ASSERT_EQ(undone.records.size(), 3u);
    EXPECT_EQ(undone.records.name(1), "two");
}

TEST(VaultLoad, OutcomesAndMessages) {
    const std::string mine = record_lines("first", "DESK-7");
    const std::string other = record_lines("other", "LAPTOP");
    const std::string no_stamp = "NAM:x\r\nURL:u\r\nUSE:s\r\nPAS:p\r\n";
    const std::string rejected(kRejectedMessage);
    struct Case {
        const char* what;
        std::optional<std::string> plain; // nullopt: no vault file
        LoadStatus status;
        std::size_t records;
        Messages messages;
    };
    const Case cases[] = {
        {"missing vault: the message twice", std::nullopt, LoadStatus::Missing, 0,
         Messages(2, std::string(kMissingMessage))},
        {"zero-length vault", "", LoadStatus::Rejected, 0, {rejected}},
        {"only empty lines", "\r\n\r\n", LoadStatus::Rejected, 0, {rejected}},
        {"first record from another computer", other + mine, LoadStatus::Rejected, 0, {rejected}},
        {"first record of this computer, later ones not", mine + other, LoadStatus::Accepted, 2, {}},
        {"first record without stamp", no_stamp + mine, LoadStatus::Rejected, 0, {rejected}},
        {"stamp compared case-sensitively", record_lines("a", "desk-7"), LoadStatus::Rejected, 0, {rejected}},
        {"stamp line with empty value", record_lines("a", ""), LoadStatus::Rejected, 0, {rejected}},
    };
    for (const auto& c : cases) {
        for (bool scrambled : {true, false}) {
            VaultFixture f;
            if (c.plain) f.put_vault(scrambled ? encryption_pass(*c.plain) : *c.plain);
            const LoadResult result = load_vault(f.ctx);
            EXPECT_EQ(result.status, c.status) << c.what;
            EXPECT_EQ(result.records.size(), c.records) << c.what;
            EXPECT_EQ(f.reporter.messages, c.messages) << c.what;
            if (c.status == LoadStatus::Rejected) {
                EXPECT_EQ(f.reporter.rejected_before_message, 0u) << c.what;
            }
            // The vault is left scrambled, and a missing one is not created.
            EXPECT_EQ(file_exists(f.paths.vault_file), c.plain.has_value()) << c.what;
            if (c.plain) {
                EXPECT_EQ(f.vault(), encryption_pass(*c.plain)) << c.what;
            }
            EXPECT_FALSE(f.work_file_left()) << c.what;
        }
    }
}

TEST(VaultLoad, AVaultTooLargeForMemoryIsReportedAndLeftAsItWas) {
    // Crafted vaults of empty records, six bytes each in the file, where the
    // memory runs out: for the records, or already for the file's bytes.
    constexpr std::size_t kLimit = 16 << 20;
    struct Case {
        const char* what;
        std::size_t records;
    };
    const Case cases[] = {
        {"the records do not fit", 500000},
        {"the file itself does not fit", kLimit / 6 + 1000},
    };
    std::string one_empty = encryption_pass("NAM:\r\n");
    for (const auto& c : cases) {
        VaultFixture f;
        std::string crafted;
        crafted.reserve(c.records * one_empty.size());
        for (std::size_t i = 0; i < c.records; ++i) crafted += one_empty;
        f.put_vault(crafted);
        LoadResult result;
        {
            AllocationLimit limit(kLimit);
            result = load_vault(f.ctx);
        }
        EXPECT_EQ(result.status, LoadStatus::TooLarge) << c.what;
        EXPECT_TRUE(result.records.empty()) << c.what;
        EXPECT_EQ(f.reporter.messages, Messages{std::string(kTooLargeMessage)}) << c.what;
        EXPECT_EQ(f.vault(), crafted) << c.what;
        EXPECT_FALSE(f.work_file_left()) << c.what;

        // The program goes on: the next load of a vault that fits opens it.
        f.reporter.messages.clear();
        f.put_vault(encryption_pass(record_lines("first", "DESK-7")));
        EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Accepted) << c.what;
        EXPECT_TRUE(f.reporter.messages.empty()) << c.what;
    }
}

TEST(VaultLoad, GivesTheRecordsInFileOrderAndKeepsTheFileUntouched) {
    VaultFixture f;
    const std::string plain =
        record_lines("zeta", "DESK-7") + "\r\n" + record_lines("alpha", "ELSEWHERE") + "URL:extra one\r\n";
    f.put_vault(encryption_pass(plain));
    const auto before = std::filesystem::last_write_time(f.paths.vault_file);
    const LoadResult result = load_vault(f.ctx);
    ASSERT_EQ(result.status, LoadStatus::Accepted);
    ASSERT_EQ(result.records.size(), 2u);
    EXPECT_EQ(result.records.record(0), (Record{"zeta", "https://zeta.example", "user", "pw zeta", "DESK-7"}));
    EXPECT_EQ(result.records.value(1, Field::Stamp), "ELSEWHERE");
    EXPECT_EQ(result.records.record(1).extra, std::vector<std::string>{"extra one"});
    EXPECT_EQ(*result.content, encryption_pass(plain));
    EXPECT_EQ(std::filesystem::last_write_time(f.paths.vault_file), before) << "a scrambled vault is not rewritten";
}

TEST(VaultLoad, AComputerNameWithScrambledBlockBytesStillMatchesItsOwnRecords) {
    // The name comes back from the file with such bytes turned into letters.
    VaultFixture f(disk_files(), "PC-\xE9t\xE9");
    f.put_vault(encryption_pass(record_lines("a", "PC-\xE9t\xE9")));
    EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Accepted);
}

TEST(VaultLoad, PumpsEventsOnATimeBudgetNotPerLine) {
    std::string plain;
    for (int i = 0; i < 3000; ++i) plain += record_lines("r" + std::to_string(i), "DESK-7");
    VaultFixture eager, lazy;
    eager.put_vault(encryption_pass(plain));
    lazy.put_vault(encryption_pass(plain));
    EXPECT_EQ(load_vault(eager.ctx, LoadOptions{std::chrono::milliseconds(0)}).records.size(), 3000u);
    EXPECT_GE(eager.reporter.pumps, 15000 / 256);
    EXPECT_EQ(load_vault(lazy.ctx, LoadOptions{std::chrono::hours(1)}).records.size(), 3000u);
    EXPECT_EQ(lazy.reporter.pumps, 1) << "once before the reading, for the events that waited";
}

TEST(VaultLoad, ALoadNoLongerWantedStopsWithoutAWordAndLeavesTheVaultScrambled) {
    std::string plain;
    for (int i = 0; i < 3000; ++i) plain += record_lines("r" + std::to_string(i), "DESK-7");
    for (int stop_at : {1, 5}) { // before the first line, and halfway
        VaultFixture f;
        f.put_vault(plain);
        f.reporter.stop_at_pump = stop_at;
        const LoadResult loaded = load_vault(f.ctx, LoadOptions{std::chrono::milliseconds(0)});
        EXPECT_EQ(loaded.status, LoadStatus::Abandoned) << stop_at;
        EXPECT_TRUE(loaded.records.empty());
        EXPECT_EQ(f.reporter.pumps, stop_at) << "no pumping after the answer";
        EXPECT_TRUE(f.reporter.messages.empty());
        EXPECT_EQ(f.vault(), encryption_pass(plain)) << "scrambled before the reading began";
    }
}

TEST(VaultLoad, AFolderInPlaceOfTheVaultIsReportedOnceAndLeftAlone) {
    VaultFixture f;
    std::filesystem::create_directory(f.paths.vault_file);
    EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Unreadable);
    EXPECT_EQ(process_decryption(f.ctx), PassOutcome::Unreadable);
    EXPECT_EQ(f.reporter.messages, Messages(2, std::string(kUnreadableMessage)));
    EXPECT_TRUE(std::filesystem::is_directory(f.paths.vault_file));
    EXPECT_FALSE(f.work_file_left());
}

} // namespace
