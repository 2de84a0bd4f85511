// A plain stand-in for the widget until the skinned window exists.
#include "widget/widget_window.h"

#include "app/window_registry.h"

#include <windows.h>

namespace widget {
namespace {

LRESULT CALLBACK frmMain_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_KEYDOWN:
        if (wparam == VK_ESCAPE) DestroyWindow(hwnd);
        return 0;
    case WM_NCDESTROY: app::untrack_window(app::Window::Widget); break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

} // namespace

void load_frmMain() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = frmMain_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    window_class.lpszClassName = L"frmMain";
    RegisterClassW(&window_class);
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, L"frmMain", L"Quillock", WS_POPUP | WS_BORDER, 200, 200, 85, 85,
                                nullptr, nullptr, instance, nullptr);
    if (hwnd) app::track_window(app::Window::Widget, hwnd);
}

} // namespace widget
