#pragma once
// What counts as a web address, for the viewer's stored URLs and for every
// address the program gives the shell: one rule, portable, so that the
// viewer's check and the shell's open can never disagree.
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The beginnings that make a text a web address, compared exactly: a scheme
// in mixed case is not one of them.
inline constexpr std::string_view kWebAddressPrefixes[] = {"www.",    "WWW.",     "http://",
                                                           "HTTP://", "https://", "HTTPS://"};

// The address the shell may be given: an http:// or https:// address as it
// is, a www. address with http:// in front (the scheme Windows' own guess
// gives it), with each space and double quote percent-encoded, so that the
// address stays one word of the browser's command line. Nothing for a text
// with another beginning (the shell takes "www.example.com" for a file name
// first, and a ".com" name is a program) or with a control character.
std::optional<std::string> absolute_web_address(std::string_view address);

} // namespace platform
