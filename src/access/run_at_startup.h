#pragma once
// Registration of the program in the current user's Run key, so that Windows
// starts it at logon: value name = the executable's name without extension,
// data = the program's full path in double quotes (REG_SZ, ANSI).
#include <windows.h>

#include <string>

namespace qlk_access {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// True when the Run key can be read and holds a value of that name, of any type.
bool WillRunAtStartup(const std::string& name);

// Registers (enable) or unregisters the program. Failures are shown in a message box.
void SetRunAtStartup(const std::string& name, const std::string& folder, bool enable);

// The same under any root, returning the message to show ("" when all went
// well) instead of showing it.
std::string set_run_at_startup_under(HKEY root, const std::string& name, const std::string& folder, bool enable);

// The value data: "<folder>\<name>.exe" in double quotes.
std::string run_command_line(const std::string& name, const std::string& folder);

} // namespace qlk_access
