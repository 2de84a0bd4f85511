#include "widget/drive_watch.h"

#include "platform/data_folder_lock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "widget/away_watch.h"
#include "widget/menu_host.h"

#include <dbt.h>

#include <cwctype>
#include <string>
#include <utility>

namespace widget {
namespace {

// The drive is looked up each second, on a timer of the thread rather than of
// a window: the run is watched from its first window on, the entry dialog
// before the widget, and whichever box is up.
constexpr UINT kLookUpMs = 1000;
UINT_PTR g_look_up_timer = 0;

DriveList g_drive_list = nullptr; // null: GetLogicalDrives
DWORD g_drive_bit = 0;            // the program's drive in the session's drive mask; 0: not watched
wchar_t g_root[] = L"?:\\";
bool g_listed = false; // the system listed the drive when the watch began
bool g_ended = false;  // the run has ended for the drive already
platform::DataFolderLock* g_folder_lock = nullptr;

// Windows keeps the drive letters of the session in its device map, which
// GetLogicalDrives reads without touching any drive. Wine lists there only
// the drives it found at its own start: a drive mapped later (as a stick's
// letter is, under Wine) is looked up by its type, which Wine reads from the
// mapping.
DWORD session_drives() { return g_drive_list ? g_drive_list() : GetLogicalDrives(); }

bool unlisted() {
    const DWORD drives = session_drives();
    return drives != 0 && !(drives & g_drive_bit); // 0 is a failure of the call, not a removal
}

bool drive_gone() {
    if (!g_drive_bit) return false;
    if (g_listed) return unlisted();
    return GetDriveTypeW(g_root) == DRIVE_NO_ROOT_DIR;
}

// A removal notice for the program's drive. For a network drive Windows sends
// one also when the connection drops (a Wi-Fi blip), while the drive letter
// stays and the share comes back with the network: only the letter's going
// from the session's drives is the drive's removal.
bool program_drive_removed(LPARAM lparam) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
    if (!g_drive_bit || !header || header->dbch_devicetype != DBT_DEVTYP_VOLUME) return false;
    const auto* volume = reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header);
    if (!(volume->dbcv_unitmask & g_drive_bit)) return false;
    return !(volume->dbcv_flags & DBTF_NET) || unlisted();
}

void end_run() {
    // Once: the broadcast and the timer may both tell, and closing windows
    // lets messages through.
    if (std::exchange(g_ended, true)) return;
    end_run_unasked();
}

void CALLBACK look_up_drive(HWND, UINT, UINT_PTR, DWORD) {
    if (drive_gone()) end_run();
}

} // namespace

void start_drive_watch() {
    g_ended = false;
    platform::allow_boxes();
    g_drive_bit = 0;
    const std::wstring folder = platform::program_folder_wide();
    const wchar_t letter = folder.size() >= 2 && folder[1] == L':' ? std::towupper(folder[0]) : 0;
    if (letter < L'A' || letter > L'Z') return;
    g_drive_bit = DWORD{1} << (letter - L'A');
    g_root[0] = letter;
    g_listed = (session_drives() & g_drive_bit) != 0;
    // Without the timer only the system's broadcast tells, and only the widget takes it.
    if (!g_look_up_timer) g_look_up_timer = SetTimer(nullptr, 0, kLookUpMs, look_up_drive);
}

bool on_drive_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_DEVICECHANGE:
        if (g_folder_lock && g_folder_lock->on_device_change(wparam, lparam)) {
            result = TRUE; // the eject may go on
            return true;
        }
        if (wparam != DBT_DEVICEREMOVECOMPLETE) return false;
        if (program_drive_removed(lparam)) {
            // The system waits on every window it tells: it goes on at once,
            // not after the windows of the program have closed.
            ReplyMessage(TRUE);
            end_run();
        }
        result = TRUE;
        return true;
    }
    return false;
}

void set_folder_lock(platform::DataFolderLock* lock) { g_folder_lock = lock; }

void watch_eject(HWND widget) {
    if (g_folder_lock) g_folder_lock->let_go_on_eject(widget);
}

void set_drive_list(DriveList list) {
    g_drive_list = list;
    // Whether the drive is listed is the new list's answer: the watch runs on.
    if (g_drive_bit) g_listed = (session_drives() & g_drive_bit) != 0;
}

} // namespace widget
