#pragma once
// Handing things to other programs: a web address to the user's default
// handler, a command line to a new process. Neither waits for the program.
#include <string>

namespace platform {

// ShellExecute with no owner, the default verb and a normal window. What the
// shell then does is not looked at.
void open_with_default_handler(const std::string& target);

// Starts the command line (program name searched for as the system does) in a
// window of `show_command`, without waiting. False when no process started.
bool start_program(const std::string& command_line, int show_command);

} // namespace platform
