#pragma once
// The print list: Print opens the print file in Notepad; the list leaves the
// screen again when its owner steps away or the stick goes, and its file goes
// at every end of a run and at the next start.
#include <string>
#include <vector>

namespace qlk_access {

// Opens the print file in the system's Notepad; false when none started.
bool open_print_view();

// Takes the list off the screen, once Print has opened it since the last
// close: the Notepad that Print started ends, edited or not, while its title
// still names the print file; any other Notepad whose title names it and
// that started after that Print (on Windows 11 the system's Notepad hands
// the file on to the newer one, another process) is asked to close as its
// close box does. A Notepad that already ran at the Print, or that shows
// another file (the one Print started included, once the user opened
// another file in it), stays as it is.
void close_print_views();

// Zeroes and deletes the print list in every place a run may have left it
// (print_file_places), waiting out a short hold by another program. The
// places that still hold the list in plain text. Calls KERNEL32 alone.
std::vector<std::string> wipe_print_files();

// Tells the user, in one message, that these places still hold the list.
void tell_print_files_left(const std::vector<std::string>& places);

} // namespace qlk_access
