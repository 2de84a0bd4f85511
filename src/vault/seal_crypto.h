#pragma once
// The cryptography a sealed vault needs, and nothing more: the vault code
// chooses and checks, the platform gives the algorithms (Windows' own CNG in
// the program). Keys and plain texts are byte strings; whatever an operation
// hands back that is secret, the caller wipes once it is done with it, and an
// operation that fails leaves nothing secret in its output.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vault {

inline constexpr std::size_t kSealKeyBytes = 32;   // AES-256
inline constexpr std::size_t kSealNonceBytes = 12; // GCM's 96-bit nonce
inline constexpr std::size_t kSealTagBytes = 16;   // GCM's full tag

class SealCrypto {
public:
    virtual ~SealCrypto() = default;

    // PBKDF2 with HMAC-SHA256: a key of kSealKeyBytes from the password and
    // salt after `iterations` rounds into `key`. False when the platform
    // refused (nothing usable in `key` then).
    virtual bool derive_key(std::string_view password, std::string_view salt, std::uint32_t iterations,
                            std::string& key) = 0;

    // AES-256-GCM: encrypts `plain` (never empty) under `key` and `nonce`
    // with `aad` authenticated, into `sealed` = ciphertext followed by the
    // kSealTagBytes tag. False when the platform refused.
    virtual bool seal(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view plain,
                      std::string& sealed) = 0;

    // The reverse of seal: true only when the tag proves `sealed` and `aad`
    // untouched under `key`, with the plain text in `plain`. On false `plain`
    // is empty and whatever the platform decrypted before its check has been
    // wiped.
    virtual bool open(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view sealed,
                      std::string& plain) = 0;

    // `count` bytes from the system's random generator into `bytes`; false when it refused.
    virtual bool random(std::size_t count, std::string& bytes) = 0;
};

} // namespace vault
