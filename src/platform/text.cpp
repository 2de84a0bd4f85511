#include "platform/text.h"

#include <windows.h>

namespace platform {
namespace {

constexpr unsigned kWestern = 1252;

unsigned choose_code_page() {
    const UINT system = GetACP();
    CPINFO info{};
    return GetCPInfo(system, &info) && info.MaxCharSize == 1 ? system : kWestern;
}

} // namespace

unsigned program_code_page() {
    static const unsigned code_page = choose_code_page();
    return code_page;
}

std::wstring to_wide(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(program_code_page(), 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(program_code_page(), 0, bytes.data(), size, wide.data(), length);
    return wide;
}

AnsiText to_ansi_checked(std::wstring_view wide) {
    AnsiText result;
    if (wide.empty()) return result;
    const int size = static_cast<int>(wide.size());
    const unsigned code_page = program_code_page();
    const int length = WideCharToMultiByte(code_page, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    result.bytes.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(code_page, 0, wide.data(), size, result.bytes.data(), length, nullptr, nullptr);
    // Best fit may map a character onto a look-alike without using the default
    // character, so compare the round trip instead of trusting that flag.
    result.exact = to_wide(result.bytes) == wide;
    return result;
}

std::string to_ansi(std::wstring_view wide) { return to_ansi_checked(wide).bytes; }

} // namespace platform
