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
        {L"temp.dat - Notepad", true},
        {L"*temp.dat - Notepad", true},
        {L"TEMP.DAT - Notepad", true},
        {L"temp.dat - \u30e1\u30e2\u5e33", true},
        {L"temp.dat", true},
        {L"temp.dat.txt - Notepad", false},
        {L"my temp.dat - Notepad", false},
        {L"Untitled - Notepad", false},
        {L"", false},
    };
    for (const auto& [title, names] : titles) EXPECT_EQ(platform::title_names_file(title, L"temp.dat"), names);
}

// The Notepad started on the file ends, edited or not; another Notepad
// showing a file of that name (Windows 11's, to which the started one hands
// the file) is asked to close; a Notepad showing another file stays.
TEST(PlatformFileViews, TheFileLeavesTheScreenAndNothingElseDoes) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qlk-views\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const char* name : {"temp.dat", "notes.txt"}) std::ofstream(folder + name) << "text\r\n";
    struct View {
        const char* file;
        bool started_on_it; // handed in as a program started on the file
        bool stays;
        platform::unique_kernel_handle process;
    };
    View views[] = {{"temp.dat", true, false}, {"temp.dat", false, false}, {"notes.txt", false, true}};
    std::vector<HANDLE> started;
    for (View& view : views) {
        view.process = platform::start_system_program(L"notepad.exe", folder + view.file, SW_SHOWNOACTIVATE);
        ASSERT_TRUE(view.process);
        ASSERT_EQ(WaitForInputIdle(view.process.get(), 10'000), 0u);
        if (view.started_on_it) started.push_back(view.process.get());
    }
    // The started one edited: a close would ask to save it, its list staying on the screen.
    const auto window_of = [](HANDLE process) {
        std::pair<DWORD, HWND> search{GetProcessId(process), nullptr};
        for (int i = 0; i < 400 && !search.second; ++i, Sleep(25))
            EnumWindows(
                [](HWND window, LPARAM lparam) {
                    auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(lparam);
                    DWORD id = 0;
                    GetWindowThreadProcessId(window, &id);
                    if (id == wanted->first && IsWindowVisible(window)) wanted->second = window;
                    return wanted->second ? FALSE : TRUE;
                },
                reinterpret_cast<LPARAM>(&search));
        return search.second;
    };
    HWND edited = window_of(views[0].process.get());
    ASSERT_NE(edited, nullptr);
    SendMessageW(FindWindowExW(edited, nullptr, L"Edit", nullptr), EM_SETMODIFY, TRUE, 0);

    platform::close_views_of_file(started, L"temp.dat");
    // The ones that go first, then the one that stays: by then it would have had its close too.
    for (bool stays : {false, true})
        for (View& view : views)
            if (view.stays == stays)
                EXPECT_EQ(WaitForSingleObject(view.process.get(), stays ? 500 : 10'000),
                          stays ? WAIT_TIMEOUT : WAIT_OBJECT_0)
                    << view.file << (view.started_on_it ? ", started on it" : "");
    for (View& view : views) TerminateProcess(view.process.get(), 0);
    for (const char* name : {"temp.dat", "notes.txt"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
