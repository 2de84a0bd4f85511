#include "widget/drive_watch.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "ui/window_registry.h"
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

DWORD g_drive_bit = 0; // the program's drive in GetLogicalDrives' mask; 0: not watched
wchar_t g_root[] = L"?:\\";
bool g_listed = false; // the system listed the drive when the watch began
bool g_ended = false;  // the run has ended for the drive already

// Windows keeps the drive letters of the session in its device map, which
// GetLogicalDrives reads without touching any drive. Wine lists there only
// the drives it found at its own start: a drive mapped later (as a stick's
// letter is, under Wine) is looked up by its type, which Wine reads from the
// mapping.
bool drive_gone() {
    if (!g_drive_bit) return false;
    if (g_listed) {
        const DWORD drives = GetLogicalDrives();
        return drives != 0 && !(drives & g_drive_bit); // 0 is a failure of the call, not a removal
    }
    return GetDriveTypeW(g_root) == DRIVE_NO_ROOT_DIR;
}

bool names_program_drive(LPARAM lparam) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lparam);
    if (!g_drive_bit || !header || header->dbch_devicetype != DBT_DEVTYP_VOLUME) return false;
    return (reinterpret_cast<const DEV_BROADCAST_VOLUME*>(header)->dbcv_unitmask & g_drive_bit) != 0;
}

void end_run() {
    // Once: the broadcast and the timer may both tell, and closing windows
    // lets messages through.
    if (std::exchange(g_ended, true)) return;
    owner_stepped_away();
    // Every other box ends as cancelled while its owner is still there (the
    // gate's, the entry dialog's, a message of any window; one shown while
    // none of ours was active has no owner at all), and nothing that would
    // follow from its cancellation comes up once the handler waiting on it
    // goes on: no window would be left to own it.
    platform::end_boxes_for_the_run(ui::loaded_windows());
    run_exit_sequence();
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
    g_listed = (GetLogicalDrives() & g_drive_bit) != 0;
    // Without the timer only the system's broadcast tells, and only the widget takes it.
    if (!g_look_up_timer) g_look_up_timer = SetTimer(nullptr, 0, kLookUpMs, look_up_drive);
}

bool on_drive_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_DEVICECHANGE:
        if (wparam != DBT_DEVICEREMOVECOMPLETE) return false;
        if (names_program_drive(lparam)) {
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

} // namespace widget
