// Handing things to the system, against the real process start and disk:
// programs by their full path, web addresses only when absolute, and the wipe
// of a file that held plain passwords.
#include "platform/file_views.h"
#include "platform/files.h"
#include "platform/shell.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>

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

// Notepad names the file it shows first in its title, a '*' before it once edited.
TEST(PlatformFileViews, ATitleNamesTheFileAsNotepadShowsIt) {
    const std::pair<const wchar_t*, bool> titles[] = {
        {L"temp.dat - Notepad", true},      {L"*TEMP.DAT - \u30e1\u30e2\u5e33", true}, {L"temp.dat", true},
        {L"temp.dat.txt - Notepad", false}, {L"my temp.dat - Notepad", false},         {L"", false},
    };
    for (const auto& [title, names] : titles) EXPECT_EQ(platform::title_names_file(title, L"temp.dat"), names);
}

// A Notepad the program started ends, whatever it shows; another Notepad that
// shows the file (Windows 11's, to which the started one hands it) is asked
// to close; a Notepad on another file stays.
TEST(PlatformFileViews, TheFileLeavesTheScreenAndNothingElseDoes) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const struct {
        const char* file;
        bool started, stays;
    } views[] = {{"qlk-list.txt", true, false}, {"temp.dat", false, false}, {"qlk-notes.txt", false, true}};
    std::vector<platform::unique_kernel_handle> processes;
    std::vector<HANDLE> started;
    for (const auto& view : views) {
        std::ofstream(std::string(temp) + view.file) << "text\r\n";
        processes.push_back(platform::start_system_program(L"notepad.exe", temp + std::string(view.file), SW_SHOW));
        ASSERT_EQ(WaitForInputIdle(processes.back().get(), 10'000), 0u) << "its window is up";
        if (view.started) started.push_back(processes.back().get());
    }
    platform::close_views_of_file(started, L"temp.dat");
    for (bool stays : {false, true}) // the one that stays last: by then a close would have reached it too
        for (std::size_t i = 0; i < std::size(views); ++i)
            if (views[i].stays == stays)
                EXPECT_EQ(WaitForSingleObject(processes[i].get(), stays ? 500 : 10'000),
                          stays ? WAIT_TIMEOUT : WAIT_OBJECT_0)
                    << views[i].file;
    for (std::size_t i = 0; i < std::size(views); ++i) {
        TerminateProcess(processes[i].get(), 0);
        DeleteFileA((std::string(temp) + views[i].file).c_str());
    }
}

} // namespace
