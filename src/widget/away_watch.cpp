#include "widget/away_watch.h"

#include "access/lock_setting.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "ui/window_registry.h"
#include "widget/menu_host.h"

#include <wtsapi32.h>

#include <algorithm>

namespace widget {
namespace {

// The idle check reads the clock once a second; the limit is read each time,
// so a changed LockMinutes holds from the next second.
constexpr UINT_PTR kIdleTimer = 1;
constexpr UINT kIdleCheckMs = 1000;

// The idle time counts from the later of the last input and the start of the
// watch: a run that has only just begun has its user at the desk.
ULONGLONG g_watch_start = 0;
// The last input of the idle stretch that closed the viewer already: one
// step away per stretch, until the next input.
ULONGLONG g_handled_input = 0;

void check_idle_time() {
    const int minutes = qlk_access::read_lock_minutes();
    if (minutes == 0) return; // never
    const ULONGLONG last_input = std::max(platform::last_input_ms(), g_watch_start);
    if (last_input == g_handled_input) return;
    if (platform::clock_ms() - last_input < static_cast<ULONGLONG>(minutes) * 60'000) return;
    g_handled_input = last_input;
    owner_stepped_away();
}

} // namespace

void start_away_watch(HWND widget) {
    g_watch_start = platform::clock_ms();
    g_handled_input = 0;
    WTSRegisterSessionNotification(widget, NOTIFY_FOR_THIS_SESSION); // without it sleep and idle still close the viewer
    SetTimer(widget, kIdleTimer, kIdleCheckMs, nullptr);
}

void stop_away_watch(HWND widget) {
    KillTimer(widget, kIdleTimer);
    WTSUnRegisterSessionNotification(widget);
}

bool on_away_message(UINT message, WPARAM wparam, LRESULT& result) {
    switch (message) {
    case WM_WTSSESSION_CHANGE:
        if (wparam == WTS_SESSION_LOCK || wparam == WTS_CONSOLE_DISCONNECT || wparam == WTS_REMOTE_DISCONNECT)
            owner_stepped_away();
        result = 0;
        return true;
    case WM_POWERBROADCAST:
        if (wparam == PBT_APMSUSPEND) owner_stepped_away();
        result = TRUE;
        return true;
    case WM_TIMER:
        if (wparam != kIdleTimer) return false;
        check_idle_time();
        result = 0;
        return true;
    }
    return false;
}

void owner_stepped_away() {
    if (HWND viewer = ui::find_window(ui::Window::Viewer)) {
        platform::cancel_boxes_owned_by(viewer);
        // Its close empties the clipboard only while it holds the viewer's own copy.
        ui::close_window(ui::Window::Viewer, ui::CloseCause::OwnerAway);
    }
    remove_traces(); // the print file, and a password of ours still on the clipboard
}

} // namespace widget
