#pragma once
// Waiting out another program's short hold on a file. On Windows a freshly
// written file is often held for tens of milliseconds by a virus scanner or
// the search indexer: an open, a replace or a delete then fails with access
// denied or a sharing violation. KERNEL32 alone, so that the wipe of the
// print file may use it when another system DLL could not be loaded.
#include <windows.h>

namespace platform {

// The failures that another program's hold gives, and that go away with it.
inline bool is_transient_file_error(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// Runs `attempt` until it succeeds, fails for good, or about one second of
// growing pauses (10 ms, doubling) has passed. On failure the last error is
// the last attempt's.
template <typename Attempt> bool retry_while_held(Attempt attempt) {
    constexpr DWORD kLimitMs = 1000;
    DWORD pause = 10;
    DWORD waited = 0;
    for (;;) {
        if (attempt()) return true;
        const DWORD error = GetLastError();
        if (!is_transient_file_error(error) || waited >= kLimitMs) {
            SetLastError(error);
            return false;
        }
        const DWORD step = pause < kLimitMs - waited ? pause : kLimitMs - waited;
        Sleep(step);
        waited += step;
        pause *= 2;
    }
}

} // namespace platform
