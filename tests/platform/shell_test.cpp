// Handing things to the system, against the real process start and disk:
// programs by their full path, web addresses only when absolute, the wipe
// of a file that held plain passwords, and the data folder's lock.
#include "notepad_view.h"
#include "platform/data_folder_lock.h"
#include "platform/file_views.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/text.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <dbt.h>

#include <fstream>

namespace {

// A file of the program's name beside the exe, where Windows looks for a bare
// name first, is no program at all: only the full path starts the system's.
TEST(PlatformShell, ProgramsStartFromTheSystemFolderOnly) {
    EXPECT_FALSE(platform::start_system_program(L"qlk_no_such_editor.exe", "C:\\nothing.txt", SW_HIDE));
    const std::wstring planted = platform::program_folder_wide() + L"\\hostname.exe";
    CloseHandle(CreateFileW(planted.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(platform::file_exists(platform::to_ansi(planted)));
    EXPECT_TRUE(platform::start_system_program(L"hostname.exe", "C:\\nothing.txt", SW_HIDE));
    DeleteFileW(planted.c_str());
}

// What another program's hold or the read-only attribute leaves: a file is
// deleted only once it is zeroed, and a file that is not gone is reported,
// after a second of waiting for the hold to end. The holder reads what
// reached the disk.
TEST(PlatformFiles, APasswordFileIsZeroedOverItsWholeLengthBeforeTheDelete) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + "qlk-wipe-test.dat";
    std::string text;
    while (text.size() < 100'000) text += "Identifer Name: a   URL: b   UserName: c   Password: S3cret!\r\n";
    using platform::Wiped;
    struct Case {
        const char* what;
        DWORD holder_shares; // 0: no holder
        bool read_only;
        Wiped wiped;
        bool zeroed; // the holder reads zeros
    };
    const Case cases[] = {
        {"held without delete sharing: zeroed, kept", FILE_SHARE_READ | FILE_SHARE_WRITE, false, Wiped::ZerosLeft,
         true},
        {"held without write sharing: not deleted unwiped", FILE_SHARE_READ | FILE_SHARE_DELETE, false, Wiped::TextLeft,
         false},
        {"read-only", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, true, Wiped::Gone, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        std::ofstream(path, std::ios::binary) << text; // closed at the end of the statement
        if (c.read_only) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
        const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, c.holder_shares, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(platform::wipe_and_delete_file(path), c.wiped);
        std::string read(text.size(), 'x');
        DWORD done = 0;
        ReadFile(holder, read.data(), static_cast<DWORD>(read.size()), &done, nullptr);
        CloseHandle(holder);
        EXPECT_EQ(done, text.size());
        EXPECT_EQ(read.find_first_not_of('\0') == std::string::npos, c.zeroed);
        EXPECT_EQ(platform::file_exists(path), c.wiped != Wiped::Gone);
        EXPECT_EQ(platform::wipe_and_delete_file(path), Wiped::Gone) << "once nothing holds it";
        EXPECT_FALSE(platform::file_exists(path));
    }
}

// What only the holder's own process shows (another run's refusal, and a
// file left by a killed one, are the two_sessions scenario's): a held lock
// file cannot be deleted, the owner's end frees it, and a folder that cannot
// hold the file lets the run go on without it.
TEST(PlatformFiles, ADataFolderIsHeldUntilItsOwnerGoes) {
    using Hold = platform::DataFolderLock::Hold;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "qlk-lock-test", lock_file = folder + "\\Quillock.lock";
    EXPECT_EQ(platform::DataFolderLock().take(folder + "\\missing"), Hold::NotPossible);
    CreateDirectoryA(folder.c_str(), nullptr);
    {
        platform::DataFolderLock first, second;
        ASSERT_EQ(first.take(folder), Hold::Taken);
        EXPECT_EQ(second.take(folder), Hold::HeldElsewhere);
        EXPECT_FALSE(DeleteFileA(lock_file.c_str())) << "deleted while held";
        // The system's eject asks first: the lock lets the stick go, and takes
        // it again when the eject is refused.
        HWND window = CreateWindowExW(0, L"STATIC", nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        first.let_go_on_eject(window);
        DEV_BROADCAST_HANDLE eject{.dbch_size = sizeof eject, .dbch_devicetype = DBT_DEVTYP_HANDLE};
        ASSERT_TRUE(first.on_device_change(DBT_DEVICEQUERYREMOVE, reinterpret_cast<LPARAM>(&eject)));
        EXPECT_EQ(second.take(folder), Hold::Taken) << "still held during an eject";
        second = {};
        first.on_device_change(DBT_DEVICEQUERYREMOVEFAILED, reinterpret_cast<LPARAM>(&eject));
        EXPECT_EQ(second.take(folder), Hold::HeldElsewhere) << "not held again after a refused eject";
        DestroyWindow(window);
    }
    EXPECT_EQ(platform::DataFolderLock().take(folder), Hold::Taken);
    DeleteFileA(lock_file.c_str());
    RemoveDirectoryA(folder.c_str());
}

// Notepad names the file it shows first in its title, a '*' before it once edited.
TEST(PlatformFileViews, ATitleNamesTheFileAsNotepadShowsIt) {
    const std::pair<const wchar_t*, bool> titles[] = {
        {L"temp.dat - Notepad", true},      {L"*TEMP.DAT - \u30e1\u30e2\u5e33", true}, {L"temp.dat", true},
        {L"temp.dat.txt - Notepad", false}, {L"my temp.dat - Notepad", false},         {L"", false},
    };
    for (const auto& [title, names] : titles) EXPECT_EQ(platform::title_names_file(title, L"temp.dat"), names);
}

// Once the list has been shown: a Notepad the program started on it ends;
// another Notepad that shows it and started since (Windows 11's, to which the
// started one hands it) is asked to close. A started Notepad in which the
// user opened another file stays, and so does any Notepad on another file.
TEST(PlatformFileViews, TheFileLeavesTheScreenAndNothingElseDoes) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const struct {
        const char* file;
        bool started, stays;
    } views[] = {{"temp.dat", true, false},
                 {"temp.dat", false, false},
                 {"qlk-notes.txt", true, true},
                 {"qlk-other.txt", false, true}};
    FILETIME shown_at{};
    GetSystemTimeAsFileTime(&shown_at);
    std::vector<platform::unique_kernel_handle> processes;
    std::vector<HWND> windows;
    std::vector<HANDLE> started;
    for (const auto& view : views) {
        std::ofstream(std::string(temp) + view.file) << "text\r\n";
        processes.push_back(platform::start_system_program(L"notepad.exe", temp + std::string(view.file), SW_SHOW));
        ASSERT_EQ(WaitForInputIdle(processes.back().get(), 10'000), 0u) << "its window is up";
        windows.push_back(FindWindowW(nullptr, (platform::to_wide(view.file) + L" - Notepad").c_str()));
        if (view.started) started.push_back(processes.back().get());
    }
    platform::close_views_of_file(started, L"temp.dat", shown_at);
    for (std::size_t i = 0; i < std::size(views); ++i) {
        if (views[i].stays)
            EXPECT_TRUE(test_support::survives_its_messages(processes[i].get(), windows[i])) << i;
        else
            EXPECT_EQ(WaitForSingleObject(processes[i].get(), 10'000), WAIT_OBJECT_0) << i;
    }
    for (std::size_t i = 0; i < std::size(views); ++i) {
        TerminateProcess(processes[i].get(), 0);
        DeleteFileA((std::string(temp) + views[i].file).c_str());
    }
}

} // namespace
