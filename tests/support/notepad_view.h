#pragma once
// A Notepad of another process, as the tests of the print list see it: did
// it outlast what was sent to it? A fixed wait would say nothing of a close
// that is merely slow.
#include <windows.h>

namespace test_support {

// The window a process shows: visible, owned by no other.
inline HWND main_window_of(HANDLE process) {
    struct Search {
        DWORD process_id;
        HWND found;
    } search{GetProcessId(process), nullptr};
    EnumWindows(
        [](HWND window, LPARAM lparam) {
            auto* search = reinterpret_cast<Search*>(lparam);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != search->process_id || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
            search->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Whether the Notepad still runs once it has handled every message posted to
// it before now: a caret move posted behind them reaches its text only after
// them, and a close among them would have taken the text away first.
inline bool survives_its_messages(HANDLE process) {
    const HWND text = FindWindowExW(main_window_of(process), nullptr, L"Edit", nullptr);
    if (!text || !PostMessageW(text, EM_SETSEL, 1, 1)) return false;
    for (int i = 0; i < 1000 && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; ++i, Sleep(10)) {
        DWORD_PTR selection = 0;
        if (SendMessageTimeoutW(text, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 1000, &selection) &&
            selection == MAKELONG(1, 1))
            return true;
    }
    return false;
}

} // namespace test_support
