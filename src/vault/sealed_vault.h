#pragma once
// The sealed vault: the records as the vault holds them (scrambled), encrypted
// with AES-256-GCM under a random data key, which is kept in the file wrapped
// under a key derived from the entry password (PBKDF2-HMAC-SHA256).
//
// The file is CR LF lines, each passed through the character cipher as the
// vault's lines are: the whole-file passes turn it plain and back but never
// spoil it, and an older Quillock reads it as a vault without records. In
// plain form:
//
//   QUILLOCK SEALED VAULT 1
//   WRAP PBKDF2-HMAC-SHA256 <iterations> <salt> <nonce> <wrapped data key>
//   (a second WRAP line while the entry password changes)
//   DATA <nonce> <records>
//
// with the binary fields in base64. The first line says how the file is read;
// every line before DATA is the records' authenticated data, and each
// wrapping authenticates the first line and its own derivation. Records that
// an older Quillock appended after the DATA line are read as records too and
// sealed at the next save.
#include "vault/seal_crypto.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

inline constexpr std::uint32_t kSealIterations = 600'000;
// A file may ask for no fewer (a weakened derivation) and no more (a start
// that would hang for minutes) iterations than these.
inline constexpr std::uint32_t kLeastSealIterations = 100'000;
inline constexpr std::uint32_t kMostSealIterations = 5'000'000;
inline constexpr std::size_t kSealSaltBytes = 16;

// Overwrites the bytes in a way the compiler cannot leave out, then empties the string.
void wipe_secret(std::string& secret);

// True when the file's first line says it is sealed (in either form).
bool is_sealed(std::string_view file);

// The keys derived in one operation, by password, salt and count: at most
// one derivation of each in an operation. Wiped when they go.
class DerivedKeys {
public:
    DerivedKeys() = default;
    DerivedKeys(const DerivedKeys&) = delete;
    DerivedKeys& operator=(const DerivedKeys&) = delete;
    DerivedKeys(DerivedKeys&&) noexcept = default;
    DerivedKeys& operator=(DerivedKeys&&) noexcept = default;
    ~DerivedKeys() { clear(); }
    void clear();
    // The key, derived now or earlier in the operation; null when refused.
    const std::string* key(SealCrypto& crypto, std::string_view password, std::string_view salt,
                           std::uint32_t iterations);
    // The salt of a key already derived from `password` with that count, or empty.
    std::string salt_of(std::string_view password, std::uint32_t iterations) const;

private:
    struct Derived {
        std::string password; // plain, wiped with the key
        std::uint32_t iterations = 0;
        std::string salt;
        std::string key;
    };
    std::vector<Derived> known_;
};

// What sealing needs of the run: the platform's cryptography, the entry
// password, and the derivation new wrappings use. Tests may lower the bounds.
struct SealOptions {
    SealCrypto* crypto = nullptr; // none: a sealed vault does not open
    std::string password;         // plain
    std::uint32_t iterations = kSealIterations;
    std::uint32_t least_iterations = kLeastSealIterations;
    std::uint32_t most_iterations = kMostSealIterations;
    DerivedKeys derived{};
    ~SealOptions() { wipe_secret(password); }
};

struct Wrapping {
    std::uint32_t iterations = 0;
    std::string salt;
    std::string nonce;
    std::string wrapped; // the data key encrypted, with its tag
};

// The keys of one sealed file while an operation works on it: the data key
// and its wrappings, wiped when forgotten or gone.
class SealKeys {
public:
    SealKeys() = default;
    SealKeys(SealKeys&&) noexcept = default;
    SealKeys& operator=(SealKeys&&) noexcept = default;
    ~SealKeys() { forget_file(); }

    bool holds_key() const { return !data_key_.empty(); }
    std::size_t wrapping_count() const { return wrappings_.size(); }
    // The file opened last held records appended after its sealed lines.
    bool had_appended_records() const { return appended_; }
    void forget_file();
    // The same data key and wrappings, for a second file sealed alike.
    SealKeys copy() const;

    // A new random data key wrapped under the options' password.
    bool make_new(SealOptions& options);
    // Adds a wrapping of the data key under `password`, unless one opens
    // with it; a key derived from it earlier in the operation is used again.
    bool add_wrapping(SealOptions& options, std::string_view password);
    // Keeps only the wrapping that the options' password opened.
    void keep_own_wrapping();

    enum class Opened { Ok, NotSealed, Damaged, WrongPassword, Refused };
    // Reads a sealed file: its records (the payload's and any appended after
    // it, scrambled) into `records`, its data key and wrappings into these
    // keys. On anything but Ok nothing is kept and `records` is empty.
    Opened open(SealOptions& options, std::string_view file, std::string& records);
    // The sealed file of `records` under these keys, with a fresh nonce.
    bool seal(SealOptions& options, std::string_view records, std::string& file) const;

private:
    bool unwrap(SealOptions& options, std::string_view password, const Wrapping& wrapping, std::string& data_key);

    std::string data_key_;
    std::vector<Wrapping> wrappings_;
    std::size_t own_wrapping_ = 0; // the one the options' password opened
    bool appended_ = false;
};

// The header's words, for the tests that craft files.
inline constexpr std::string_view kSealedFirstLine = "QUILLOCK SEALED VAULT 1";
inline constexpr std::string_view kSealedPayloadLine = "QUILLOCK RECORDS 1\r\n";

} // namespace vault
