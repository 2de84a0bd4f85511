// A sealed vault tells someone without the entry password nothing of its
// records, opens wherever the vault is read, keeps its seal through every
// save and a change of the entry password, and refuses every altered form of
// itself without changing a file.
#include "vault/record_ops.h"
#include "vault/cipher.h"
#include "vault/seal_ops.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace vault;
using namespace vault_test;

namespace {

const std::string kPassword = "correct horse";
const std::string kRecords = "NAM:bank\r\nURL:https://bank.example\r\nUSE:alice\r\nPAS:s3cret!\r\nIDN:DESK-7\r\n"
                             "NAM:mail\r\nURL:https://mail.example\r\nUSE:alice.m\r\nPAS:hunter2\r\nIDN:DESK-7\r\n";
const std::string kOlderRecords = "NAM:forum\r\nURL:https://forum.example\r\nUSE:al\r\nPAS:old-pw\r\nIDN:DESK-7\r\n";
const std::string kTexts[] = {"bank", "bank.example", "alice", "s3cret!", "mail", "hunter2", "forum", "old-pw"};

std::map<std::string, std::string> folder_files(const VaultFixture& f) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(f.folder.path()))
        files[entry.path().filename().string()] = read_bytes(entry.path().string());
    return files;
}

// A vault and its backup sealed at the entry.
void put_sealed(VaultFixture& f) {
    f.put_vault(encryption_pass(kRecords));
    f.put_backup(encryption_pass(kOlderRecords));
    use_seal(f.ctx, kPassword, SealWish::Seal);
    ASSERT_TRUE(settle_seal(f.ctx));
    f.ctx.seal_wish = SealWish::Keep;
}

TEST(SealedVault, HidesEveryRecordYetOpensAsTheVaultDoes) {
    VaultFixture f;
    put_sealed(f);
    const auto files = folder_files(f);
    ASSERT_EQ(files.size(), 2u); // the vault and its backup, nothing left beside them
    for (const auto& [name, bytes] : files) {
        EXPECT_TRUE(is_sealed(bytes)) << name;
        // An older Quillock reads no records, and its whole-file passes change nothing for good.
        EXPECT_TRUE(parse_records(bytes).empty()) << name;
        EXPECT_EQ(scrambled_form(bytes), bytes) << name;
        for (const std::string& text : kTexts) {
            EXPECT_EQ(bytes.find(text), std::string::npos) << name << ": " << text;
            EXPECT_EQ(bytes.find(encrypt_text(text)), std::string::npos) << name << ": " << text;
        }
    }
    EXPECT_EQ(records_in(f.backup(), kPassword), encryption_pass(kOlderRecords));
    // Plain after an older version's decryption pass: it still opens.
    f.put_vault(decryption_pass(f.vault()));
    LoadResult loaded = load_vault(f.ctx);
    ASSERT_EQ(loaded.status, LoadStatus::Accepted);
    EXPECT_EQ(loaded.records.records(), parse_records(kRecords));
    EXPECT_TRUE(f.reporter.messages.empty());
}

TEST(SealedVault, EverySaveKeepsTheSealAndTheBackupIsThePreviousSealedFile) {
    VaultFixture f;
    put_sealed(f);
    // Records an older Quillock appended after the sealed lines are kept, and sealed by the next save.
    f.put_vault(f.vault() + encryption_pass("NAM:late\r\nURL:https://late.example\r\nUSE:bo\r\nPAS:pw3\r\n"));
    EXPECT_EQ(add_record(f.ctx, {"n", "u", "s", "p", "p"}), AddOutcome::Saved);
    EXPECT_TRUE(parse_records(f.vault()).empty());
    ASSERT_EQ(parse_records(records_in(f.vault(), kPassword)).size(), 4u);
    const std::string before_delete = f.vault();
    RowList rows = rows_from_load(load_vault(f.ctx));
    rows.selected = 0;
    ASSERT_EQ(delete_selected(f.ctx, rows), SaveOutcome::Saved);
    EXPECT_EQ(f.backup(), before_delete);
    EXPECT_EQ(parse_records(records_in(f.vault(), kPassword)).size(), 3u);
    EXPECT_EQ(process_decryption(f.ctx), PassOutcome::Unchanged);
    EXPECT_TRUE(f.reporter.messages.empty());

    f.ctx.seal_wish = SealWish::Unseal;
    ASSERT_TRUE(settle_seal(f.ctx));
    EXPECT_EQ(f.vault(), records_in(f.vault(), kPassword));
    EXPECT_EQ(f.backup(), scrambled_form(records_in(before_delete, kPassword)));
}

TEST(SealedVault, APasswordChangeRewrapsTheKeyAndEachStepOpens) {
    VaultFixture f;
    put_sealed(f);
    const std::string records = records_in(f.vault(), kPassword);
    ASSERT_TRUE(wrap_for_new_password(f.ctx, "new password"));
    for (const std::string& file : {f.vault(), f.backup()}) {
        EXPECT_NE(records_in(file, kPassword), "(does not open)");
        EXPECT_NE(records_in(file, "new password"), "(does not open)");
    }
    // The stored password changed: the start keeps the wrapping it opens.
    use_seal(f.ctx, "new password");
    ASSERT_TRUE(settle_seal(f.ctx));
    for (const std::string& file : {f.vault(), f.backup()}) EXPECT_EQ(records_in(file, kPassword), "(does not open)");
    EXPECT_EQ(records_in(f.vault(), "new password"), records);
    EXPECT_TRUE(f.reporter.messages.empty());
}

// The file's plain lines changed by `change`, scrambled again.
std::string altered(const std::string& file, const std::function<void(std::string&)>& change) {
    std::string plain = decryption_pass(file);
    change(plain);
    return encryption_pass(plain);
}
// Another letter at `at` places after the first `word`.
std::function<void(std::string&)> flip_after(std::string word, std::size_t at) {
    return [=](std::string& plain) {
        char& c = plain[plain.find(word) + word.size() + at];
        c = c == 'A' ? 'B' : 'A';
    };
}
std::function<void(std::string&)> replace(std::string from, std::string to) {
    return [=](std::string& plain) { plain.replace(plain.find(from), from.size(), to); };
}

TEST(SealedVault, AnAlteredFileIsRefusedAndNothingChanges) {
    VaultFixture other;
    use_seal(other.ctx, "another password", SealWish::Seal);
    other.put_vault(encryption_pass(kRecords));
    ASSERT_TRUE(settle_seal(other.ctx));
    const std::string other_plain = decryption_pass(other.vault());
    const std::string other_wrapping = other_plain.substr(0, other_plain.find("DATA "));

    VaultFixture f;
    put_sealed(f);
    const std::string sealed = f.vault();
    const std::string plain = decryption_pass(sealed);
    const std::string count = " " + std::to_string(kTestIterations) + " ";
    const struct {
        const char* what;
        std::string file;
        std::string_view message;
    } cases[] = {
        {"cut in half", sealed.substr(0, sealed.size() / 2), kSealedDamagedMessage},
        {"its last byte cut", sealed.substr(0, sealed.size() - 1), kSealedDamagedMessage},
        {"its records' line cut", sealed.substr(0, plain.find("DATA ")), kSealedDamagedMessage},
        {"extended by a byte", sealed + "x", kSealedDamagedMessage},
        {"extended by a line", sealed + encryption_pass("QUJD\r\n"), kSealedDamagedMessage},
        {"a letter of the records changed", altered(sealed, flip_after("DATA ", 40)), kSealedDamagedMessage},
        {"a letter of the records' nonce changed", altered(sealed, flip_after("DATA ", 2)), kSealedDamagedMessage},
        {"a letter of the salt changed", altered(sealed, flip_after(count, 2)), kSealedLockedMessage},
        {"a letter of the wrapped key changed", altered(sealed, flip_after(count, 60)), kSealedLockedMessage},
        {"the count changed", altered(sealed, replace(count, " 1001 ")), kSealedLockedMessage},
        {"line ends of LF alone", altered(sealed, [](std::string& p) { std::erase(p, '\r'); }), kSealedDamagedMessage},
        {"another vault's wrapping",
         altered(sealed, [&](std::string& p) { p.replace(0, p.find("DATA "), other_wrapping); }), kSealedLockedMessage},
        {"an absurd count", altered(sealed, replace(count, " 4294967295 ")), kSealedDamagedMessage},
        {"a count beyond any number", altered(sealed, replace(count, " 99999999999999 ")), kSealedDamagedMessage},
        {"a count of one", altered(sealed, replace(count, " 1 ")), kSealedDamagedMessage},
        {"three wrappings",
         altered(sealed,
                 [](std::string& p) {
                     const std::size_t wrap = p.find("WRAP"), line = p.find("\r\n", wrap) + 2 - wrap;
                     p.insert(wrap, p.substr(wrap, line) + p.substr(wrap, line));
                 }),
         kSealedDamagedMessage},
    };
    for (const auto& c : cases) {
        f.put_vault(c.file);
        const auto before = folder_files(f);
        f.reporter.messages.clear();
        EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Unreadable) << c.what;
        EXPECT_EQ(add_record(f.ctx, {"n", "u", "s", "p", "p"}), AddOutcome::SaveFailed) << c.what;
        EXPECT_FALSE(settle_seal(f.ctx)) << c.what;
        EXPECT_EQ(f.reporter.messages, std::vector<std::string>(3, std::string(c.message))) << c.what;
        EXPECT_EQ(folder_files(f), before) << c.what;
    }
    // The stored password of another account or computer opens nothing either.
    f.put_vault(sealed);
    use_seal(f.ctx, "not the password");
    f.reporter.messages.clear();
    EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Unreadable);
    EXPECT_EQ(f.reporter.messages, std::vector<std::string>{std::string(kSealedLockedMessage)});
    EXPECT_EQ(f.vault(), sealed);
}

} // namespace
