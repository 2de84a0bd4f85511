#pragma once
// Every window of the program exists at most once. Showing a window loads it
// when it is not loaded and otherwise brings it forward; closing a window that
// is not loaded does nothing. The run ends when no window is left.
#include "platform/window.h"

#include <windows.h>

#include <vector>

namespace ui {

enum class Window { Viewer, AddEntry, Startup, Widget, Password, About, MenuHost };

// Creates the window of that kind and runs its load handling. The window
// tracks itself while it exists; a load that fails closes it again. The
// program's top level supplies it, since only it knows every form.
using WindowLoader = void (*)(Window window);
void set_window_loader(WindowLoader loader);

// Called by each window when it is created and at WM_NCDESTROY.
void track_window(Window window, HWND hwnd, HACCEL accelerators = nullptr);
void untrack_window(Window window);

HWND find_window(Window window);
bool is_loaded(Window window);
bool any_window();
std::vector<HWND> loaded_windows();

// Loads the window (hidden) unless it is loaded; true when it is loaded afterwards.
bool load_window(Window window);
// Loads the window if needed, then shows it and brings it forward.
void show_window(Window window);
// Why a window closes. The user asked for it (a command, the exit sequence),
// or the owner stepped away: a close nobody asked for, which must take away
// only what the program itself left (its own copy on the clipboard), never
// what the user put anywhere.
enum class CloseCause : WPARAM { Asked = 0, OwnerAway = 1 };

// A close with its cause in wParam, in a message of the program's own:
// WM_CLOSE comes from the close box, the system and any other process alike,
// and carries none. A window whose close depends on the cause handles it.
inline constexpr UINT kCloseWithCause = platform::kCloseWithCauseMessage;

// Closes the window through its own close handling, if it is loaded: a close
// that was asked for as WM_CLOSE, any other as kCloseWithCause, and then as
// WM_CLOSE should the window have no handling of its own for that cause.
void close_window(Window window, CloseCause cause = CloseCause::Asked);

// For the message loop: accelerators and keyboard navigation of the open windows.
bool translate_for_windows(MSG& message);

} // namespace ui
