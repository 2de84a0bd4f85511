#pragma once
// Handing things to other programs: a web address to the user's default
// handler, a file to a program of the system. Neither waits for the program.
//
// Nothing is ever started by a bare name: the program runs from a folder
// others can write to (a stick, Downloads), and Windows looks for a bare
// program name in the exe's own folder first, while the shell takes an
// address without a scheme ("www.example.com") for a file name first, and a
// ".com" name is a program (platform/web_address.h).
#include "platform/unique_handle.h"

#include <string>
#include <string_view>

namespace platform {

// Opens absolute_web_address(address) with the default handler, no owner
// and a normal window. False when there is no such address, or when the
// shell reports that it opened nothing (no browser, no association): the
// user is then told so in a message box.
bool open_web_address(std::string_view address);

// Starts `program` (a file name such as L"notepad.exe") from the system
// folder (System32) by its full path, with `file` quoted as its only
// argument, in a window of `show_command`, without waiting. The started
// process, or an empty handle when none started.
unique_kernel_handle start_system_program(std::wstring_view program, const std::string& file, int show_command);

// COM on the UI thread, in the single-threaded apartment the shell's
// extensions need, for the life of the object (the Remarks of
// ShellExecuteEx ask for it before the shell is used).
class ShellApartment {
public:
    ShellApartment();
    ~ShellApartment();
    ShellApartment(const ShellApartment&) = delete;
    ShellApartment& operator=(const ShellApartment&) = delete;

private:
    bool initialised_;
};

} // namespace platform
