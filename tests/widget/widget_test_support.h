#pragma once
// Shared by the widget's window tests: the stored position, the screen's DPI,
// and a clean slate of windows between tests.
#include "ui/window_registry.h"
#include "modal_watcher.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <optional>
#include <string>

namespace widget_test {

inline constexpr char kPositionKey[] = "Software\\VB and VBA Program Settings\\QLK\\FormPosInfo";

inline int dpi() {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value;
}
inline long twips(int pixels) { return std::lround(pixels * 1440.0 / dpi()); }
inline int pixels(double twips_value) { return static_cast<int>(std::lround(twips_value * dpi() / 1440.0)); }

inline void forget_position() { RegDeleteTreeA(HKEY_CURRENT_USER, kPositionKey); }

inline void store_position_text(const char* name, const std::string& text) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kPositionKey, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

inline std::optional<std::string> stored_position_text(const char* name) {
    char buffer[64] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, kPositionKey, name, RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

inline constexpr ui::Window kAllWindows[] = {ui::Window::Viewer,  ui::Window::AddEntry, ui::Window::Startup,
                                             ui::Window::Widget,  ui::Window::Password, ui::Window::About,
                                             ui::Window::MenuHost};

// Destroys whatever a test left open, without any close handling.
inline void destroy_all_windows() {
    for (ui::Window window : kAllWindows)
        if (HWND hwnd = ui::find_window(window)) DestroyWindow(hwnd);
    test_support::pump_messages(20);
}

inline HWND open(ui::Window window) {
    ui::show_window(window);
    test_support::pump_messages(20);
    return ui::find_window(window);
}

} // namespace widget_test
