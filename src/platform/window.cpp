#include "platform/window.h"

#include "platform/text.h"

#include <commctrl.h>

#include <iterator>
#include <string_view>

namespace platform {

int screen_dpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int scale(int pixels_at_96_dpi) { return MulDiv(pixels_at_96_dpi, screen_dpi(), 96); }

void place_controls(HWND parent, std::span<const ControlPlace> places) {
    for (const auto& place : places) {
        HWND control = GetDlgItem(parent, place.id);
        if (!control) continue;
        SetWindowPos(control, nullptr, scale(place.left), scale(place.top), scale(place.width), scale(place.height),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void set_client_size(HWND window, int width, int height) {
    RECT rect{0, 0, scale(width), scale(height)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&rect, style, GetMenu(window) != nullptr, ex_style);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

RECT work_area_of(HWND window) {
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    return monitor.rcWork;
}

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

void center_on_screen(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    const RECT work = work_area_of(window);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void keep_clear_of(HWND window, HWND other) {
    RECT rect{}, avoid{}, overlap{};
    if (!other || !IsWindowVisible(other) || !GetWindowRect(window, &rect) || !GetWindowRect(other, &avoid)) return;
    if (!IntersectRect(&overlap, &rect, &avoid)) return;
    const RECT work = work_area_of(window);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int gap = scale(8);
    // Each candidate keeps the other coordinate; the shortest move wins.
    const POINT candidates[] = {{avoid.right + gap, rect.top},
                                {avoid.left - gap - width, rect.top},
                                {rect.left, avoid.bottom + gap},
                                {rect.left, avoid.top - gap - height}};
    const POINT* best = nullptr;
    long best_distance = 0;
    for (const POINT& at : candidates) {
        const RECT moved{at.x, at.y, at.x + width, at.y + height};
        if (!contains(work, moved)) continue;
        const long distance = labs(at.x - rect.left) + labs(at.y - rect.top);
        if (!best || distance < best_distance) {
            best = &at;
            best_distance = distance;
        }
    }
    if (best) SetWindowPos(window, nullptr, best->x, best->y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void add_tooltip(HWND owner, int control_id, const std::string& text) {
    HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    std::wstring wide = to_wide(text);
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = owner;
    info.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(owner, control_id));
    info.lpszText = wide.data();
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

namespace {

std::wstring wide_text(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

std::string window_text(HWND window) { return to_ansi(wide_text(window)); }

void set_window_text(HWND window, const std::string& text) { SetWindowTextW(window, to_wide(text).c_str()); }

std::string item_text(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }

AnsiText item_text_checked(HWND dialog, int id) { return to_ansi_checked(wide_text(GetDlgItem(dialog, id))); }

void set_item_text(HWND dialog, int id, const std::string& text) { set_window_text(GetDlgItem(dialog, id), text); }

namespace {

constexpr wchar_t kHiddenOwnerClass[] = L"QuillockHiddenOwner";

LRESULT CALLBACK hidden_owner_proc(HWND owner, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    // Never shown, so there is nothing to close: a WM_CLOSE, which any
    // process can post, would take the owned window along without its own
    // close handling.
    case WM_CLOSE: return 0;
    case kReleaseOwnerMessage: DestroyWindow(owner); return 0;
    }
    return DefWindowProcW(owner, message, wparam, lparam);
}

bool is_hidden_owner(HWND window) {
    wchar_t name[std::size(kHiddenOwnerClass)] = {};
    return GetClassNameW(window, name, static_cast<int>(std::size(name))) &&
           std::wstring_view(name) == kHiddenOwnerClass;
}

} // namespace

void register_class_once(const wchar_t* name, WNDPROC procedure) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{sizeof window_class};
    if (GetClassInfoExW(instance, name, &window_class)) return;
    window_class = {sizeof window_class};
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.lpszClassName = name;
    RegisterClassExW(&window_class); // a failure shows as the failed creation of a window of the class
}

HWND create_hidden_owner() {
    register_class_once(kHiddenOwnerClass, hidden_owner_proc);
    // No tool-window style: the switcher lists an owned window as the last
    // active visible popup of its root owner, unless that owner is a tool
    // window. Never shown, the owner has no taskbar button or switcher entry
    // of its own either way.
    return CreateWindowExW(0, kHiddenOwnerClass, L"Quillock", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void release_hidden_owner(HWND owned) {
    // Posted: destroying an owner destroys the windows it owns, and the owned
    // window is being destroyed now. Should the post fail (a full queue), the
    // invisible owner stays until the process ends.
    if (HWND owner = GetWindow(owned, GW_OWNER); owner && is_hidden_owner(owner))
        PostMessageW(owner, kReleaseOwnerMessage, 0, 0);
}

void bring_forward(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

} // namespace platform
