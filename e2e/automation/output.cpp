#include "automation.h"

#include <cstdio>
#include <cwchar>
#include <string>

namespace qlk_auto {

// Straight to the handle: the C runtime's text mode would turn LF into CR LF,
// which every script would then have to strip again.
static void write_raw(HANDLE handle, std::string_view bytes) {
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

static bool g_serve_mode = false;

void set_serve_mode(bool on) { g_serve_mode = on; }

// A multi-line text (the help) keeps its tag on every line.
static void write_tagged(HANDLE handle, const char* tag, std::string_view text) {
    std::string out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end == text.size() && start == end && start != 0) break; // text ended with a newline
        out += tag;
        out.append(text.substr(start, end - start));
        out += '\n';
        start = end + 1;
    }
    write_raw(handle, out);
}

void write_line(std::string_view utf8) {
    write_tagged(GetStdHandle(STD_OUTPUT_HANDLE), g_serve_mode ? "o " : "", utf8);
}

void write_result(int code) { write_raw(GetStdHandle(STD_OUTPUT_HANDLE), "r " + std::to_string(code) + "\n"); }

std::string rect_fields(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) + " " +
           std::to_string(r.bottom);
}

std::string hex_handle(HWND hwnd) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return text;
}

int fail(int code, std::string_view message) {
    const std::string text = "qlk_auto: " + std::string(message);
    if (g_serve_mode)
        write_tagged(GetStdHandle(STD_OUTPUT_HANDLE), "e ", text);
    else
        write_tagged(GetStdHandle(STD_ERROR_HANDLE), "", text);
    return code;
}

int parse_int(const std::wstring& text, int fallback) {
    if (text.empty()) return fallback;
    wchar_t* end = nullptr;
    const long value = std::wcstol(text.c_str(), &end, 0);
    return end && *end == 0 ? static_cast<int>(value) : fallback;
}

} // namespace qlk_auto
