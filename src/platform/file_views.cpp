#include "platform/file_views.h"

#include "platform/unique_handle.h"

#include <algorithm>
#include <iterator>

namespace platform {
namespace {

bool same_ignoring_case(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

ULONGLONG as_number(FILETIME time) { return (ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime; }

// Notepad, whichever (the system's own, or on Windows 11 the newer one in a
// folder of its own, to which the system's hands the file), and started at
// `since` or later.
bool is_notepad_started_since(DWORD process_id, ULONGLONG since) {
    const unique_kernel_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process) return false; // a process of another user or a higher level: never ours to close
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process.get(), &created, &exited, &kernel, &user) || as_number(created) < since) return false;
    wchar_t path[MAX_PATH * 2];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size)) return false;
    const std::wstring_view image(path, size);
    const std::size_t slash = image.find_last_of(L"\\/");
    return same_ignoring_case(image.substr(slash == std::wstring_view::npos ? 0 : slash + 1), L"notepad.exe");
}

// A window on the screen that shows a file: shown, not one of a program's
// own boxes, titled.
struct View {
    HWND window;
    DWORD process_id;
    bool names_file;
};

struct Search {
    std::wstring_view file_name;
    std::vector<View> views;
};

// GetWindowText reads another process's caption without sending it a
// message: a hung Notepad does not stop the search.
BOOL CALLBACK collect_view(HWND window, LPARAM lparam) {
    auto& search = *reinterpret_cast<Search*>(lparam);
    if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
    wchar_t title[512];
    const int length = GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    if (length <= 0) return TRUE;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    search.views.push_back(
        {window, process_id, title_names_file({title, static_cast<std::size_t>(length)}, search.file_name)});
    return TRUE;
}

} // namespace

bool title_names_file(std::wstring_view title, std::wstring_view file_name) {
    if (title.starts_with(L'*')) title.remove_prefix(1);
    if (file_name.empty() || title.size() < file_name.size()) return false;
    if (!same_ignoring_case(title.substr(0, file_name.size()), file_name)) return false;
    const std::wstring_view rest = title.substr(file_name.size());
    return rest.empty() || rest.starts_with(L" - ");
}

void close_views_of_file(const std::vector<HANDLE>& started, std::wstring_view file_name, FILETIME shown_at) {
    Search search{file_name, {}};
    EnumWindows(collect_view, reinterpret_cast<LPARAM>(&search));
    const auto shows_other_file = [&](DWORD process_id) {
        return std::ranges::any_of(search.views,
                                   [&](const View& view) { return view.process_id == process_id && !view.names_file; });
    };
    // A started Notepad that shows only the list, or nothing yet (its window
    // not up): nothing in it is the user's.
    std::vector<DWORD> ended;
    for (HANDLE process : started) {
        const DWORD process_id = GetProcessId(process);
        if (shows_other_file(process_id)) continue;
        if (TerminateProcess(process, 0)) ended.push_back(process_id); // one that has ended refuses, harmlessly
    }
    const ULONGLONG since = as_number(shown_at);
    for (const View& view : search.views)
        if (view.names_file && std::ranges::find(ended, view.process_id) == ended.end() &&
            is_notepad_started_since(view.process_id, since))
            PostMessageW(view.window, WM_CLOSE, 0, 0); // posted: a hung Notepad does not stop ours
}

} // namespace platform
