// Handing things to the system, against the real process start and disk:
// programs by their full path, web addresses only when absolute, and the wipe
// of a file that held plain passwords.
#include "platform/files.h"
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(PlatformShell, ProgramsStartFromTheSystemFolderOnly) {
    EXPECT_FALSE(platform::start_system_program(L"qlk_no_such_editor.exe", "C:\\nothing.txt", SW_HIDE));
    EXPECT_TRUE(platform::start_system_program(L"hostname.exe", "C:\\nothing.txt", SW_HIDE));
}

// The shell takes a text without a scheme for a file name first.
TEST(PlatformShell, OnlyAbsoluteWebAddressesReachTheShell) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"www.example.com", "http://www.example.com"},
        {"WWW.X", "http://WWW.X"},
        {"http://a", "http://a"},
        {"HTTPS://A", "HTTPS://A"},
        {"ftp://a", std::nullopt},
        {"example.com", std::nullopt},
        {"wwwexample.com", std::nullopt},
        {" https://a", std::nullopt},
        {"C:\\www.x.com", std::nullopt},
    };
    for (const auto& [address, given] : cases) EXPECT_EQ(platform::absolute_web_address(address), given) << address;
}

// Another program holding the file without sharing its deletion makes the
// delete fail and leaves to read what reached the disk before it.
TEST(PlatformFiles, APasswordFileIsZeroedOverItsWholeLengthBeforeTheDelete) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "qlk-wipe-test.dat";
    std::string text;
    while (text.size() < 100'000) text += "Identifer Name: a   URL: b   UserName: c   Password: S3cret!\r\n";
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(holder, text.data(), static_cast<DWORD>(text.size()), &done, nullptr));
    EXPECT_FALSE(platform::wipe_and_delete_file(path)) << "the holder refuses the delete";
    SetFilePointer(holder, 0, nullptr, FILE_BEGIN);
    ReadFile(holder, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    CloseHandle(holder);
    EXPECT_EQ(done, text.size());
    EXPECT_EQ(text.find_first_not_of('\0'), std::string::npos) << "a byte of the text is left";
    EXPECT_TRUE(platform::wipe_and_delete_file(path));
    EXPECT_FALSE(platform::file_exists(path));
}

} // namespace
