#pragma once
// The print list on the screen: Print opens the print file in Notepad, and
// it leaves the screen again when its owner steps away or the stick goes.

namespace qlk_access {

// Opens the print file in the system's Notepad; false when none started.
bool open_print_view();

// Closes every Notepad that shows the print file, edited or not: those
// opened here, and, when Print opened the list since the last close, any
// other whose title names the file (on Windows 11 the system's Notepad hands
// the file on to the newer one, another process). Notepads that show other
// files stay as they are.
void close_print_views();

} // namespace qlk_access
