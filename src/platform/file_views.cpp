#include "platform/file_views.h"

#include "platform/unique_handle.h"

#include <iterator>

namespace platform {
namespace {

bool same_ignoring_case(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

// Notepad, whichever: the system's own, or (on Windows 11) the newer one in
// a folder of its own to which the system's hands the file.
bool is_notepad(DWORD process_id) {
    const unique_kernel_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
    if (!process) return false; // a process of another user or a higher level: never ours to close
    wchar_t path[MAX_PATH * 2];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size)) return false;
    const std::wstring_view image(path, size);
    const std::size_t slash = image.find_last_of(L"\\/");
    return same_ignoring_case(image.substr(slash == std::wstring_view::npos ? 0 : slash + 1), L"notepad.exe");
}

// GetWindowText reads another process's caption without sending it a
// message: a hung Notepad does not stop the search.
BOOL CALLBACK close_if_it_shows_the_file(HWND window, LPARAM lparam) {
    const std::wstring_view file_name = *reinterpret_cast<const std::wstring_view*>(lparam);
    wchar_t title[512];
    const int length = GetWindowTextW(window, title, static_cast<int>(std::size(title)));
    if (length <= 0 || !title_names_file({title, static_cast<std::size_t>(length)}, file_name)) return TRUE;
    DWORD process_id = 0;
    GetWindowThreadProcessId(window, &process_id);
    if (is_notepad(process_id)) PostMessageW(window, WM_CLOSE, 0, 0); // posted: a hung Notepad does not stop ours
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

void close_views_of_file(const std::vector<HANDLE>& started, std::wstring_view file_name) {
    for (HANDLE process : started) TerminateProcess(process, 0); // one that has ended refuses, harmlessly
    EnumWindows(close_if_it_shows_the_file, reinterpret_cast<LPARAM>(&file_name));
}

} // namespace platform
