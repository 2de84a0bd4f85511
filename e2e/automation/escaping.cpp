// The helper's one text encoding. Every value travels as one line of UTF-8:
// backslash, CR, LF, tab and other control characters are written \\ \r \n \t
// \xHH. Output is escaped with escape(); in serve mode the arguments arrive
// escaped the same way and unescape() restores them.
#include "automation.h"

#include <cwchar>

namespace qlk_auto {
namespace {

int hex_digit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

} // namespace

std::string to_utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

std::wstring from_utf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
    return result;
}

std::string escape(std::wstring_view text) {
    std::wstring escaped;
    for (wchar_t c : text) {
        switch (c) {
        case L'\\': escaped += L"\\\\"; break;
        case L'\r': escaped += L"\\r"; break;
        case L'\n': escaped += L"\\n"; break;
        case L'\t': escaped += L"\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                wchar_t code[8];
                std::swprintf(code, 8, L"\\x%02X", static_cast<unsigned>(c));
                escaped += code;
            } else {
                escaped += c;
            }
        }
    }
    return to_utf8(escaped);
}

std::wstring unescape(std::wstring_view text) {
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        const wchar_t code = text[++i];
        if (code == L'r')
            result += L'\r';
        else if (code == L'n')
            result += L'\n';
        else if (code == L't')
            result += L'\t';
        else if (code == L'x' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
            result += static_cast<wchar_t>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else
            result += code; // "\\" and any other escaped character stand for themselves
    }
    return result;
}

} // namespace qlk_auto
