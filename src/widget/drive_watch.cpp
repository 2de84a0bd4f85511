#include "widget/drive_watch.h"

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
    run_exit_sequence();
    // Every window of the program has gone, and the boxes they owned with
    // them. A box shown while none of them was active has no owner: it
    // would stay on the screen, waiting for someone to answer it.
    platform::cancel_boxes_of_this_thread();
}

} // namespace

void start_drive_watch() {
    g_ended = false;
    g_drive_bit = 0;
    const std::wstring folder = platform::program_folder_wide();
    const wchar_t letter = folder.size() >= 2 && folder[1] == L':' ? std::towupper(folder[0]) : 0;
    if (letter < L'A' || letter > L'Z') return;
    g_drive_bit = DWORD{1} << (letter - L'A');
    g_root[0] = letter;
    g_listed = (GetLogicalDrives() & g_drive_bit) != 0;
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
    case WM_TIMER:
        if (!drive_gone()) return false;
        end_run();
        result = 0;
        return true;
    }
    return false;
}

} // namespace widget
