// Registration in the Run key against the real (Wine) registry. The window
// that drives it is checked end to end (e2e/scenarios/widget_startup.sh).
#include "access/run_at_startup.h"
#include "modal_watcher.h"
#include "platform/files.h"
#include "platform/text.h"

#include <gtest/gtest.h>
#include <shellapi.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

using qlk_access::kRunKey;

namespace {

const wchar_t kName[] = L"QuillockRunTest";

struct Stored {
    DWORD type;
    std::wstring data; // as the wide call reads it, the terminating NUL included
};

std::optional<Stored> stored(const std::wstring& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<Stored> result;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::wstring data(size / sizeof(wchar_t), L'\0');
        RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        result = Stored{type, data};
    }
    RegCloseKey(key);
    return result;
}

void store(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str(), type, data, size);
}

void forget(const std::wstring& name) { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name.c_str()); }

// How Windows splits the command line it starts at logon.
std::vector<std::wstring> split_command_line(const std::wstring& line) {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(line.c_str(), &count);
    std::vector<std::wstring> result(args, args + (args ? count : 0));
    LocalFree(args);
    return result;
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
        {REG_SZ, L"\"C:\\Q\\Quillock.exe\"", 40}, {REG_SZ, L"", 2},       {REG_EXPAND_SZ, L"%TEMP%\\q.exe", 26},
        {REG_DWORD, &number, sizeof number},      {REG_BINARY, bytes, 3}, {REG_BINARY, nullptr, 0},
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
    // The last ones hold characters outside every single-byte code page.
    const wchar_t* folders[] = {L"C:\\Quillock",
                                L"C:\\Program Files\\Quillock Works",
                                L"E:",
                                L"D:\\Tools (x86)\\K\u00E9ys & Co",
                                L"C:\\Users\\\u0141ukasz\\Narz\u0119dzia",
                                L"F:\\\u65E5\u672C\\\u9375"};
    for (const wchar_t* folder : folders) {
        ASSERT_EQ(qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, kName, folder, true), "");
        const auto value = stored(kName);
        ASSERT_TRUE(value.has_value());
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
        const std::wstring path = std::wstring(folder) + L"\\" + kName + L".exe";
        EXPECT_EQ(value->data, L"\"" + path + L"\"" + std::wstring(1, L'\0')) << "with its terminating NUL";

        const std::vector<std::wstring> args = split_command_line(value->data.c_str());
        ASSERT_EQ(args.size(), 1u) << platform::to_ansi(folder);
        EXPECT_EQ(args[0], path);
    }
}

TEST_F(RunAtStartup, OnAWesternSystemTheValueHoldsTheBytesItAlwaysHad) {
    // What a reader of the ANSI value sees, on a system of that code page.
    if (GetACP() != 1252) GTEST_SKIP() << "system code page " << GetACP();
    ASSERT_EQ(qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, kName, L"D:\\K\u00E9ys", true), "");
    char data[64] = {};
    DWORD size = sizeof data;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "QuillockRunTest",
                           RRF_RT_ANY, nullptr, data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(data, size), std::string("\"D:\\K\xE9ys\\QuillockRunTest.exe\"") + '\0');
}

TEST_F(RunAtStartup, TheRunningProgramIsRegisteredUnderItsRealModulePath) {
    // Run once more from a folder named outside every ANSI code page (tests/access/CMakeLists.txt).
    if (const wchar_t* folder = _wgetenv(L"QLK_TEST_SUBFOLDER")) {
        ASSERT_TRUE(platform::program_folder_wide().ends_with(L"\\" + std::wstring(folder)));
    }
    const std::wstring name = platform::program_exe_name_wide();
    ASSERT_EQ(qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, name, platform::program_folder_wide(), true), "");
    const auto value = stored(name);
    forget(name);
    ASSERT_TRUE(value.has_value());
    const std::vector<std::wstring> args = split_command_line(value->data.c_str());
    ASSERT_EQ(args.size(), 1u);
    EXPECT_EQ(args[0], platform::program_path_wide());
}

TEST_F(RunAtStartup, UnregisteringDeletesTheValueAndIsSilentWhenItIsMissing) {
    qlk_access::SetRunAtStartup(kName, L"C:\\Quillock", true);
    EXPECT_TRUE(qlk_access::WillRunAtStartup(kName));
    test_support::ModalWatcher watcher;
    qlk_access::SetRunAtStartup(kName, L"C:\\Quillock", false);
    EXPECT_FALSE(stored(kName).has_value());
    qlk_access::SetRunAtStartup(kName, L"C:\\Quillock", false);
    EXPECT_FALSE(stored(kName).has_value());
    EXPECT_TRUE(watcher.seen().empty());
}

TEST_F(RunAtStartup, FailuresAreReportedWithTheResultCode) {
    // A key the system refuses to open under, and a value name longer than the registry takes.
    const std::wstring too_long(20000, L'q');
    EXPECT_EQ(qlk_access::set_run_at_startup_under(reinterpret_cast<HKEY>(0x1234), kName, L"C:\\Q", true),
              "Error 6 opening key\r\n");
    const std::string message = qlk_access::set_run_at_startup_under(HKEY_CURRENT_USER, too_long, L"C:\\Q", true);
    EXPECT_TRUE(message.starts_with("Error ") && message.ends_with(" setting key\r\n")) << message;
    EXPECT_NE(message, "Error 0 setting key\r\n");

    // The user sees it in the program's message box.
    test_support::ModalWatcher watcher;
    qlk_access::SetRunAtStartup(too_long, L"C:\\Q", true);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Quillock");
    EXPECT_EQ(seen[0].text, message);
}

} // namespace
