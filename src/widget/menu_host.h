#pragma once
// Menu: the never-shown window that hosts mnuMain, the widget's popup menu,
// and the exit sequence that ends a run in order.
#include <windows.h>

#include <string>
#include <vector>

namespace widget {

void load_Menu();

// Pops up mnuMain at a screen point, loading the host on first use. The
// picked item runs once the popup has closed.
void popup_mnuMain(POINT at);

// Runs an item of mnuMain as a pick from the popup does; the widget's
// shortcut keys come here too.
void run_mnuMain_item(UINT item);

// The loaded host's menu bar; its only submenu is the popup. Null when not loaded.
HMENU mnuMain();

// Saves the widget position, then closes Viewer, AddEntry, Startup, Widget,
// Password, About and the menu host in that order. A window that does not
// close does not stop the sequence.
void run_exit_sequence();
bool exit_sequence_running();

// The run ends without the menu's Exit: the program's drive has gone, or the
// widget was closed by the system. The viewer goes as at a step away (its
// open box cancelled, nothing half typed saved), then the exit sequence
// runs, then a box that no window owned is cancelled.
void end_run_unasked();

// What no way out of a run may leave behind: the print file (on the run's
// own drive, or in the user's temporary folder for a sealed vault), which
// holds every password in plain text, and a password the program put on the
// clipboard (unless something else has been copied since). For every end of
// the program: the exit sequence, Escape on the keys, the end of the last
// window, the end of the session. The places where the print list is still
// there in plain text, held by another program.
std::vector<std::string> remove_traces();

} // namespace widget
