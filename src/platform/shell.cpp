#include "platform/shell.h"

#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "platform/web_address.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace platform {
bool open_web_address(std::string_view address) {
    const std::optional<std::string> absolute = absolute_web_address(address);
    if (!absolute) return false;
    // A value above 32 is success; 32 or less names the failure (no browser,
    // no association, out of memory).
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, nullptr, to_wide(*absolute).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
    show_message("ERROR: the address could not be opened.\r\n" + *absolute +
                 " did not open in a web browser; check that Windows has a default web browser.");
    return false;
}

unique_kernel_handle start_system_program(std::wstring_view program, const std::string& file, int show_command) {
    const std::wstring folder = system_folder_wide();
    if (folder.empty()) return {};
    const std::wstring path = folder + L'\\' + std::wstring(program);
    // A path holds no quote, so quoting both parts is all the command line needs.
    std::wstring command_line = L'"' + path + L"\" \"" + to_wide(file) + L'"';
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show_command);
    PROCESS_INFORMATION process{};
    // The application name is the full path: with none, Windows would take
    // the first word of the command line and search for it, our folder first.
    if (!CreateProcessW(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return {};
    // The program runs on by itself: only our handle to its thread goes.
    unique_kernel_handle thread(process.hThread);
    return unique_kernel_handle(process.hProcess);
}

ShellApartment::ShellApartment()
    // S_FALSE (already initialised on this thread) needs its uninitialise too.
    // A failure leaves COM uninitialised: the shell then opens a plain web
    // address all the same, only extensions that need the apartment fail.
    : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ShellApartment::~ShellApartment() {
    if (initialised_) CoUninitialize();
}

} // namespace platform
