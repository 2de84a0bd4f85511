#include "platform/wipe.h"

namespace platform {

// Far deeper than the handlers and the system's calls beneath them go (a
// copied password's string was found 3 KB below the loop).
[[gnu::noinline]] void wipe_stack_below() {
    unsigned char area[64 * 1024];
    SecureZeroMemory(area, sizeof area);
}

void wipe_control_text(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return;
    const std::wstring filler(static_cast<size_t>(length), L'\x2022');
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(filler.c_str()));
}

} // namespace platform
