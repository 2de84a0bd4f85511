#include "vault/cipher.h"

namespace vault {
namespace {

unsigned char encrypt_byte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 127);
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c + 121);
    if (c >= '0' && c <= '9') return static_cast<unsigned char>(c + 196);
    return c;
}

unsigned char decrypt_byte(unsigned char c) {
    if (c >= 192 && c <= 217) return static_cast<unsigned char>(c - 127);
    if (c >= 218 && c <= 243) return static_cast<unsigned char>(c - 121);
    if (c >= 244 && c <= 253) return static_cast<unsigned char>(c - 196);
    return c;
}

template <typename Transform> void map_bytes(std::span<char> text, Transform transform) {
    for (char& c : text) c = static_cast<char>(transform(static_cast<unsigned char>(c)));
}

template <typename Transform> std::string mapped(std::string_view text, Transform transform) {
    std::string result(text);
    map_bytes(result, transform);
    return result;
}

} // namespace

std::string encrypt_text(std::string_view text) { return mapped(text, encrypt_byte); }
std::string decrypt_text(std::string_view text) { return mapped(text, decrypt_byte); }
void encrypt_in_place(std::span<char> text) { map_bytes(text, encrypt_byte); }
void decrypt_in_place(std::span<char> text) { map_bytes(text, decrypt_byte); }

} // namespace vault
