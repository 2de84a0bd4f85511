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

// Takes the file off the screen. Each process of `started` (a Notepad the
// program started on the file: it shows nothing of the user's) that still
// runs ends at once, edited or not. Every other Notepad window whose title
// names `file_name` is asked to close as its close box does: one that holds
// unsaved typing asks to save it, so nothing typed is lost. Notepads that
// show other files are left alone.
void close_views_of_file(const std::vector<HANDLE>& started, std::wstring_view file_name);

} // namespace platform
