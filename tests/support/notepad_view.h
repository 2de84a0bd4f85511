#pragma once
// Whether another process's Notepad outlasted what was posted to it: a fixed
// wait would say nothing of a close that is merely slow.
#include <windows.h>

namespace test_support {

// The Notepad still runs once its window has handled every message posted to
// it before now: a caret move posted behind them reaches its text only after
// them, and a close among them would have taken the text away.
inline bool survives_its_messages(HANDLE process, HWND window) {
    const HWND text = FindWindowExW(window, nullptr, L"Edit", nullptr);
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
