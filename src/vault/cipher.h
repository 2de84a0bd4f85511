#pragma once
// The character cipher: a fixed, keyless substitution of the 62 ASCII letters
// and digits onto the code-page block 192..253. Text is held as bytes of the
// system ANSI code page; every other byte passes unchanged.
#include <string>
#include <string_view>

namespace vault {

std::string encrypt_text(std::string_view text);
std::string decrypt_text(std::string_view text);

// The cipher on one byte.
constexpr unsigned char encrypt_byte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 127);
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c + 121);
    if (c >= '0' && c <= '9') return static_cast<unsigned char>(c + 196);
    return c;
}
constexpr unsigned char decrypt_byte(unsigned char c) {
    if (c >= 192 && c <= 217) return static_cast<unsigned char>(c - 127);
    if (c >= 218 && c <= 243) return static_cast<unsigned char>(c - 121);
    if (c >= 244 && c <= 253) return static_cast<unsigned char>(c - 196);
    return c;
}

// True when the byte lies in the scrambled block 192..253: such a byte cannot
// be stored faithfully, since decrypting the vault turns it into a letter or digit.
constexpr bool is_scrambled_byte(unsigned char c) { return c >= 192 && c <= 253; }

} // namespace vault
