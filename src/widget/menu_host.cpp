// The hidden window "Menu": it owns mnuMain, receives the picked item and
// runs the exit sequence.
#include "widget/menu_host.h"

#include "access/entry_password.h"
#include "access/print_view.h"
#include "access/run_state.h"
#include "ui/window_registry.h"
#include "platform/window_state.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "widget/away_watch.h"
#include "widget/form_position.h"

namespace widget {
namespace {

constexpr wchar_t kHostClass[] = L"QuillockMenuHost";

struct Host {
    platform::unique_hmenu menu;
};

Host* host_of(HWND host) { return platform::window_state<Host>(host); }

bool g_exit_running = false;

LRESULT CALLBACK Menu_proc(HWND host, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_NCCREATE: ui::track_window(ui::Window::MenuHost, host); break;
    case WM_COMMAND:
        // The popup posts the picked item, so it runs after the press that opened it has been handled.
        if (HIWORD(wparam) == 0) run_mnuMain_item(LOWORD(wparam));
        return 0;
    case WM_NCDESTROY:
        platform::detach_window_state<Host>(host);
        ui::untrack_window(ui::Window::MenuHost);
        break;
    }
    return DefWindowProcW(host, message, wparam, lparam);
}

} // namespace

void load_Menu() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    platform::register_class_once(kHostClass, Menu_proc);
    // Never shown: a tool window so that not even a hidden taskbar entry exists.
    HWND host = CreateWindowExW(WS_EX_TOOLWINDOW, kHostClass, L"Menu", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                                nullptr);
    if (!host) return;
    platform::attach_window_state(
        host, std::make_unique<Host>(platform::unique_hmenu(LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MNUMAIN)))));
}

HMENU mnuMain() {
    const Host* state = host_of(ui::find_window(ui::Window::MenuHost));
    return state ? state->menu.get() : nullptr;
}

void popup_mnuMain(POINT at) {
    if (!ui::load_window(ui::Window::MenuHost)) return;
    HWND host = ui::find_window(ui::Window::MenuHost);
    HMENU popup = GetSubMenu(mnuMain(), 0);
    if (!popup) return;
    // A menu owned by a hidden window closes properly only when its owner is
    // the foreground window and gets a message after the popup returns.
    SetForegroundWindow(host);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, host, nullptr);
    PostMessageW(host, WM_NULL, 0, 0);
    // The keyboard goes back to the widget, not to the hidden host: a pick or
    // Escape leaves the user where the menu came from. A picked item's window
    // (posted, so it runs after this) then comes forward over it.
    if (HWND widget = ui::find_window(ui::Window::Widget)) SetForegroundWindow(widget);
}

void run_mnuMain_item(UINT item) {
    switch (item) {
    case IDM_ABOUT: ui::show_window(ui::Window::About); break;
    case IDM_ADD: ui::show_window(ui::Window::AddEntry); break;
    case IDM_CONFIG_STARTUP: ui::show_window(ui::Window::Startup); break;
    case IDM_VIEW: qlk_access::run_viewer_gate(); break;
    case IDM_EXIT: run_exit_sequence(); break;
    }
}

void run_exit_sequence() {
    if (g_exit_running) return;
    g_exit_running = true;
    if (HWND widget = ui::find_window(ui::Window::Widget)) save_widget_position(widget);
    // Each window closes through its own close handling; one that stays open
    // does not keep the next from closing.
    for (ui::Window window : {ui::Window::Viewer, ui::Window::AddEntry, ui::Window::Startup, ui::Window::Widget,
                              ui::Window::Password, ui::Window::About, ui::Window::MenuHost})
        ui::close_window(window);
    // The print list promises that its file goes at exit, not only at the
    // next start. A list that another program keeps from going is the
    // user's to know of now: the run ends (after a run that ended unasked no
    // box comes up, and the next start tells).
    qlk_access::tell_print_files_left(remove_traces());
    g_exit_running = false;
}

void end_run_unasked() {
    if (g_exit_running) return;
    owner_stepped_away();
    // Every other box ends as cancelled while its owner is still there (the
    // gate's, the entry dialog's, a message of any window; one shown while
    // none of ours was active has no owner at all), and nothing that would
    // follow from its cancellation comes up once the handler waiting on it
    // goes on: no window would be left to own it.
    platform::end_boxes_for_the_run(ui::loaded_windows());
    run_exit_sequence();
}

std::vector<std::string> remove_traces() {
    // Before the drive is known the print file's path names the default
    // drive, and a second copy that ends at once has no print file at all:
    // what lies there is another run's.
    std::vector<std::string> left;
    if (qlk_access::run_state().drive_known) left = qlk_access::wipe_print_files();
    platform::clear_clipboard_if_ours(nullptr);
    return left;
}

bool exit_sequence_running() { return g_exit_running; }

} // namespace widget
