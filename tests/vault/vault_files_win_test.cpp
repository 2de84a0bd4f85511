// The Windows disk behind the vault: the replace and the create wait out a
// short hold (as a virus scanner takes), give up after about a second on a
// long one, refuse a read-only vault as Windows does (Wine would not) and a
// folder at once, and replace leftover files whatever their attributes.
#include "vault/record_ops.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <thread>

using namespace vault;
using namespace vault_test;

namespace {

using Clock = std::chrono::steady_clock;

// Opens the file as another program would, keeping it from being replaced
// (no FILE_SHARE_DELETE) or, with `exclusive`, from being read.
HANDLE hold(const std::string& path, bool exclusive) {
    const DWORD share = exclusive ? 0 : FILE_SHARE_READ | FILE_SHARE_WRITE;
    return CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

double seconds_since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct WinFixture : VaultFixture {
    WinFixture() {
        put_vault(encryption_pass("NAM:a\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n"));
        write_bytes(paths.work_file, "new");
    }
};

TEST(WindowsFiles, ReplaceAndCreateWaitOutAShortHold) {
    for (const bool create : {false, true}) {
        WinFixture f;
        const std::string& target = create ? f.paths.work_file : f.paths.vault_file;
        HANDLE held = hold(target, false);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        std::thread release([held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            CloseHandle(held);
        });
        const auto start = Clock::now();
        const bool done =
            create ? disk_files().write_durable(target, "newer") : disk_files().replace_file(f.paths.work_file, target);
        const double waited = seconds_since(start);
        release.join();
        EXPECT_TRUE(done) << create;
        EXPECT_EQ(read_bytes(target), create ? "newer" : "new");
        EXPECT_GE(waited, 0.1) << "the hold did not block: the test proves nothing";
    }
}

TEST(WindowsFiles, ALongHoldFailsTheSaveAfterAboutASecondAndKeepsTheVault) {
    WinFixture f;
    const std::string before = f.vault();
    HANDLE held = hold(f.paths.vault_file, false);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = Clock::now();
    const AddOutcome outcome = add_record(f.ctx, {"n", "u", "s", "p", "p"});
    const double waited = seconds_since(start);
    CloseHandle(held);
    EXPECT_EQ(outcome, AddOutcome::SaveFailed);
    EXPECT_GE(waited, 0.9);
    EXPECT_LT(waited, 3.0);
    EXPECT_EQ(f.vault(), before);
    EXPECT_FALSE(f.work_file_left());
    EXPECT_EQ(f.reporter.messages, std::vector<std::string>{std::string(kSaveFailedMessage)});
}

TEST(WindowsFiles, AReadOnlyVaultIsRefusedAndAFolderAtOnce) {
    WinFixture f;
    ASSERT_TRUE(SetFileAttributesA(f.paths.vault_file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(disk_files().replace_file(f.paths.work_file, f.paths.vault_file));
    SetFileAttributesA(f.paths.vault_file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_FALSE(disk_files().rename_file(f.paths.work_file, f.paths.vault_file)) << "a rename never replaces";
    EXPECT_NE(f.vault(), "new");

    std::filesystem::create_directory(f.paths.backup_file);
    const auto start = Clock::now();
    EXPECT_FALSE(disk_files().replace_file(f.paths.work_file, f.paths.backup_file));
    EXPECT_FALSE(disk_files().write_durable(f.paths.backup_file, "x"));
    EXPECT_LT(seconds_since(start), 0.9) << "a folder stays one: the retries wait a second each";
}

TEST(WindowsFiles, ALeftOverFileThatIsHiddenOrSystemIsReplacedByAPlainOne) {
    for (const DWORD kind : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY)}) {
        WinFixture f;
        for (const std::string* path : {&f.paths.work_file, &f.paths.backup_work_file, &f.paths.print_file}) {
            write_bytes(*path, "left over");
            ASSERT_TRUE(SetFileAttributesA(path->c_str(), kind));
        }
        RowList rows = rows_from_load(load_vault(f.ctx));
        rows.selected = 0;
        EXPECT_EQ(delete_selected(f.ctx, rows), SaveOutcome::Saved);
        EXPECT_TRUE(disk_files().write_durable(f.paths.print_file, "list"));
        EXPECT_TRUE(f.reporter.messages.empty());
        // Nothing the user sees takes a leftover's attributes with it.
        for (const std::string* path : {&f.paths.vault_file, &f.paths.backup_file, &f.paths.print_file})
            EXPECT_EQ(GetFileAttributesA(path->c_str()) & kind, 0u) << *path;
    }
}

// A handle that lets others delete keeps the name until it closes: the
// removal is done only once the name is gone, and fails when it stays.
TEST(WindowsFiles, ARemovedFileIsGoneOnlyOnceItsNameIs) {
    for (const bool closed_soon : {true, false})
        for (const bool leftover : {true, false}) {
            WinFixture f;
            HANDLE held = CreateFileA(f.paths.work_file.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(held, INVALID_HANDLE_VALUE);
            std::thread release([held, closed_soon] {
                if (!closed_soon) return; // closed once the removal has answered
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                CloseHandle(held);
            });
            const bool gone = leftover ? disk_files().remove_leftover(f.paths.work_file)
                                       : disk_files().remove_file(f.paths.work_file);
            const bool name_there = GetFileAttributesA(f.paths.work_file.c_str()) != INVALID_FILE_ATTRIBUTES;
            release.join();
            if (!closed_soon) CloseHandle(held);
            EXPECT_EQ(gone, closed_soon) << closed_soon << leftover;
            EXPECT_EQ(gone, !name_there) << closed_soon << leftover;
        }
}

TEST(WindowsFiles, ReadAndPresenceTellMissingFromUnreadable) {
    WinFixture f;
    std::filesystem::create_directory(f.folder.path() / "folder.dat");
    struct Case {
        std::string path;
        ReadStatus status;
    };
    const Case cases[] = {
        {f.paths.vault_file, ReadStatus::Ok},
        {f.str_folder() + "\\none.dat", ReadStatus::Missing},
        {f.str_folder() + "\\no folder\\none.dat", ReadStatus::Missing},
        {f.str_folder() + "\\folder.dat", ReadStatus::Unreadable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(disk_files().read_file(c.path).status, c.status) << c.path;
        EXPECT_EQ(disk_files().presence(c.path), c.status) << c.path;
    }
}

TEST(WindowsFiles, ALockedVaultIsReportedNotLoopedOn) {
    WinFixture f;
    HANDLE held = hold(f.paths.vault_file, true);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto start = Clock::now();
    const LoadResult loaded = load_vault(f.ctx);
    const double waited = seconds_since(start);
    CloseHandle(held);
    EXPECT_EQ(loaded.status, LoadStatus::Unreadable);
    EXPECT_LT(waited, 3.0);
    EXPECT_EQ(f.reporter.messages, std::vector<std::string>{std::string(kUnreadableMessage)});
    EXPECT_EQ(load_vault(f.ctx).status, LoadStatus::Accepted);
}

} // namespace
