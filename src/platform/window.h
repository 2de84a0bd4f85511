#pragma once
// Small helpers the forms share: pixel layout at the screen's real DPI,
// tool tips, and control texts in the ANSI code page.
#include "platform/text.h"

#include <windows.h>

#include <span>
#include <string>

namespace platform {

// The program's own window messages: one number for each meaning, so that a
// message that reaches the wrong window is never taken for another.
inline constexpr UINT kCloseWithCauseMessage = WM_APP + 1; // a form's close with its cause (ui/window_registry.h)
inline constexpr UINT kReleaseOwnerMessage = WM_APP + 2;   // a hidden owner's end, after the window it owned
inline constexpr UINT kOpenMenuMessage = WM_APP + 3;       // the widget's menu, asked for by a key or a screen reader
inline constexpr UINT kFollowLinkMessage = WM_APP + 4;     // a text link followed by a screen reader

// Sizes in the layouts are pixels at 96 dpi.
int screen_dpi();
int scale(int pixels_at_96_dpi);

struct ControlPlace {
    int id;
    int left, top, width, height;
};
void place_controls(HWND parent, std::span<const ControlPlace> places);
void set_client_size(HWND window, int width, int height);
// Centres the window on the work area of its monitor.
void center_on_screen(HWND window);
// Moves the window, keeping it in the work area, to the nearest spot beside
// `other` (right, left, below or above) when it covers `other`; stays where it
// is when `other` is missing or no such spot exists.
void keep_clear_of(HWND window, HWND other);

// A tool tip for one control of a window; the tip window goes with its owner.
void add_tooltip(HWND owner, int control_id, const std::string& text);

std::string window_text(HWND window);
void set_window_text(HWND window, const std::string& text);
std::string item_text(HWND dialog, int id);
// The same, telling also whether every character fits the code page.
AnsiText item_text_checked(HWND dialog, int id);
void set_item_text(HWND dialog, int id, const std::string& text);

// Brings a window to the front and gives it the keyboard.
void bring_forward(HWND window);

// Registers a plain window class of the program (no icon, cursor or
// background) under `name`, unless it is registered already.
void register_class_once(const wchar_t* name, WNDPROC procedure);

// A window that is never shown, made to own a top-level window of the
// program: an owned window gets no taskbar button but stays in Alt+Tab, and
// the owner, never shown, has no entry of its own anywhere. Null when it
// cannot be created.
HWND create_hidden_owner();
// For the owned window's WM_NCDESTROY: its hidden owner goes after it.
void release_hidden_owner(HWND owned);

} // namespace platform
