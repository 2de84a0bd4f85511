#include "vault/storable.h"

#include "vault/cipher.h"

namespace vault {

std::size_t find_unstorable(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (is_scrambled_byte(c) || c == '\r' || c == '\n') return i;
    }
    return std::string_view::npos;
}

bool is_storable(std::string_view bytes, bool conversion_used_default_char) {
    return !conversion_used_default_char && find_unstorable(bytes) == std::string_view::npos;
}

std::string unstorable_message(std::string_view what) {
    std::string text = "ERROR: the ";
    text += what;
    text += " holds a character that the password data file cannot store.\r\n"
            "Letters with accents, characters outside the system's code page and line breaks cannot be "
            "stored; please leave them out.";
    return text;
}

} // namespace vault
