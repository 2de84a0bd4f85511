#pragma once
// Registration of the program in the current user's Run key, so that Windows
// starts it at logon: value name = the executable's name without extension,
// data = the program's full path in double quotes (REG_SZ). Names and paths
// are wide: a folder with characters outside the code page is named exactly.
#include <windows.h>

#include <string>

namespace qlk_access {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// True when the Run key can be read and holds a value of that name, of any type.
bool WillRunAtStartup(const std::wstring& name);

// Registers (enable) or unregisters the program. Failures are shown in a message box.
void SetRunAtStartup(const std::wstring& name, const std::wstring& folder, bool enable);

// The same under any root, returning the message to show ("" when all went
// well) instead of showing it.
std::string set_run_at_startup_under(HKEY root, const std::wstring& name, const std::wstring& folder, bool enable);

// The value data: "<folder>\<name>.exe" in double quotes.
std::wstring run_command_line(const std::wstring& name, const std::wstring& folder);

} // namespace qlk_access
