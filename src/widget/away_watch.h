#pragma once
// The owner steps away from the desk: the session is locked or disconnected,
// the computer goes to sleep, the screen turns off, or no keyboard or mouse
// input has reached the system for LockMinutes. The password viewer then
// closes, and the print file goes, whether or not the viewer is open, with
// the Notepad that shows it (one that shows another file stays). The
// clipboard is emptied only while it still holds the program's own copy:
// unlike "Clear Clipboard && Close", a close the user did not ask for leaves
// what the user copied elsewhere. The widget watches, and the viewer goes
// with it when it is closed; the add-entry dialog and the widget itself stay
// as they are at a step away.
#include <windows.h>

namespace widget {

// Registers the widget for the session's lock and disconnect notices and the
// state of the session's display, and starts the one-second check of the idle time;
// the idle time counts from now at the earliest.
void start_away_watch(HWND widget);
// Unregisters; for the widget's WM_DESTROY.
void stop_away_watch(HWND widget);

// The widget's share of the messages that tell of a step away; true when
// `message` was one of them, with the window procedure's result in `result`.
bool on_away_message(HWND widget, UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);

// What a step away does. The viewer's own modal boxes (an Edit input box, the
// colour dialog, a message of its) end first as cancelled, so that nothing
// half typed is saved and a handler waiting on a box finds the viewer gone.
void owner_stepped_away();

// The call that registers a window for the session's notices:
// WTSRegisterSessionNotification, unless a test puts its own in (nullptr puts
// it back). Only Windows makes the system's call fail (at logon, before the
// services it needs have started).
using SessionRegistration = BOOL(WINAPI*)(HWND window, DWORD flags);
void set_session_registration(SessionRegistration registration);

// The call that registers a window for a power setting's notices:
// RegisterPowerSettingNotification, unless a test puts its own in.
using DisplayRegistration = HPOWERNOTIFY(WINAPI*)(HANDLE recipient, LPCGUID setting, DWORD flags);
void set_display_registration(DisplayRegistration registration);

} // namespace widget
