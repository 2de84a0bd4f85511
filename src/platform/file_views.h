#pragma once
// The windows of other programs that show a file of the program's: the print
// list in Notepad has to leave the screen when its owner does.
#include <windows.h>

#include <string_view>
#include <vector>

namespace platform {

// True when a window title names `file_name` as Notepad names the file it
// shows: "temp.dat - Notepad", "*temp.dat - Notepad" once edited, the rest
// in the system's language; letter case aside.
bool title_names_file(std::wstring_view title, std::wstring_view file_name);

// Takes the file off the screen, as far as it is the program's to take.
// Each process of `started` (a Notepad the program started on the file)
// ends at once, edited or not, while its window's title still names
// `file_name`; once the user has opened another file in it, it is left as
// any other Notepad. Every other Notepad window whose title names the file
// and whose process started at `shown_at` or later is asked to close as its
// close box does: one that holds unsaved typing asks to save it, so nothing
// typed is lost. A Notepad that ran before (the user's own file of that
// name, or a window of the user's in which Windows 11's Notepad opened the
// file as a tab) and Notepads that show other files are left alone.
void close_views_of_file(const std::vector<HANDLE>& started, std::wstring_view file_name, FILETIME shown_at);

} // namespace platform
