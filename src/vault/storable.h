#pragma once
// Which values the vault file can keep faithfully. Bytes 192 to 253 of the
// ANSI code page are the cipher's scrambled block: decrypting the file turns
// them into letters or digits. A line break would split the record.
#include <cstddef>
#include <string>
#include <string_view>

namespace vault {

// The position of the first byte the vault cannot keep, or npos.
std::size_t find_unstorable(std::string_view bytes);

// For text converted from the user interface's wide text: the conversion to
// the code page reports whether it had to use its default character for a
// character the code page cannot represent; such text is refused too.
bool is_storable(std::string_view bytes, bool conversion_used_default_char = false);

// The message shown when a value is refused; `what` names the field in the
// user's terms ("password", "URL", ...).
std::string unstorable_message(std::string_view what);

} // namespace vault
