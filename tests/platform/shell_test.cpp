// Handing things to the system, against the real process start and disk:
// programs by their full path, web addresses only when absolute, and the wipe
// of a file that held plain passwords.
#include "platform/files.h"
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>

namespace {

TEST(PlatformShell, ProgramsStartFromTheSystemFolderOnly) {
    EXPECT_FALSE(platform::start_system_program(L"qlk_no_such_editor.exe", "C:\\nothing.txt", SW_HIDE));
    EXPECT_TRUE(platform::start_system_program(L"hostname.exe", "C:\\nothing.txt", SW_HIDE));
}

// The shell takes a text without a scheme for a file name first.
TEST(PlatformShell, OnlyAbsoluteWebAddressesReachTheShell) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"WWW.EXAMPLE.COM", "http://WWW.EXAMPLE.COM"},
        {"Www.example.com/a b", "http://Www.example.com/a b"},
        {"http://a", "http://a"},
        {"HTTPS://A", "HTTPS://A"},
        {"hTTps://a", "hTTps://a"},
        {"ftp://a", std::nullopt},
        {"file:///C:/x.exe", std::nullopt},
        {"example.com", std::nullopt},
        {"wwwexample.com", std::nullopt},
        {" https://a", std::nullopt},
        {"http:/a", std::nullopt},
        {"C:\\www.example.com", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [address, given] : cases) EXPECT_EQ(platform::absolute_web_address(address), given) << address;
}

std::string temp_file(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

// Another program holding the file without sharing its deletion makes the
// delete fail and shows what had reached the disk by then.
TEST(PlatformFiles, APasswordFileIsZeroedOverItsWholeLengthBeforeTheDelete) {
    const std::string path = temp_file("qlk-wipe-test.dat");
    std::string text;
    while (text.size() < 100'000) text += "Identifer Name: a   URL: b   UserName: c   Password: S3cret!\r\n";
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(holder, text.data(), static_cast<DWORD>(text.size()), &done, nullptr));

    EXPECT_FALSE(platform::wipe_and_delete_file(path)) << "the holder refuses the delete";
    std::string on_disk(text.size() + 1, 'x');
    SetFilePointer(holder, 0, nullptr, FILE_BEGIN);
    ReadFile(holder, on_disk.data(), static_cast<DWORD>(on_disk.size()), &done, nullptr);
    on_disk.resize(done);
    EXPECT_EQ(on_disk.size(), text.size());
    EXPECT_EQ(on_disk.find_first_not_of('\0'), std::string::npos) << "a byte of the text is left";
    CloseHandle(holder);

    EXPECT_TRUE(platform::wipe_and_delete_file(path));
    EXPECT_FALSE(platform::file_exists(path));
    EXPECT_TRUE(platform::wipe_and_delete_file(path)) << "a file that is not there is gone";
}

} // namespace
