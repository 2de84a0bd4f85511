#include "widget/away_watch.h"

#include "access/lock_setting.h"
#include "access/print_view.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "ui/window_registry.h"
#include "widget/menu_host.h"

#include <wtsapi32.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace widget {
namespace {

// The widget's one-second timer of the idle check.
constexpr UINT_PTR kWatchTimer = 1;

// The idle check reads the clock each second, and a registration for the
// session's notices that has not held yet is tried again. The limit is read
// each time, so a changed LockMinutes holds from the next second.
constexpr UINT kWatchTickMs = 1000;

// The display's state, as winnt.h's GUID_SESSION_DISPLAY_STATUS and
// GUID_CONSOLE_DISPLAY_STATE (defined here so that no GUID library is
// needed): 0 off, 1 on, 2 dimmed. The session's display is the screen of the
// program's own session, which under Remote Desktop or a switched user is not
// the console's. The console's is registered only where the session's cannot
// be had: there the physical screen is the best the system tells.
constexpr GUID kSessionDisplayStatus{0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID kConsoleDisplayState{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kDisplayOff = 0;

// The idle time counts from the later of the last input and the start of the
// watch: a run that has only just begun has its user at the desk.
ULONGLONG g_watch_start = 0;
// The last input of the idle stretch that closed the viewer already: one
// step away per stretch, until the next input.
ULONGLONG g_handled_input = 0;

SessionRegistration g_registration = nullptr; // null: the system's
bool g_session_registered = false;
DisplayRegistration g_display_registration = nullptr; // null: the system's
HPOWERNOTIFY g_display_notices = nullptr;
const GUID* g_display_setting = nullptr; // the display setting registered for, if any

// Before the services that Remote Desktop Services depends on have started,
// the registration fails with RPC_S_INVALID_BINDING (its documented Remarks):
// at logon, which is when the Run key starts the program. Without it a lock
// would close nothing, so it is tried again each second until it holds.
void register_for_session_notices(HWND widget) {
    if (g_session_registered) return;
    const SessionRegistration registration = g_registration ? g_registration : WTSRegisterSessionNotification;
    g_session_registered = registration(widget, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

// Null where the system knows neither setting: sleep, lock and idle still close the viewer.
void register_for_display_notices(HWND widget) {
    const DisplayRegistration registration =
        g_display_registration ? g_display_registration : RegisterPowerSettingNotification;
    for (const GUID* setting : {&kSessionDisplayStatus, &kConsoleDisplayState}) {
        g_display_notices = registration(widget, setting, DEVICE_NOTIFY_WINDOW_HANDLE);
        if (g_display_notices) {
            g_display_setting = setting;
            return;
        }
    }
}

void check_idle_time() {
    const int minutes = qlk_access::read_lock_minutes();
    if (minutes == 0) return; // never
    const ULONGLONG last_input = std::max(platform::last_input_ms(), g_watch_start);
    if (last_input == g_handled_input) return;
    if (platform::clock_ms() - last_input < static_cast<ULONGLONG>(minutes) * 60'000) return;
    g_handled_input = last_input;
    owner_stepped_away();
}

// On a PC with Modern Standby the suspend notice comes only once the system
// really enters standby, seconds after the screen went dark, and not at all
// in the first minutes after logon: the display going off counts as sleep.
bool display_turned_off(LPARAM lparam) {
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lparam);
    if (!setting || !g_display_setting || setting->PowerSetting != *g_display_setting ||
        setting->DataLength < sizeof(DWORD))
        return false;
    DWORD state = 0;
    std::memcpy(&state, setting->Data, sizeof state);
    return state == kDisplayOff;
}

} // namespace

void start_away_watch(HWND widget) {
    g_watch_start = platform::clock_ms();
    g_handled_input = 0;
    g_session_registered = false;
    register_for_session_notices(widget);
    register_for_display_notices(widget);
    if (!SetTimer(widget, kWatchTimer, kWatchTickMs, nullptr)) {
        // Without the timer neither the idle limit nor a late registration
        // would ever hold: the run does not go on unwatched.
        platform::show_message("ERROR: Quillock could not start its watch over the idle time.\r\n"
                               "The program ends now.");
        PostMessageW(widget, WM_CLOSE, 0, 0); // the only window of the run by now: its close ends the run
    }
}

void stop_away_watch(HWND widget) {
    KillTimer(widget, kWatchTimer);
    if (std::exchange(g_session_registered, false)) WTSUnRegisterSessionNotification(widget);
    if (g_display_notices) UnregisterPowerSettingNotification(std::exchange(g_display_notices, nullptr));
    g_display_setting = nullptr;
}

bool on_away_message(HWND widget, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    switch (message) {
    case WM_WTSSESSION_CHANGE:
        if (wparam == WTS_SESSION_LOCK || wparam == WTS_CONSOLE_DISCONNECT || wparam == WTS_REMOTE_DISCONNECT)
            owner_stepped_away();
        result = 0;
        return true;
    case WM_POWERBROADCAST:
        if (wparam == PBT_APMSUSPEND || (wparam == PBT_POWERSETTINGCHANGE && display_turned_off(lparam)))
            owner_stepped_away();
        result = TRUE;
        return true;
    case WM_TIMER:
        if (wparam != kWatchTimer) return false;
        register_for_session_notices(widget);
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
    remove_traces();                 // the print file, and a password of ours still on the clipboard
    qlk_access::close_print_views(); // the list leaves the screen too, printed or not
}

void set_session_registration(SessionRegistration registration) { g_registration = registration; }

void set_display_registration(DisplayRegistration registration) { g_display_registration = registration; }

} // namespace widget
