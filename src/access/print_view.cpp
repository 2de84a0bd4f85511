#include "access/print_view.h"

#include "access/run_state.h"
#include "platform/file_views.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/unique_handle.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace qlk_access {
namespace {

// The Notepads opened here that may still run: each Print opens one more.
std::vector<platform::unique_kernel_handle>& opened() {
    static std::vector<platform::unique_kernel_handle> processes;
    return processes;
}
// Print opened the list since the last close: only then may another
// Notepad that names the print file show it (the one a started Notepad
// handed it to); the user's own files of that name are left alone otherwise.
bool g_shown_since_close = false;

std::wstring print_file_name() {
    const std::wstring path = platform::to_wide(print_file_path());
    return path.substr(path.find_last_of(L'\\') + 1);
}

} // namespace

bool open_print_view() {
    platform::unique_kernel_handle notepad =
        platform::start_system_program(L"notepad.exe", print_file_path(), SW_SHOWNORMAL);
    if (!notepad) return false;
    std::erase_if(opened(), [](const auto& process) { return WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT; });
    opened().push_back(std::move(notepad));
    g_shown_since_close = true;
    return true;
}

void close_print_views() {
    if (!std::exchange(g_shown_since_close, false)) return; // nothing of ours is on the screen
    std::vector<HANDLE> processes;
    for (const auto& process : opened()) processes.push_back(process.get());
    platform::close_views_of_file(processes, print_file_name());
    opened().clear();
}

} // namespace qlk_access
