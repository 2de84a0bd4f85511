#pragma once
// Conversion between the UI's wide text and the code-page bytes that the
// vault, the settings and the cipher work on.
//
// The program code page is the system's ANSI code page when that is a
// single-byte one, and Windows-1252 otherwise (932, 936, 949, 950, 65001):
// the scrambled bytes 0xC0 to 0xFD are lead bytes of a multi-byte code page,
// so the system's own conversion would mangle them. Every text that crosses
// into Windows goes through the wide functions, converted here, so the files
// and the registry hold the same bytes on every system.
#include <string>
#include <string_view>

namespace platform {

// Chosen once, on first use, and kept for the life of the process.
unsigned program_code_page();

std::wstring to_wide(std::string_view bytes);

struct AnsiText {
    std::string bytes;
    bool exact = true; // false when a character had no faithful form in the code page
};
// Best-fit conversion, as the system does it; tells whether every character made it.
AnsiText to_ansi_checked(std::wstring_view wide);
std::string to_ansi(std::wstring_view wide);

} // namespace platform
