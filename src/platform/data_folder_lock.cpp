#include "platform/data_folder_lock.h"

#include "platform/text.h"

#include <windows.h>

#include <dbt.h>

namespace platform {
namespace {

// Named after the program, with none of the vault's names or endings
// (my_psswds.*, my_passwords?.*, temp.dat): neither the vault code nor a
// user restoring a backup takes it for one of the vault's files.
constexpr wchar_t kLockFileName[] = L"\\Quillock.lock";

// The lock covers the first byte. The file stays empty, so that byte lies
// beyond its end, which Windows and file servers allow, and the lock keeps
// no program from reading anything. One byte at offset 0 is the range every
// file server takes, the oldest 32-bit ones too.
constexpr DWORD kLockedBytes = 1;

} // namespace

void detail::unlock_and_close(HANDLE file) {
    // Closing releases the lock as well, but only as soon as the system's
    // resources allow: a start on another computer just after this run's
    // end could still find the folder held.
    OVERLAPPED range{};
    UnlockFileEx(file, 0, kLockedBytes, 0, &range);
    CloseHandle(file);
}

DataFolderLock::Hold DataFolderLock::take(const std::string& folder) {
    eject_watch_.reset();
    file_.reset();
    folder_ = folder;
    const std::wstring path = to_wide(folder) + kLockFileName;
    // Deletion is not shared: the file cannot go while it is held, where a
    // new run would create another one and take the lock on that. The
    // handle is not inherited: Notepad, started by this run, holds no copy.
    const auto open = [&](DWORD access) {
        return own_file(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    };
    // Writing too, where it may be had: Windows takes the lock on a handle
    // for reading alone (all that a read-only file or a write-protected
    // stick gives), but Wine, which keeps it as a Unix lock, makes a shared
    // one of that, which another Wine server's run takes as well.
    unique_kernel_handle file = open(GENERIC_READ | GENERIC_WRITE);
    if (!file) file = open(GENERIC_READ);
    if (!file) return Hold::NotPossible;
    OVERLAPPED range{}; // offset 0
    if (!LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, kLockedBytes, 0, &range))
        // Any other refusal comes from a file system or server without locks.
        return GetLastError() == ERROR_LOCK_VIOLATION ? Hold::HeldElsewhere : Hold::NotPossible;
    file_ = unique_locked_file(file.release());
    watch_eject();
    return Hold::Taken;
}

void DataFolderLock::let_go_on_eject(HWND window) {
    window_ = window;
    watch_eject();
}

void DataFolderLock::watch_eject() {
    eject_watch_.reset();
    if (!window_ || !file_) return;
    DEV_BROADCAST_HANDLE filter{};
    filter.dbch_size = sizeof filter;
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = file_.get();
    // Without it (a network drive has no device to watch) an eject waits for the run's end, as it always could.
    eject_watch_.reset(RegisterDeviceNotificationW(window_, &filter, DEVICE_NOTIFY_WINDOW_HANDLE));
}

bool DataFolderLock::on_device_change(WPARAM event, LPARAM data) {
    // The lock file is the only handle the run has the system watch.
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(data);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_HANDLE || !eject_watch_) return false;
    switch (event) {
    case DBT_DEVICEQUERYREMOVE:
        // The handle closes; the notice stays registered, for an eject that
        // another program then refuses. The stick's removal ends the run.
        file_.reset();
        return true;
    case DBT_DEVICEQUERYREMOVEFAILED:
        if (!file_) take(folder_); // gives HeldElsewhere only if another run came in between: then it is theirs
        return true;
    case DBT_DEVICEREMOVEPENDING:
    case DBT_DEVICEREMOVECOMPLETE: eject_watch_.reset(); return true;
    }
    return false;
}

} // namespace platform
