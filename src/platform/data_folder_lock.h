#pragma once
// One run per data folder. A run holds its data folder for its whole length
// with an exclusive byte-range lock on an empty file there, Quillock.lock,
// which Windows honours for every process of every session and, through the
// file server, for every computer on a shared drive. The one-copy guard of
// instance.h sees only this session.
//
// Only the held lock counts, never the file: a lock ends with the process
// that took it, so a file that a crash left behind is simply taken over, and
// the file is never deleted (it holds nothing). A folder that cannot take the
// file (a full or write-protected stick, a missing folder, a file system
// without locks) runs as it always has, without the lock.
#include "platform/unique_handle.h"

#include <string>

namespace platform {

namespace detail {
void unlock_and_close(HANDLE file);
} // namespace detail

// A file whose lock goes before its handle closes.
using unique_locked_file = unique_handle<HANDLE, detail::unlock_and_close>;

class DataFolderLock {
public:
    enum class Hold {
        Taken,         // this run holds the folder
        HeldElsewhere, // another run holds it: leave everything in it as it is
        NotPossible,   // no lock file here: the run goes on without the lock
    };

    // Takes the lock of `folder` (X:\Tallybox) without waiting, giving up
    // one held before. The folder itself must exist.
    Hold take(const std::string& folder);

    // The open lock file keeps the stick busy: Windows' eject would say it is
    // in use. From now on the system asks `window` first (WM_DEVICECHANGE,
    // handed to on_device_change), and the lock lets the stick go.
    void let_go_on_eject(HWND window);
    // An eject of the folder's drive: the lock goes, as the system asks; an
    // eject that was refused elsewhere takes it again. True when `event` was
    // about the lock file.
    bool on_device_change(WPARAM event, LPARAM data);

private:
    void watch_eject();

    std::string folder_;
    HWND window_ = nullptr;
    unique_locked_file file_;
    unique_device_notify eject_watch_;
};

} // namespace platform
