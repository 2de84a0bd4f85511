#include "platform/seal_crypto_win.h"

#include "platform/random.h"
#include "platform/unique_handle.h"
#include "platform/wipe.h"

#include <windows.h>

#include <bcrypt.h>

#include <climits>
#include <span>

namespace platform {
namespace {

void close_algorithm(BCRYPT_ALG_HANDLE algorithm) { BCryptCloseAlgorithmProvider(algorithm, 0); }
void destroy_key(BCRYPT_KEY_HANDLE key) { BCryptDestroyKey(key); }
using unique_algorithm = unique_handle<BCRYPT_ALG_HANDLE, close_algorithm>;
using unique_key = unique_handle<BCRYPT_KEY_HANDLE, destroy_key>;

// CNG takes every buffer as PUCHAR, even those it only reads.
PUCHAR bytes_of(std::string_view text) { return reinterpret_cast<PUCHAR>(const_cast<char*>(text.data())); }
PUCHAR bytes_of(std::string& text) { return reinterpret_cast<PUCHAR>(text.data()); }

bool fits_ulong(std::size_t size) { return size <= ULONG_MAX; }

// What either direction refuses before CNG sees it. An empty payload above
// all: Wine's GCM then reports success whatever the tag, and Windows is never
// asked what it would do with one.
bool usable(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view payload) {
    return key.size() == vault::kSealKeyBytes && nonce.size() == vault::kSealNonceBytes && !payload.empty() &&
           fits_ulong(aad.size()) && fits_ulong(payload.size());
}

// An AES-256 key in GCM mode, held in a key object of our own allocation so
// that the expanded key can be wiped once CNG has let go of it.
class GcmKey {
public:
    explicit GcmKey(std::string_view key) {
        ULONG object_size = 0;
        ULONG got = 0;
        if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(algorithm_.put(), BCRYPT_AES_ALGORITHM, nullptr, 0)) ||
            !BCRYPT_SUCCESS(BCryptSetProperty(algorithm_.get(), BCRYPT_CHAINING_MODE,
                                              reinterpret_cast<PUCHAR>(const_cast<wchar_t*>(BCRYPT_CHAIN_MODE_GCM)),
                                              sizeof(BCRYPT_CHAIN_MODE_GCM), 0)) ||
            !BCRYPT_SUCCESS(BCryptGetProperty(algorithm_.get(), BCRYPT_OBJECT_LENGTH,
                                              reinterpret_cast<PUCHAR>(&object_size), sizeof object_size, &got, 0)))
            return;
        object_.assign(object_size, '\0');
        if (!BCRYPT_SUCCESS(BCryptGenerateSymmetricKey(algorithm_.get(), key_.put(), bytes_of(object_), object_size,
                                                       bytes_of(key), static_cast<ULONG>(key.size()), 0)))
            key_.reset();
    }
    GcmKey(const GcmKey&) = delete;
    GcmKey& operator=(const GcmKey&) = delete;
    ~GcmKey() {
        key_.reset();
        wipe(object_);
    }

    BCRYPT_KEY_HANDLE get() const { return key_.get(); }
    explicit operator bool() const { return static_cast<bool>(key_); }

private:
    unique_algorithm algorithm_; // outlives the key made from it
    std::string object_;
    unique_key key_;
};

// The tag: where encryption puts it, or what decryption checks.
BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO gcm_info(std::string_view nonce, std::string_view aad, PUCHAR tag) {
    BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info;
    BCRYPT_INIT_AUTH_MODE_INFO(info);
    info.pbNonce = bytes_of(nonce);
    info.cbNonce = static_cast<ULONG>(nonce.size());
    // No authenticated data is given as NULL and zero, as CNG asks.
    info.pbAuthData = aad.empty() ? nullptr : bytes_of(aad);
    info.cbAuthData = static_cast<ULONG>(aad.size());
    info.pbTag = tag;
    info.cbTag = vault::kSealTagBytes;
    return info;
}

class CngSealCrypto final : public vault::SealCrypto {
public:
    bool derive_key(std::string_view password, std::string_view salt, std::uint32_t iterations,
                    std::string& key) override {
        wipe(key);
        unique_algorithm hmac;
        if (iterations == 0 || !fits_ulong(password.size()) || !fits_ulong(salt.size()) ||
            !BCRYPT_SUCCESS(
                BCryptOpenAlgorithmProvider(hmac.put(), BCRYPT_SHA256_ALGORITHM, nullptr, BCRYPT_ALG_HANDLE_HMAC_FLAG)))
            return false;
        key.assign(vault::kSealKeyBytes, '\0');
        if (BCRYPT_SUCCESS(BCryptDeriveKeyPBKDF2(hmac.get(), bytes_of(password), static_cast<ULONG>(password.size()),
                                                 bytes_of(salt), static_cast<ULONG>(salt.size()), iterations,
                                                 bytes_of(key), static_cast<ULONG>(key.size()), 0)))
            return true;
        wipe(key);
        return false;
    }

    bool seal(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view plain,
              std::string& sealed) override {
        sealed.clear();
        if (!usable(key, nonce, aad, plain)) return false;
        const GcmKey gcm_key(key);
        if (!gcm_key) return false;
        sealed.assign(plain.size() + vault::kSealTagBytes, '\0');
        BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = gcm_info(nonce, aad, bytes_of(sealed) + plain.size());
        ULONG written = 0;
        if (!BCRYPT_SUCCESS(BCryptEncrypt(gcm_key.get(), bytes_of(plain), static_cast<ULONG>(plain.size()), &info,
                                          nullptr, 0, bytes_of(sealed), static_cast<ULONG>(plain.size()), &written,
                                          0)) ||
            written != plain.size()) {
            sealed.clear();
            return false;
        }
        return true;
    }

    bool open(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view sealed,
              std::string& plain) override {
        wipe(plain);
        if (sealed.size() <= vault::kSealTagBytes) return false;
        const std::string_view payload = sealed.substr(0, sealed.size() - vault::kSealTagBytes);
        if (!usable(key, nonce, aad, payload)) return false;
        const GcmKey gcm_key(key);
        if (!gcm_key) return false;
        BCRYPT_AUTHENTICATED_CIPHER_MODE_INFO info = gcm_info(nonce, aad, bytes_of(sealed.substr(payload.size())));
        plain.assign(payload.size(), '\0');
        ULONG written = 0;
        if (BCRYPT_SUCCESS(BCryptDecrypt(gcm_key.get(), bytes_of(payload), static_cast<ULONG>(payload.size()), &info,
                                         nullptr, 0, bytes_of(plain), static_cast<ULONG>(plain.size()), &written, 0)) &&
            written == payload.size())
            return true;
        // Wine leaves the unchecked plain text in the buffer when the tag
        // does not match: nothing of it may outlive the refusal.
        wipe(plain);
        return false;
    }

    bool random(std::size_t count, std::string& bytes) override {
        bytes.assign(count, '\0');
        if (random_bytes(std::as_writable_bytes(std::span(bytes)))) return true;
        bytes.clear();
        return false;
    }
};

} // namespace

vault::SealCrypto& system_seal_crypto() {
    static CngSealCrypto crypto;
    return crypto;
}

} // namespace platform
