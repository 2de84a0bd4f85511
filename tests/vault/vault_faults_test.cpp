// Every write that fails, at any byte, leaves the last good vault and its
// backup as they were, removes the work files and tells the user; a power
// cut inside a replace loses nothing; a backup that cannot be kept costs not
// the save, and an older one never passes for it.
#include "vault/record_ops.h"
#include "vault/seal_ops.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>

using namespace vault;
using namespace vault_test;

namespace {

// What stands in for the backup of an earlier rewrite.
const std::string kPreviousBackup = "the backup of an earlier rewrite";

// Records stamped here, and a last one without password or stamp, as a
// rewrite writes them.
std::string plain_vault(int records) {
    std::string plain;
    for (int i = 0; i < records; ++i) {
        const auto n = std::to_string(i);
        plain += "NAM:site " + n + "\r\nURL:https://s" + n + ".example\r\nUSE:user" + n + "\r\nPAS:pw:" + n +
                 "\r\nIDN:DESK-7\r\n";
    }
    return plain + "NAM:last\r\nURL:https://last.example\r\nUSE:me\r\n";
}

std::string sample_vault(int records) { return encryption_pass(plain_vault(records - 1)); }

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

// The real disk, one numbered call at a time: the power goes at call
// `cut_at` as `cut` says, or call `fail_at` fails once and changes nothing.
// It records the kind of each call, and whether a start put a work file over
// a readable vault.
class SteppedFiles final : public FileSystem {
public:
    enum class Kind { Read, Write, Replace, Rename, Presence, Remove, Folder };
    // FailAfterDelete is no cut: FAT's replace fails between its delete and
    // its rename (an I/O error), and the run goes on.
    enum class Cut { Before, WriteStart, WriteMiddle, WriteEnd, AfterDelete, FailAfterDelete };

    ReadResult read_file(const std::string& path) override {
        return begin(Kind::Read) ? ReadResult{ReadStatus::Unreadable, {}} : real().read_file(path);
    }
    bool write_durable(const std::string& path, std::string_view data) override {
        if (begin(Kind::Write)) return false;
        if (cutting()) {
            // What reached the disk before the power went.
            write_bytes(path, std::string(data.substr(0, cut == Cut::WriteStart    ? 0
                                                         : cut == Cut::WriteMiddle ? data.size() / 2
                                                                                   : data.size())));
            throw PowerCut{};
        }
        return real().write_durable(path, data);
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        if (begin(Kind::Replace)) return false;
        note_vault_replace(to);
        if (cutting()) { // as on FAT: the delete done, not the rename
            std::error_code ignored;
            std::filesystem::remove(to, ignored);
            if (cut == Cut::FailAfterDelete) return false;
            throw PowerCut{};
        }
        return real().replace_file(from, to);
    }
    bool rename_file(const std::string& from, const std::string& to) override {
        if (begin(Kind::Rename)) return false;
        note_vault_replace(to);
        return real().rename_file(from, to);
    }
    ReadStatus presence(const std::string& path) override {
        return begin(Kind::Presence) ? ReadStatus::Unreadable : real().presence(path);
    }
    bool remove_file(const std::string& path) override { return !begin(Kind::Remove) && real().remove_file(path); }
    bool remove_leftover(const std::string& path) override {
        return !begin(Kind::Remove) && real().remove_leftover(path);
    }
    bool create_folder(const std::string& path) override { return !begin(Kind::Folder) && real().create_folder(path); }

    // Ready for a new run: counting from 0, with the given fault (if any).
    void arm(std::optional<int> cut_call = {}, Cut how = Cut::Before, std::optional<int> fail_call = {}) {
        calls = 0;
        kinds.clear();
        cut_at = cut_call;
        cut = how;
        fail_at = fail_call;
    }

    std::vector<Kind> kinds;
    std::string watched_vault; // while set, a work file put over it readable is noted
    bool replaced_readable_vault = false;

private:
    // True when this call is to fail.
    bool begin(Kind kind) {
        kinds.push_back(kind);
        const int n = calls++;
        if (cut_at == n && cut == Cut::Before) throw PowerCut{};
        return fail_at == n;
    }
    bool cutting() const { return cut_at == calls - 1; }
    void note_vault_replace(const std::string& to) {
        if (to == watched_vault && real().presence(to) == ReadStatus::Ok) replaced_readable_vault = true;
    }
    static FileSystem& real() { return disk_files(); }

    int calls = 0;
    std::optional<int> cut_at, fail_at;
    Cut cut = Cut::Before;
};

// The ways the power can go at a call of that kind; a read changes nothing.
std::vector<SteppedFiles::Cut> cuts_for(SteppedFiles::Kind kind) {
    using Cut = SteppedFiles::Cut;
    switch (kind) {
    case SteppedFiles::Kind::Write: return {Cut::Before, Cut::WriteStart, Cut::WriteMiddle, Cut::WriteEnd};
    case SteppedFiles::Kind::Replace: return {Cut::Before, Cut::AfterDelete, Cut::FailAfterDelete};
    case SteppedFiles::Kind::Read:
    case SteppedFiles::Kind::Presence: return {};
    default: return {Cut::Before};
    }
}

// One fault in a run of calls: none, a cut, or one call failing.
struct Fault {
    std::optional<int> cut_at;
    SteppedFiles::Cut cut = SteppedFiles::Cut::Before;
    std::optional<int> fail_at;
};

// Every fault a run with these calls can meet.
std::vector<Fault> faults_of(const std::vector<SteppedFiles::Kind>& kinds) {
    std::vector<Fault> faults{Fault{}};
    for (int call = 0; call < static_cast<int>(kinds.size()); ++call) {
        for (SteppedFiles::Cut cut : cuts_for(kinds[call])) faults.push_back({call, cut, {}});
        faults.push_back({{}, SteppedFiles::Cut::Before, call});
    }
    return faults;
}

using Folder = std::map<std::string, std::string>;

Folder snapshot(const VaultFixture& f) {
    Folder files;
    for (const auto& entry : std::filesystem::directory_iterator(f.folder.path()))
        files[entry.path().filename().string()] = read_bytes(entry.path().string());
    return files;
}

void restore(const VaultFixture& f, const Folder& files) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(f.folder.path())) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(entry.path(), ignored);
    }
    for (const auto& [name, data] : files) write_bytes((f.folder.path() / name).string(), data);
}

// A start of the program on `disk`, as the entry password's check runs it;
// false when the power went meanwhile.
bool start(VaultFixture& f, SteppedFiles& disk, const Fault& fault) {
    f.notices = {};
    f.reporter.messages.clear();
    disk.arm(fault.cut_at, fault.cut, fault.fail_at);
    disk.watched_vault = f.paths.vault_file;
    try {
        open_vault_at_start(f.ctx);
    } catch (const PowerCut&) {
        disk.watched_vault.clear();
        return false;
    }
    disk.watched_vault.clear();
    return true;
}

// The entry passwords of the sealed rows: the stored one, and the one a change puts in its place.
const std::string kSealedUnder = "old entry", kSealedNext = "new entry";

// A vault and its backup as the entry seals them, with the second wrapping
// of a password change when `both_passwords`.
std::pair<std::string, std::string> sealed_pair(const std::string& vault, const std::string& backup,
                                                bool both_passwords) {
    VaultFixture f;
    f.put_vault(vault);
    f.put_backup(backup);
    use_seal(f.ctx, kSealedUnder, SealWish::Seal);
    EXPECT_TRUE(settle_seal(f.ctx));
    if (both_passwords) EXPECT_TRUE(wrap_for_new_password(f.ctx, kSealedNext));
    return {f.vault(), f.backup()};
}

// A sealed file's records under either entry password; a scrambled file's records.
std::string records_only(const std::string& file) {
    if (!is_sealed(file)) return scrambled_form(file);
    const std::string records = records_in(file, kSealedUnder);
    return records == "(does not open)" ? records_in(file, kSealedNext) : records;
}

// A file as its owner tells it apart: a sealed one by its records and number
// of wrappings, a scrambled one byte for byte.
std::string held_records(const std::string& file) {
    if (!is_sealed(file)) return file;
    const std::string plain = decryption_pass(file);
    std::size_t wrappings = 0;
    for (std::size_t at = plain.find("\r\nWRAP "); at != std::string::npos; at = plain.find("\r\nWRAP ", at + 1))
        ++wrappings;
    return "sealed, " + std::to_string(wrappings) + " wrappings: " + records_only(file);
}

// Every operation that writes the vault, cut at each of its calls (a write
// with none, half or all of its bytes on the disk; FAT's replace between its
// delete and its rename) or with each call failing once; then the next start
// with each of its own calls failing once, or cut and followed by a third
// start. Afterwards the vault is whole as it was before the operation or
// after it, the backup is the one that goes with it, no work file is left, no
// start put a work file over a readable vault, and a later add loses nothing.
// Sealing, unsealing and the password change's two steps among them: no file
// beside a sealed vault holds a readable record, and every vault opens.
TEST(VaultFaults, EveryCutAndEveryFailureOfASaveAndItsRecoveryLosesNothing) {
    using Kind = SteppedFiles::Kind;
    const std::string records_backup = encryption_pass(plain_vault(1));
    const auto [sealed_vault, sealed_backup] = sealed_pair(encryption_pass(plain_vault(3)), records_backup, false);
    const auto [rewrapped_vault, rewrapped_backup] = sealed_pair(encryption_pass(plain_vault(3)), records_backup, true);
    auto settle_under = [](const std::string& password, SealWish wish) {
        return [=](VaultContext& ctx) {
            use_seal(ctx, password, wish);
            settle_seal(ctx);
        };
    };
    auto rows_of = [](VaultContext& ctx) { return rows_from_load(load_vault(ctx)); };
    const struct {
        const char* name;
        std::optional<std::string> vault; // before the operation
        std::optional<std::string> backup;
        bool keeps_backup;
        std::function<void(VaultContext&)> run;
        bool sealed = false; // run natively only: under Wine every state's keys would go through CNG
    } ops[] = {
        {"add", encryption_pass(plain_vault(3)), kPreviousBackup, false,
         [](VaultContext& ctx) {
             add_record(ctx, {"n", "u", "s", "p", "p"});
         }},
        // Only lines appended: the new vault begins with the old one.
        {"change of a value the last record lacked", encryption_pass(plain_vault(3)), kPreviousBackup, true,
         [&](VaultContext& ctx) {
             RowList rows = rows_of(ctx);
             rows.selected = 3;
             change_field(ctx, rows, ChangeCommand::Password, [](auto&) { return InputAnswer{"new"}; });
         }},
        {"change", encryption_pass(plain_vault(3)), std::nullopt, true,
         [&](VaultContext& ctx) {
             RowList rows = rows_of(ctx);
             rows.selected = 1;
             change_field(ctx, rows, ChangeCommand::User, [](auto&) { return InputAnswer{"someone else"}; });
         }},
        {"delete", encryption_pass(plain_vault(3)), kPreviousBackup, true,
         [&](VaultContext& ctx) {
             RowList rows = rows_of(ctx);
             rows.selected = 1;
             delete_selected(ctx, rows);
         }},
        {"decryption pass", encryption_pass(plain_vault(3)), kPreviousBackup, false,
         [](VaultContext& ctx) { process_decryption(ctx); }},
        {"encryption pass", plain_vault(3), kPreviousBackup, false, [](VaultContext& ctx) { process_encryption(ctx); }},
        {"load of a plain vault", plain_vault(3), kPreviousBackup, false, [](VaultContext& ctx) { load_vault(ctx); }},
        {"add where the vault has gone", std::nullopt, kPreviousBackup, false,
         [](VaultContext& ctx) {
             add_record(ctx, {"n", "u", "s", "p", "p"});
         }},
        {"first start on an empty stick", std::nullopt, std::nullopt, false,
         [](VaultContext& ctx) { open_vault_at_start(ctx); }},
        {"sealing at the entry", encryption_pass(plain_vault(3)), records_backup, false,
         settle_under(kSealedUnder, SealWish::Seal), true},
        {"unsealing at the entry", sealed_vault, sealed_backup, false, settle_under(kSealedUnder, SealWish::Unseal),
         true},
        {"a password change's second wrapping", sealed_vault, sealed_backup, false,
         [](VaultContext& ctx) {
             use_seal(ctx, kSealedUnder);
             wrap_for_new_password(ctx, kSealedNext);
         },
         true},
        {"a password change's old wrapping dropped", rewrapped_vault, rewrapped_backup, false,
         settle_under(kSealedNext, SealWish::Keep), true},
    };
    int states = 0;
    for (const auto& op : ops) {
#ifdef _WIN32
        if (op.sealed) continue;
#endif
        SteppedFiles disk;
        VaultFixture f(disk);
        Folder before;
        if (op.vault) before["my_psswds.dat"] = *op.vault;
        if (op.backup) before["my_psswds.bak"] = *op.backup;
        const std::string vault_before = held_records(op.vault.value_or(""));
        restore(f, before);
        disk.arm();
        op.run(f.ctx);
        const std::vector<Kind> op_calls = disk.kinds;
        const std::string vault_after = held_records(f.vault());
        ASSERT_TRUE(vault_after != vault_before || !op.vault) << op.name;
        if (std::string_view(op.name).starts_with("change of")) {
            ASSERT_TRUE(f.vault().starts_with(*op.vault));
        }
        // The backup's records: sealing or unsealing changes its form alone.
        const auto backup_with = [&](const std::string& vault) -> std::optional<std::string> {
            if (op.keeps_backup && vault == vault_after) return records_only(*op.vault);
            return op.backup ? std::optional(records_only(*op.backup)) : std::nullopt;
        };

        for (const Fault& op_fault : faults_of(op_calls)) {
            restore(f, before);
            f.notices = {};
            f.reporter.messages.clear();
            disk.arm(op_fault.cut_at, op_fault.cut, op_fault.fail_at);
            try {
                op.run(f.ctx);
            } catch (const PowerCut&) {}
            const bool backup_not_kept = f.notices.backup_not_kept;
            const Folder left = snapshot(f);
            // A save that failed removes its files, unless a removal was what failed.
            if (op_fault.fail_at && op_calls[*op_fault.fail_at] != Kind::Remove) {
                ASSERT_EQ(std::ranges::count_if(
                              left, [](const auto& file) { return file.first.starts_with("my_passwords"); }),
                          0)
                    << op.name << ", call " << *op_fault.fail_at << " failing";
            }
            restore(f, left);
            start(f, disk, {});
            const std::vector<Kind> start_calls = disk.kinds;

            for (const Fault& start_fault : faults_of(start_calls)) {
                ++states;
                const std::string where =
                    std::string(op.name) + ", op call " +
                    std::to_string(op_fault.cut_at.value_or(op_fault.fail_at.value_or(-1))) +
                    (op_fault.fail_at ? " failing" : " cut") + ", start call " +
                    std::to_string(start_fault.cut_at.value_or(start_fault.fail_at.value_or(-1))) +
                    (start_fault.fail_at ? " failing" : " cut");
                restore(f, left);
                if (!start(f, disk, start_fault)) {
                    ASSERT_TRUE(start(f, disk, {})) << where;
                } else if (f.notices.interrupted_save) {
                    // Said once, and nothing is written in that run.
                    ASSERT_EQ(f.reporter.messages, std::vector<std::string>{std::string(kInterruptedSaveMessage)})
                        << where;
                    const Folder blocked = snapshot(f);
                    EXPECT_NE(add_record(f.ctx, {"n", "u", "s", "p", "p"}), AddOutcome::Saved) << where;
                    ASSERT_EQ(snapshot(f), blocked) << where;
                    ASSERT_TRUE(start(f, disk, {})) << where;
                }
                ASSERT_FALSE(f.notices.interrupted_save) << where;
                ASSERT_FALSE(disk.replaced_readable_vault) << where;

                // A start that could not create the empty vault leaves it to the first add.
                const bool has_vault = file_exists(f.paths.vault_file);
                ASSERT_TRUE(has_vault || !op.vault) << where;
                const std::string vault_file = f.vault();
                const std::string vault = held_records(vault_file);
                ASSERT_TRUE(vault == vault_before || vault == vault_after) << where;
                ASSERT_EQ(vault.find("(does not open)"), std::string::npos) << where;
                const auto backup =
                    file_exists(f.paths.backup_file) ? std::optional(records_only(f.backup())) : std::nullopt;
                // A backup that could not be kept is gone, or the user heard so.
                if (backup != backup_with(vault)) {
                    ASSERT_TRUE(vault == vault_after && op.keeps_backup) << where;
                    ASSERT_TRUE(!backup || backup_not_kept) << where;
                }
                // A draft that a failed removal left is overwritten by the next save.
                Folder now = snapshot(f);
                // Unsealing's own draft, which a failed removal left, holds what the user asked for.
                const bool unsealing = std::string_view(op.name).starts_with("unsealing");
                for (const auto& [name, bytes] : now) {
                    if (unsealing && name.ends_with(".new")) continue;
                    ASSERT_TRUE(!is_sealed(f.vault()) || is_sealed(bytes) || parse_records(bytes).empty())
                        << where << ": " << name << " is readable beside the sealed vault";
                }
                std::erase_if(now, [](const auto& file) { return file.first.ends_with(".new"); });
                ASSERT_EQ(now.size(), has_vault + backup.has_value()) << where << ": a work file is left";

                // A later add keeps every record.
                f.reporter.messages.clear();
                ASSERT_EQ(add_record(f.ctx, {"later", "u", "s", "p", "p"}), AddOutcome::Saved) << where;
                const std::vector<Record> records = parse_records(records_only(f.vault()));
                const std::vector<Record> before_add = parse_records(records_only(vault_file));
                ASSERT_EQ(records.size(), before_add.size() + 1) << where;
                ASSERT_EQ(std::vector<Record>(records.begin(), records.end() - 1), before_add) << where;
            }
        }
    }
    std::printf("%d states tried: every operation that writes the vault, cut or failing at each call, then each "
                "start failing or cut at each of its calls\n",
                states);
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
            disk.only = c.fail_after ? f.paths.backup_work_draft : f.paths.backup_work_file;
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
