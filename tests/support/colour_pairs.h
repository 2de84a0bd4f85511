#pragma once
// The colours a window chooses for a control's text and background, asked
// as the control asks at each paint (WM_CTLCOLOR*), and high contrast put in
// as the system would report it.
#include "platform/colours.h"

#include <windows.h>

namespace test_support {

struct ColourPair {
    COLORREF text;
    COLORREF back; // the brush's colour, or the DC's background without one
};

// `message` is WM_CTLCOLORSTATIC for a label, WM_CTLCOLORDLG (control null) for the dialog itself.
inline ColourPair colours_chosen(HWND window, HWND control, UINT message = WM_CTLCOLORSTATIC) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(window, message, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(control ? control : window)));
    ColourPair pair{GetTextColor(dc), GetBkColor(dc)};
    if (LOGBRUSH solid{}; brush && GetObjectW(brush, sizeof solid, &solid) && solid.lbStyle == BS_SOLID)
        pair.back = solid.lbColor;
    DeleteDC(dc);
    return pair;
}

// High contrast on (when `on`) for the program while it lives, and the
// window told of the change as the system tells it; off again at its end.
class HighContrastOn {
public:
    HighContrastOn(HWND window, bool on = true) : window_(on ? window : nullptr) {
        if (!window_) return;
        platform::set_high_contrast_source([] { return true; });
        SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }
    ~HighContrastOn() {
        if (!window_) return;
        platform::set_high_contrast_source(nullptr);
        if (IsWindow(window_)) SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }
    HighContrastOn(const HighContrastOn&) = delete;
    HighContrastOn& operator=(const HighContrastOn&) = delete;

private:
    HWND window_;
};

} // namespace test_support
