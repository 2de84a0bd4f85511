// The Windows disk behind the vault: the replace waits out a short hold on
// the vault (as a virus scanner takes), gives up after about a second on a
// long one, and refuses a read-only vault as Windows does (Wine would not).
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

TEST(WindowsFiles, ReplaceWaitsOutAShortHold) {
    WinFixture f;
    HANDLE held = hold(f.paths.vault_file, false);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    std::thread release([held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        CloseHandle(held);
    });
    const auto start = Clock::now();
    const bool replaced = disk_files().replace_file(f.paths.work_file, f.paths.vault_file);
    const double waited = seconds_since(start);
    release.join();
    EXPECT_TRUE(replaced);
    EXPECT_EQ(f.vault(), "new");
    EXPECT_GE(waited, 0.1) << "the hold did not block the replace: the test proves nothing";
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

TEST(WindowsFiles, AReadOnlyVaultIsRefused) {
    WinFixture f;
    ASSERT_TRUE(SetFileAttributesA(f.paths.vault_file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(disk_files().replace_file(f.paths.work_file, f.paths.vault_file));
    SetFileAttributesA(f.paths.vault_file.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_NE(f.vault(), "new");
}

TEST(WindowsFiles, ReadTellsMissingFromUnreadable) {
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
    for (const auto& c : cases) EXPECT_EQ(disk_files().read_file(c.path).status, c.status) << c.path;
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
