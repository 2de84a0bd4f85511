// Registration in the Run key against the real (Wine) registry. The window
// that drives it is checked end to end (e2e/scenarios/widget_startup.sh).
#include "access/run_at_startup.h"
#include "modal_watcher.h"
#include "platform/text.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <optional>
#include <string>

using qlk_access::kRunKey;

namespace {

const char kName[] = "QuillockRunTest";

struct Stored {
    DWORD type;
    std::string data;
};

std::optional<Stored> stored(const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<Stored> result;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::string data(size, '\0');
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        result = Stored{type, data};
    }
    RegCloseKey(key);
    return result;
}

void store(const std::string& name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kRunKey, name.c_str(), type, data, size);
}

void forget(const std::string& name) {
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, name.c_str());
}

class RunAtStartup : public testing::Test {
protected:
    void SetUp() override { forget(kName); }
    void TearDown() override { forget(kName); }
};

TEST_F(RunAtStartup, AValueOfAnyTypeCountsAsRegistered) {
    const DWORD number = 1;
    const BYTE bytes[] = {1, 2, 3};
    const struct {
        DWORD type;
        const void* data;
        DWORD size;
    } values[] = {
        {REG_SZ, "\"C:\\Q\\Quillock.exe\"", 20}, {REG_SZ, "", 1},        {REG_EXPAND_SZ, "%TEMP%\\q.exe", 13},
        {REG_DWORD, &number, sizeof number},     {REG_BINARY, bytes, 3}, {REG_BINARY, nullptr, 0},
    };
    EXPECT_FALSE(qlk_access::WillRunAtStartup(kName));
    for (const auto& value : values) {
        store(kName, value.type, value.data, value.size);
        EXPECT_TRUE(qlk_access::WillRunAtStartup(kName)) << "type " << value.type;
        forget(kName);
        EXPECT_FALSE(qlk_access::WillRunAtStartup(kName));
    }
}

TEST_F(RunAtStartup, StoresTheQuotedFullPathThatTheSystemReadsBackAsOneProgram) {
    const char* folders[] = {"C:\\Quillock", "C:\\Program Files\\Quillock Works",
                             "E:", "D:\\Tools (x86)\\K\xE9ys & Co"};
    for (const char* folder : folders) {
        ASSERT_EQ(qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, kName, folder, true), "");
        const auto value = stored(kName);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        const std::string path = std::string(folder) + "\\" + kName + ".exe";
        EXPECT_EQ(value->data, "\"" + path + "\"" + std::string(1, '\0')) << "with its terminating NUL";

        // How Windows splits the command line it starts at logon.
        const std::wstring line = platform::to_wide(value->data.c_str());
        int count = 0;
        LPWSTR* args = CommandLineToArgvW(line.c_str(), &count);
        ASSERT_NE(args, nullptr);
        EXPECT_EQ(count, 1) << folder;
        EXPECT_EQ(platform::to_ansi(args[0]), path);
        LocalFree(args);
    }
}

TEST_F(RunAtStartup, UnregisteringDeletesTheValueAndIsSilentWhenItIsMissing) {
    qlk_access::SetRunAtStartup(kName, "C:\\Quillock", true);
    EXPECT_TRUE(qlk_access::WillRunAtStartup(kName));
    test_support::ModalWatcher watcher;
    qlk_access::SetRunAtStartup(kName, "C:\\Quillock", false);
    EXPECT_FALSE(stored(kName).has_value());
    qlk_access::SetRunAtStartup(kName, "C:\\Quillock", false);
    EXPECT_FALSE(stored(kName).has_value());
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(RunAtStartup, FailuresAreReportedWithTheResultCode) {
    // A key the system refuses to open under, and a value name longer than the registry takes.
    const std::string too_long(20000, 'q');
    EXPECT_EQ(qlk_access::set_run_at_startup_under(reinterpret_cast<HKEY>(0x1234), kName, "C:\\Q", true),
              "Error 6 opening key\r\n");
    const std::string message = qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, too_long, "C:\\Q", true);
    EXPECT_TRUE(message.starts_with("Error ") && message.ends_with(" setting key\r\n")) << message;
    EXPECT_NE(message, "Error 0 setting key\r\n");

    // The user sees it in the program's message box.
    test_support::ModalWatcher watcher;
    qlk_access::SetRunAtStartup(too_long, "C:\\Q", true);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Quillock");
    EXPECT_EQ(seen[0].text, message);
}

} // namespace
