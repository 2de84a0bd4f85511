#include "automation.h"

#include <cwctype>
#include <map>

namespace qlk_auto {
namespace {

constexpr DWORD kPollMs = 20;

// The drive letter of a process's image path; 0 when it cannot be read.
wchar_t image_drive(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return 0;
    wchar_t path[MAX_PATH * 2];
    DWORD size = static_cast<DWORD>(std::size(path));
    wchar_t drive = 0;
    if (QueryFullProcessImageNameW(process, 0, path, &size) && size >= 2 && path[1] == L':')
        drive = static_cast<wchar_t>(std::towupper(path[0]));
    CloseHandle(process);
    return drive;
}

struct Search {
    const Selector* selector;
    std::map<DWORD, wchar_t> drives; // one image query per process
    std::vector<HWND> found;
};

bool matches(HWND hwnd, Search& search) {
    const Selector& s = *search.selector;
    if (!s.include_hidden && !IsWindowVisible(hwnd)) return false;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (s.pid && pid != s.pid) return false;
    if (!s.class_name.empty() && class_of(hwnd) != s.class_name) return false;
    if (!s.any_title) {
        const std::wstring title = window_text(hwnd);
        if (s.title_is_prefix ? title.compare(0, s.title.size(), s.title) != 0 : title != s.title) return false;
    }
    if (s.drive) {
        auto known = search.drives.find(pid);
        if (known == search.drives.end()) known = search.drives.emplace(pid, image_drive(pid)).first;
        if (known->second != s.drive) return false;
    }
    return true;
}

BOOL CALLBACK collect(HWND hwnd, LPARAM lparam) {
    auto& search = *reinterpret_cast<Search*>(lparam);
    if (matches(hwnd, search)) search.found.push_back(hwnd);
    return TRUE;
}

} // namespace

std::wstring window_text(HWND hwnd) {
    wchar_t text[1024];
    const int length = GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
    return std::wstring(text, static_cast<size_t>(length > 0 ? length : 0));
}

std::wstring class_of(HWND hwnd) {
    wchar_t name[256];
    const int length = GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
    return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

std::string describe_window(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    return hex_handle(hwnd) + " " + std::to_string(pid) + " " + (IsWindowVisible(hwnd) ? "1" : "0") + " " +
           escape(class_of(hwnd)) + "\t" + escape(window_text(hwnd));
}

bool control_text(HWND control, std::wstring* text) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return false;
    std::wstring buffer(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(control, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 2000, &copied))
        return false;
    buffer.resize(copied);
    *text = std::move(buffer);
    return true;
}

namespace {
struct ControlSearch {
    int id;
    HWND found;
};
BOOL CALLBACK match_id(HWND child, LPARAM lparam) {
    auto& search = *reinterpret_cast<ControlSearch*>(lparam);
    if (GetDlgCtrlID(child) != search.id) return TRUE;
    search.found = child;
    return FALSE;
}
} // namespace

HWND find_control(HWND window, int id) {
    if (HWND direct = GetDlgItem(window, id)) return direct;
    ControlSearch search{id, nullptr};
    EnumChildWindows(window, match_id, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> find_windows(const Selector& selector) {
    if (selector.hwnd) {
        if (IsWindow(selector.hwnd) && (selector.include_hidden || IsWindowVisible(selector.hwnd)))
            return {selector.hwnd};
        return {};
    }
    Search search{&selector, {}, {}};
    EnumWindows(collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND wait_for_window(const Selector& selector, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        const auto found = find_windows(selector);
        if (!found.empty()) return found.front();
        if (GetTickCount64() >= deadline) return nullptr;
        Sleep(kPollMs);
    }
}

bool wait_until_gone(const Selector& selector, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    for (;;) {
        if (find_windows(selector).empty()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(kPollMs);
    }
}

} // namespace qlk_auto
