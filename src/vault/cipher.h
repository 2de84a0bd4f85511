#pragma once
// The character cipher: a fixed, keyless substitution of the 62 ASCII letters
// and digits onto the code-page block 192..253. Text is held as bytes of the
// system ANSI code page; every other byte passes unchanged.
#include <span>
#include <string>
#include <string_view>

namespace vault {

std::string encrypt_text(std::string_view text);
std::string decrypt_text(std::string_view text);
// The same on text held elsewhere: a byte maps to a byte, so the length stays.
void encrypt_in_place(std::span<char> text);
void decrypt_in_place(std::span<char> text);

// True when the byte lies in the scrambled block 192..253: such a byte cannot
// be stored faithfully, since decrypting the vault turns it into a letter or digit.
constexpr bool is_scrambled_byte(unsigned char c) { return c >= 192 && c <= 253; }

} // namespace vault
