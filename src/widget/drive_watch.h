#pragma once
// The drive the program runs from goes away: the stick is pulled, the mapping
// removed. The run then ends as a step away and Exit end it, so that nothing
// of the program is left on the screen of a computer its owner has left: the
// viewer closes, open boxes end as cancelled, the program's own copy on the
// clipboard goes, the widget's position is kept and every window closes. A
// drive that is only slow or busy, or a vault that cannot be read, is no
// removal: only the drive letter itself going away is.
#include <windows.h>

namespace platform {
class DataFolderLock;
}

namespace widget {

// Notes the program's drive and looks it up each second from then on, on a
// timer of the calling thread, without touching it (a USB disk may spin
// down). For the start of the run, before its first window; the widget's
// load notes the drive again. A program started from a network path
// (\\server\share) has no drive letter and is not watched.
void start_drive_watch();

// The widget's share of the messages that tell of its drive: the system's
// broadcast of a removed volume. True when `message` was handled here, with
// the result in `result`.
bool on_drive_message(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

// The data folder's lock that main holds for the run. Its open file keeps the
// stick busy, so the widget lets it go when the system asks to eject the stick
// (the removal then ends the run), and takes it again when the eject is refused.
void set_folder_lock(platform::DataFolderLock* lock);
// The widget is the window that the system asks.
void watch_eject(HWND widget);

// The session's drive letters as a mask (bit 0 for A:): GetLogicalDrives,
// unless a test puts its own in (nullptr puts it back). Under Wine a letter
// mapped before Wine's start stays in that list after its mapping goes,
// while Windows drops a removed volume's letter.
using DriveList = DWORD(WINAPI*)();
void set_drive_list(DriveList list);

} // namespace widget
