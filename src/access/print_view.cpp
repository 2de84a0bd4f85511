#include "access/print_view.h"

#include "access/run_state.h"
#include "platform/dialogs.h"
#include "platform/file_views.h"
#include "platform/files.h"
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
// When the first Print since the last close asked for its Notepad: a Notepad
// already running then shows something of the user's, whatever its title.
FILETIME g_shown_at{};

std::wstring print_file_name() {
    const std::wstring path = platform::to_wide(print_file_path());
    return path.substr(path.find_last_of(L'\\') + 1);
}

} // namespace

bool open_print_view() {
    FILETIME asked{};
    GetSystemTimeAsFileTime(&asked); // before the start: the new process's creation time is not earlier
    platform::unique_kernel_handle notepad =
        platform::start_system_program(L"notepad.exe", print_file_path(), SW_SHOWNORMAL);
    if (!notepad) return false;
    std::erase_if(opened(), [](const auto& process) { return WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT; });
    opened().push_back(std::move(notepad));
    if (!std::exchange(g_shown_since_close, true)) g_shown_at = asked;
    return true;
}

void close_print_views() {
    if (!std::exchange(g_shown_since_close, false)) return; // nothing of ours is on the screen
    std::vector<HANDLE> processes;
    for (const auto& process : opened()) processes.push_back(process.get());
    platform::close_views_of_file(processes, print_file_name(), g_shown_at);
    opened().clear();
}

std::vector<std::string> wipe_print_files() {
    std::vector<std::string> left;
    for (std::string& place : print_file_places())
        if (platform::wipe_and_delete_file(place) == platform::Wiped::TextLeft) left.push_back(std::move(place));
    return left;
}

void tell_print_files_left(const std::vector<std::string>& places) {
    if (places.empty()) return;
    std::string named = places.front();
    for (std::size_t i = 1; i < places.size(); ++i) named += " and " + places[i];
    platform::show_message("ERROR: the print file could not be deleted.\r\n" + named +
                           (places.size() > 1 ? " still hold" : " still holds") +
                           " every password in plain text: another program may have it open. Close that program, "
                           "then delete the file (Quillock deletes it at its next start).");
}

} // namespace qlk_access
