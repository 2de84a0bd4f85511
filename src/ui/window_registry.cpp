#include "ui/window_registry.h"

#include "platform/window.h"

#include <array>

namespace ui {
namespace {

struct Entry {
    HWND hwnd = nullptr;
    HACCEL accelerators = nullptr;
};

constexpr size_t kWindowCount = static_cast<size_t>(Window::MenuHost) + 1;
std::array<Entry, kWindowCount> g_windows;
WindowLoader g_loader = nullptr;

Entry& entry(Window window) { return g_windows[static_cast<size_t>(window)]; }

} // namespace

void set_window_loader(WindowLoader loader) { g_loader = loader; }

void track_window(Window window, HWND hwnd, HACCEL accelerators) { entry(window) = {hwnd, accelerators}; }

void untrack_window(Window window) { entry(window) = {}; }

HWND find_window(Window window) { return entry(window).hwnd; }

bool is_loaded(Window window) { return find_window(window) != nullptr; }

bool any_window() {
    for (const auto& e : g_windows)
        if (e.hwnd) return true;
    return false;
}

std::vector<HWND> loaded_windows() {
    std::vector<HWND> loaded;
    for (const auto& e : g_windows)
        if (e.hwnd) loaded.push_back(e.hwnd);
    return loaded;
}

bool load_window(Window window) {
    if (!is_loaded(window) && g_loader) g_loader(window);
    return is_loaded(window);
}

void show_window(Window window) {
    if (!load_window(window)) return;
    platform::bring_forward(find_window(window));
}

void close_window(Window window, CloseCause cause) {
    if (cause != CloseCause::Asked)
        if (HWND hwnd = find_window(window)) SendMessageW(hwnd, kCloseWithCause, static_cast<WPARAM>(cause), 0);
    if (HWND hwnd = find_window(window)) SendMessageW(hwnd, WM_CLOSE, 0, 0);
}

bool translate_for_windows(MSG& message) {
    for (const auto& e : g_windows) {
        if (!e.hwnd || !e.accelerators) continue;
        if ((message.hwnd == e.hwnd || IsChild(e.hwnd, message.hwnd)) &&
            TranslateAcceleratorW(e.hwnd, e.accelerators, &message))
            return true;
    }
    for (const auto& e : g_windows) {
        if (e.hwnd && IsDialogMessageW(e.hwnd, &message)) return true;
    }
    return false;
}

} // namespace ui
