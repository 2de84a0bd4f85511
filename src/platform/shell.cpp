#include "platform/shell.h"

#include "platform/text.h"
#include "platform/unique_handle.h"

#include <windows.h>

#include <shellapi.h>

namespace platform {

void open_with_default_handler(const std::string& target) {
    ShellExecuteW(nullptr, nullptr, to_wide(target).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool start_program(const std::string& command_line, int show_command) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show_command);
    PROCESS_INFORMATION process{};
    std::wstring writable = to_wide(command_line); // CreateProcessW may write into the command line
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The program runs on by itself: only our handles to it go.
    unique_kernel_handle thread(process.hThread);
    unique_kernel_handle started(process.hProcess);
    return true;
}

} // namespace platform
