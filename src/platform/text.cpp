#include "platform/text.h"

#include <windows.h>

namespace platform {

std::wstring to_wide(std::string_view ansi) {
    if (ansi.empty()) return {};
    const int size = static_cast<int>(ansi.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, wide.data(), length);
    return wide;
}

AnsiText to_ansi_checked(std::wstring_view wide) {
    AnsiText result;
    if (wide.empty()) return result;
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    result.bytes.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, result.bytes.data(), length, nullptr, nullptr);
    // Best fit may map a character onto a look-alike without using the default
    // character, so compare the round trip instead of trusting that flag.
    result.exact = to_wide(result.bytes) == wide;
    return result;
}

std::string to_ansi(std::wstring_view wide) { return to_ansi_checked(wide).bytes; }

} // namespace platform
