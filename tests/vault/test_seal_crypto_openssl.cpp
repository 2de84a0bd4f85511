// The sealing cryptography of the native test programs: OpenSSL's libcrypto
// behind the interface the program fills with CNG, refusing what the program's
// own refuses, so that the vault code sees one behaviour on both.
#include "test_seal_crypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>

#include <climits>
#include <memory>

namespace vault_test {
namespace {

struct CipherContextFree {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextFree>;

const unsigned char* bytes_of(std::string_view text) { return reinterpret_cast<const unsigned char*>(text.data()); }
unsigned char* bytes_of(std::string& text) { return reinterpret_cast<unsigned char*>(text.data()); }

void wipe(std::string& text) {
    text.resize(text.capacity());
    OPENSSL_cleanse(text.data(), text.size());
    text.clear();
}

bool fits_int(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

// What either direction of GCM refuses before the library sees it: a key or
// nonce of another size, an empty payload, sizes beyond an int.
bool usable(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view payload) {
    return key.size() == vault::kSealKeyBytes && nonce.size() == vault::kSealNonceBytes && !payload.empty() &&
           fits_int(aad.size()) && fits_int(payload.size());
}

CipherContext start(std::string_view key, std::string_view nonce, std::string_view aad, int encrypting) {
    CipherContext context(EVP_CIPHER_CTX_new());
    int ignored = 0;
    if (!context || EVP_CipherInit_ex(context.get(), EVP_aes_256_gcm(), nullptr, nullptr, nullptr, encrypting) != 1 ||
        EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_IVLEN, static_cast<int>(nonce.size()), nullptr) != 1 ||
        EVP_CipherInit_ex(context.get(), nullptr, nullptr, bytes_of(key), bytes_of(nonce), encrypting) != 1 ||
        (!aad.empty() &&
         EVP_CipherUpdate(context.get(), nullptr, &ignored, bytes_of(aad), static_cast<int>(aad.size())) != 1))
        return nullptr;
    return context;
}

class OpenSslSealCrypto final : public vault::SealCrypto {
public:
    bool derive_key(std::string_view password, std::string_view salt, std::uint32_t iterations,
                    std::string& key) override {
        wipe(key);
        if (iterations == 0 || iterations > INT_MAX || !fits_int(password.size()) || !fits_int(salt.size()))
            return false;
        key.resize(vault::kSealKeyBytes);
        if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), bytes_of(salt),
                              static_cast<int>(salt.size()), static_cast<int>(iterations), EVP_sha256(),
                              static_cast<int>(key.size()), bytes_of(key)) == 1)
            return true;
        wipe(key);
        return false;
    }

    bool seal(std::string_view key, std::string_view nonce, std::string_view aad, std::string_view plain,
              std::string& sealed) override {
        sealed.clear();
        if (!usable(key, nonce, aad, plain)) return false;
        const CipherContext context = start(key, nonce, aad, 1);
        if (!context) return false;
        sealed.resize(plain.size() + vault::kSealTagBytes);
        int written = 0;
        int final_written = 0;
        if (EVP_EncryptUpdate(context.get(), bytes_of(sealed), &written, bytes_of(plain),
                              static_cast<int>(plain.size())) != 1 ||
            EVP_EncryptFinal_ex(context.get(), bytes_of(sealed) + written, &final_written) != 1 ||
            EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_GET_TAG, static_cast<int>(vault::kSealTagBytes),
                                bytes_of(sealed) + plain.size()) != 1) {
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
        std::string tag(sealed.substr(payload.size()));
        if (!usable(key, nonce, aad, payload)) return false;
        const CipherContext context = start(key, nonce, aad, 0);
        if (!context) return false;
        plain.resize(payload.size());
        int written = 0;
        int final_written = 0;
        if (EVP_DecryptUpdate(context.get(), bytes_of(plain), &written, bytes_of(payload),
                              static_cast<int>(payload.size())) == 1 &&
            EVP_CIPHER_CTX_ctrl(context.get(), EVP_CTRL_GCM_SET_TAG, static_cast<int>(tag.size()), tag.data()) == 1 &&
            EVP_DecryptFinal_ex(context.get(), bytes_of(plain) + written, &final_written) == 1)
            return true;
        wipe(plain);
        return false;
    }

    bool random(std::size_t count, std::string& bytes) override {
        bytes.assign(count, '\0');
        if (fits_int(count) && RAND_bytes(bytes_of(bytes), static_cast<int>(count)) == 1) return true;
        bytes.clear();
        return false;
    }
};

} // namespace

vault::SealCrypto& test_seal_crypto() {
    static OpenSslSealCrypto crypto;
    return crypto;
}

} // namespace vault_test
