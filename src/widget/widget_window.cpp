// frmMain and its picture control picMainSkin. The window is cut to the opaque
// pixels of the skin, so the desktop shows around the keys and clicks there
// go to whatever lies below.
#include "widget/widget_window.h"

#include "ui/window_registry.h"
#include "platform/accessible.h"
#include "platform/window_state.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "widget/away_watch.h"
#include "widget/drive_watch.h"
#include "widget/form_position.h"
#include "widget/menu_host.h"
#include "widget/skin_picture.h"

#include <windows.h>
#include <windowsx.h>

#include <oleacc.h>

#include <memory>

namespace widget {
namespace {

constexpr wchar_t kWidgetClass[] = L"frmMain";
constexpr wchar_t kSkinClass[] = L"QuillockSkin";
constexpr char kSkinTip[] = "Double click or right mouse down for the menu...";

// picMainSkin's state: the persistent image it paints.
struct Skin {
    SkinImage image;
};

Skin* skin_of(HWND skin) { return platform::window_state<Skin>(skin); }

void take_out_of_topmost(HWND widget) { SetWindowPos(widget, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

// Runs the captured mouse messages of the skin until the button goes up or
// on_move (given each new pointer position) asks to stop.
template <typename OnMove> void track_captured_mouse(HWND skin, UINT up_message, OnMove on_move) {
    SetCapture(skin);
    while (GetCapture() == skin) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
            WaitMessage();
            continue;
        }
        if (message.message == up_message) break;
        if (message.message == WM_MOUSEMOVE && !on_move(message.pt)) break;
    }
    if (GetCapture() == skin) ReleaseCapture();
}

// Waits, with the mouse captured, until the button goes up (false) or the
// pointer leaves the drag rectangle around `start` (true). A press that never
// leaves the rectangle is a click, so that a second click still arrives as a
// double click. The left button has the system's own test.
bool pointer_leaves_drag_rect(HWND skin, POINT start, UINT button, UINT up_message) {
    if (button == VK_LBUTTON) return DragDetect(skin, start) != FALSE;
    if (!(GetKeyState(static_cast<int>(button)) & 0x8000)) return false;
    const int dx = GetSystemMetrics(SM_CXDRAG);
    const int dy = GetSystemMetrics(SM_CYDRAG);
    const RECT rect{start.x - dx, start.y - dy, start.x + dx + 1, start.y + dy + 1};
    bool left = false;
    track_captured_mouse(skin, up_message, [&](POINT at) {
        left = !PtInRect(&rect, at);
        return !left;
    });
    return left;
}

// The system's move follows the left button only; the other buttons move the
// widget here until they go up.
void follow_pointer(HWND skin, HWND widget, POINT start, UINT up_message) {
    RECT place{};
    GetWindowRect(widget, &place);
    track_captured_mouse(skin, up_message, [&](POINT at) {
        SetWindowPos(widget, nullptr, place.left + at.x - start.x, place.top + at.y - start.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return true;
    });
}

// Any button drags the widget; the right button then pops up the menu.
void on_press(HWND skin, LPARAM where, UINT button, UINT up_message) {
    HWND widget = GetParent(skin);
    SetFocus(skin);
    POINT start{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    ClientToScreen(skin, &start);
    if (pointer_leaves_drag_rect(skin, start, button, up_message)) {
        if (button == VK_LBUTTON) {
            // The system's move starts from where the pointer is now: catch up
            // first, so that the grabbed spot stays under the pointer.
            POINT now{};
            GetCursorPos(&now);
            RECT place{};
            GetWindowRect(widget, &place);
            SetWindowPos(widget, nullptr, place.left + now.x - start.x, place.top + now.y - start.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            ReleaseCapture();
            SendMessageW(widget, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        } else {
            follow_pointer(skin, widget, start, up_message);
        }
    }
    if (button == VK_RBUTTON) {
        POINT at{};
        GetCursorPos(&at);
        popup_mnuMain(at);
    }
}

// Shift+F10 and the Menu key open the menu over the widget, as a right press
// does; so does Enter, as on a menu button.
bool is_menu_key(UINT message, WPARAM key) {
    if (message == WM_KEYDOWN && key == VK_APPS) return true;
    return (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000);
}

void popup_at_widget(HWND widget) {
    RECT place{};
    GetWindowRect(widget, &place);
    popup_mnuMain({(place.left + place.right) / 2, (place.top + place.bottom) / 2});
}

// What a screen reader says of the skin, a picture that has the keyboard.
const platform::AccessibleFacts& skin_facts() {
    static const platform::AccessibleFacts facts{
        .name = L"Quillock",
        .description = L"Shift+F10 or the Menu key opens the menu",
        .keyboard_shortcut = L"Shift+F10",
        .default_action = L"Open the menu",
        .role = ROLE_SYSTEM_BUTTONMENU,
        .default_action_message = platform::kOpenMenuMessage,
    };
    return facts;
}

void paint_skin(HWND skin) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(skin, &paint);
    if (const Skin* state = skin_of(skin); state && state->image) {
        platform::unique_memory_dc image_dc(CreateCompatibleDC(dc));
        const platform::selected_object image(image_dc.get(), state->image.bitmap());
        BitBlt(dc, 0, 0, state->image.width(), state->image.height(), image_dc.get(), 0, 0, SRCCOPY);
    }
    EndPaint(skin, &paint);
}

LRESULT CALLBACK picMainSkin_proc(HWND skin, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCDESTROY: platform::detach_window_state<Skin>(skin); break;
    case WM_GETOBJECT:
        if (LRESULT result = 0; platform::answer_get_object(skin, wparam, lparam, skin_facts(), &result)) return result;
        break;
    case platform::kOpenMenuMessage: popup_at_widget(GetParent(skin)); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: paint_skin(skin); return 0;
    case WM_LBUTTONDOWN: on_press(skin, lparam, VK_LBUTTON, WM_LBUTTONUP); return 0;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: on_press(skin, lparam, VK_MBUTTON, WM_MBUTTONUP); return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: on_press(skin, lparam, VK_RBUTTON, WM_RBUTTONUP); return 0;
    case WM_LBUTTONDBLCLK: {
        POINT at{};
        GetCursorPos(&at);
        popup_mnuMain(at);
        return 0;
    }
    // Escape must reach the skin, not the dialog keyboard handling of the message loop.
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_SYSKEYDOWN:
        if (!is_menu_key(message, wparam)) break;
        popup_at_widget(GetParent(skin));
        return 0;
    case WM_KEYDOWN:
        if (is_menu_key(message, wparam)) popup_at_widget(GetParent(skin));
        // After the character Enter has queued, which the menu would take as a choice of nothing.
        if (wparam == VK_RETURN) PostMessageW(skin, platform::kOpenMenuMessage, 0, 0);
        if (wparam == VK_ESCAPE) {
            // Ends at once: nothing is saved and no window's close handling
            // runs. Only the plain passwords go along.
            take_out_of_topmost(GetParent(skin));
            remove_traces();
            ExitProcess(0);
        }
        return 0;
    }
    return DefWindowProcW(skin, message, wparam, lparam);
}

LRESULT CALLBACK frmMain_proc(HWND widget, UINT message, WPARAM wparam, LPARAM lparam) {
    if (LRESULT result = 0; on_drive_message(message, wparam, lparam, result)) return result;
    if (LRESULT result = 0; on_away_message(widget, message, wparam, lparam, result)) return result;
    switch (message) {
    case WM_NCCREATE:
        ui::track_window(ui::Window::Widget, widget,
                         LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_FRMMAIN)));
        break;
    case WM_COMMAND:
        if (HIWORD(wparam) == 1) run_mnuMain_item(LOWORD(wparam)); // F1, Ctrl+F
        return 0;
    case WM_SETFOCUS:
        // The skin holds the keyboard whenever the widget is active.
        if (HWND skin = GetDlgItem(widget, IDC_WIDGET_SKIN)) SetFocus(skin);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
    case WM_KEYUP:
        if (wparam == VK_ESCAPE) {
            take_out_of_topmost(widget);
            run_exit_sequence();
        }
        return 0;
    case WM_CLOSE:
        // The system's close (Alt+F4, the close of its Alt+Tab entry) ends
        // the run as Exit does, the viewer going as at a step away: the
        // watches over the owner's absence and the drive are the widget's,
        // and the menu that reaches every other window is too. An add-entry,
        // About or Startup window left without them would stay on the screen
        // through a lock or a pulled stick.
        if (!exit_sequence_running()) {
            end_run_unasked();
            return 0;
        }
        save_widget_position(widget);
        DestroyWindow(widget);
        return 0;
    case WM_DESTROY:
        stop_away_watch(widget);
        save_widget_position(widget);
        // The menu host serves only the widget: left alone it would keep an
        // invisible run alive once the other windows close.
        if (!exit_sequence_running()) ui::close_window(ui::Window::MenuHost);
        return 0;
    case WM_ENDSESSION:
        // The session ends (log off, shut down): the process may be ended
        // without any window closing.
        if (wparam) remove_traces();
        return 0;
    case WM_NCDESTROY:
        ui::untrack_window(ui::Window::Widget);
        platform::release_hidden_owner(widget);
        break;
    }
    return DefWindowProcW(widget, message, wparam, lparam);
}

void register_classes(HINSTANCE instance) {
    WNDCLASSEXW window_class{sizeof window_class};
    if (GetClassInfoExW(instance, kWidgetClass, &window_class)) return;
    window_class = {sizeof window_class};
    window_class.lpfnWndProc = frmMain_proc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_QUILLOCK));
    window_class.lpszClassName = kWidgetClass;
    RegisterClassExW(&window_class);

    window_class.style = CS_DBLCLKS;
    window_class.lpfnWndProc = picMainSkin_proc;
    window_class.hIcon = nullptr;
    window_class.lpszClassName = kSkinClass;
    RegisterClassExW(&window_class);
}

} // namespace

void load_frmMain() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    register_classes(instance);
    constexpr int kLayoutSize = 85; // the layout's size until the skin sizes the window
    // Off the taskbar but in Alt+Tab, so that a keyboard user can come back
    // to it: a window with an owner gets no taskbar button, and unlike a tool
    // window it stays in the switcher. The owner itself is never shown.
    HWND owner = platform::create_hidden_owner();
    if (!owner) return;
    HWND widget = CreateWindowExW(0, kWidgetClass, L"Quillock", WS_POPUP | WS_CLIPCHILDREN, 0, 0, kLayoutSize,
                                  kLayoutSize, owner, nullptr, instance, nullptr);
    if (!widget) {
        DestroyWindow(owner);
        return;
    }

    // The skin keeps the picture's own pixel size at every DPI: it is a bitmap.
    auto state = std::make_unique<Skin>(SkinImage::from_resource(instance, IDB_SKIN));
    const int width = state->image ? state->image.width() : kLayoutSize;
    const int height = state->image ? state->image.height() : kLayoutSize;
    platform::unique_hrgn region = CreateSkinRegion(state->image);
    if (HWND skin = CreateWindowExW(0, kSkinClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, width, height, widget,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WIDGET_SKIN)), instance, nullptr))
        platform::attach_window_state(skin, std::move(state));
    SetWindowPos(widget, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);

    // Without a region (a skin of one colour) the widget keeps its full rectangle.
    if (region && SetWindowRgn(widget, region.get(), TRUE)) region.release(); // the window owns it now

    restore_widget_position(widget);
    platform::add_tooltip(widget, IDC_WIDGET_SKIN, kSkinTip);
    start_away_watch(widget);
    start_drive_watch();
    watch_eject(widget);
}

} // namespace widget
