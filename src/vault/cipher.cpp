#include "vault/cipher.h"

namespace vault {
namespace {

template <typename Transform> std::string map_bytes(std::string_view text, Transform transform) {
    std::string result(text);
    for (char& c : result) c = static_cast<char>(transform(static_cast<unsigned char>(c)));
    return result;
}

} // namespace

std::string encrypt_text(std::string_view text) { return map_bytes(text, encrypt_byte); }
std::string decrypt_text(std::string_view text) { return map_bytes(text, decrypt_byte); }

} // namespace vault
