#pragma once
// Conversion between the UI's wide text and the ANSI code-page bytes that the
// vault, the settings and the cipher work on.
#include <string>
#include <string_view>

namespace platform {

std::wstring to_wide(std::string_view ansi);

struct AnsiText {
    std::string bytes;
    bool exact = true; // false when a character had no faithful form in the code page
};
// Best-fit conversion, as the system does it; tells whether every character made it.
AnsiText to_ansi_checked(std::wstring_view wide);
std::string to_ansi(std::wstring_view wide);

} // namespace platform
