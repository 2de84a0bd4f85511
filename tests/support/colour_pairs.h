#pragma once
// The colours a window chooses for a control's text and background, asked
// as the control asks at each paint (WM_CTLCOLOR*), and high contrast put in
// as the system would report it.
#include "platform/colours.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <span>
#include <utility>
#include <vector>

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

// A scheme of the system's colours, set for the whole session as the
// Control Panel sets it; the one before comes back at the end.
class SystemColours {
public:
    SystemColours(std::span<const std::pair<int, COLORREF>> colours) {
        for (auto [index, colour] : colours) {
            indexes_.push_back(index);
            before_.push_back(GetSysColor(index));
            after_.push_back(colour);
        }
        set(after_);
    }
    ~SystemColours() { set(before_); }
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

private:
    void set(const std::vector<COLORREF>& colours) {
        if (indexes_.empty()) return;
        EXPECT_TRUE(SetSysColors(static_cast<int>(indexes_.size()), indexes_.data(), colours.data()));
    }
    std::vector<int> indexes_;
    std::vector<COLORREF> before_, after_;
};

// The scheme a test's high contrast comes with. No two of the pairs the
// windows draw in share a colour (in Wine's own scheme the button text and
// the window text are both black), so a text drawn in the wrong pair shows.
inline constexpr std::pair<int, COLORREF> kHighContrastScheme[] = {
    {COLOR_WINDOW, RGB(0, 0, 0)},      {COLOR_WINDOWTEXT, RGB(255, 255, 255)}, {COLOR_BTNFACE, RGB(0, 0, 96)},
    {COLOR_BTNTEXT, RGB(255, 255, 0)}, {COLOR_HOTLIGHT, RGB(0, 255, 255)},
};

// High contrast on (when `on`) for the program while it lives, with its
// scheme, and the window told of the change as the system tells it; off
// again, with the colours before, at its end.
class HighContrastOn {
public:
    HighContrastOn(HWND window, bool on = true) : window_(on ? window : nullptr) {
        if (!window_) return;
        scheme_.emplace(kHighContrastScheme);
        platform::set_high_contrast_source([] { return true; });
        SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }
    ~HighContrastOn() {
        if (!window_) return;
        platform::set_high_contrast_source(nullptr);
        scheme_.reset();
        if (IsWindow(window_)) SendMessageW(window_, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    }
    HighContrastOn(const HighContrastOn&) = delete;
    HighContrastOn& operator=(const HighContrastOn&) = delete;

private:
    HWND window_;
    std::optional<SystemColours> scheme_;
};

} // namespace test_support
