// The sealing cryptography against published answers, and what it refuses:
// natively OpenSSL, under Wine the program's CNG wrapper, which has to meet
// Wine's own ways (an empty payload "opens" whatever its tag, a failed check
// leaves the unchecked plain text in the output) as the program meets them.
#include "test_seal_crypto.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::string from_hex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

// Every byte the string's buffer holds, beyond its size up to its capacity.
bool buffer_all_zero(const std::string& text) {
    return std::all_of(text.data(), text.data() + text.capacity(), [](char c) { return c == 0; });
}

vault::SealCrypto& crypto() { return vault_test::test_seal_crypto(); }

// PBKDF2-HMAC-SHA256 as RFC 7914 section 11 gives it (64-byte keys there:
// their first 32 bytes are the 32-byte key).
TEST(SealCrypto, DerivesThePublishedPbkdf2HmacSha256Keys) {
    const struct {
        const char* password;
        const char* salt;
        std::uint32_t iterations;
        const char* key;
    } cases[] = {
        {"passwd", "salt", 1, "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"},
        {"Password", "NaCl", 80000, "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"},
    };
    for (const auto& c : cases) {
        std::string key = "left over";
        ASSERT_TRUE(crypto().derive_key(c.password, c.salt, c.iterations, key)) << c.password;
        EXPECT_EQ(key, from_hex(c.key)) << c.password;
    }
    std::string key = "left over";
    EXPECT_FALSE(crypto().derive_key("passwd", "salt", 0, key)) << "zero iterations";
}

// AES-256-GCM: test cases 14 to 16 of McGrew and Viega's paper that defines GCM
// (13 has an empty payload, which the sealing never makes: a refusal below).
struct GcmCase {
    std::string key, nonce, aad, plain, sealed;
};
const std::string kKey15 = from_hex("feffe9928665731c6d6a8f9467308308feffe9928665731c6d6a8f9467308308");
const std::string kNonce15 = from_hex("cafebabefacedbaddecaf888");
const std::string kPlain15 = from_hex("d9313225f88406e5a55909c5aff5269a86a7a9531534f7da2e4c303d8a318a72"
                                      "1c3c0c95956809532fcf0e2449a6b525b16aedf5aa0de657ba637b391aafd255");
const std::string kCipher15 = from_hex("522dc1f099567d07f47f37a32a84427d643a8cdcbfe5c0c97598a2bd2555d1aa"
                                       "8cb08e48590dbb3da7b08b1056828838c5f61e6393ba7a0abcc9f662898015ad");
const GcmCase kGcmCases[] = {
    {std::string(32, '\0'), std::string(12, '\0'), "", std::string(16, '\0'),
     from_hex("cea7403d4d606b6e074ec5d3baf39d18d0d1c8a799996bf0265b98b5d48ab919")},
    {kKey15, kNonce15, "", kPlain15, kCipher15 + from_hex("b094dac5d93471bdec1a502270e3cc6c")},
    {kKey15, kNonce15, from_hex("feedfacedeadbeeffeedfacedeadbeefabaddad2"), kPlain15.substr(0, 60),
     kCipher15.substr(0, 60) + from_hex("76fc6ece0f4e1768cddf8853bb2d551b")},
};

TEST(SealCrypto, SealsAndOpensMcGrewAndViegasCases) {
    for (const GcmCase& c : kGcmCases) {
        std::string sealed, plain;
        ASSERT_TRUE(crypto().seal(c.key, c.nonce, c.aad, c.plain, sealed)) << c.plain.size();
        EXPECT_EQ(sealed, c.sealed) << c.plain.size();
        ASSERT_TRUE(crypto().open(c.key, c.nonce, c.aad, c.sealed, plain)) << c.plain.size();
        EXPECT_EQ(plain, c.plain) << c.plain.size();
    }
}

// Whatever is altered, opening fails and leaves nothing of the plain text in
// the output's buffer, however much of it was decrypted before the check.
TEST(SealCrypto, RefusesEveryAlteredOrEmptyPayloadAndLeavesNothingInTheOutput) {
    const GcmCase& good = kGcmCases[2];
    const auto flipped = [](std::string bytes, std::size_t at) {
        bytes[at] = static_cast<char>(bytes[at] ^ 0x01);
        return bytes;
    };
    const struct {
        const char* what;
        GcmCase input;
    } cases[] = {
        {"a bit of ciphertext", {good.key, good.nonce, good.aad, "", flipped(good.sealed, 0)}},
        {"a bit of the tag", {good.key, good.nonce, good.aad, "", flipped(good.sealed, good.sealed.size() - 1)}},
        {"a bit of the authenticated data", {good.key, good.nonce, flipped(good.aad, 3), "", good.sealed}},
        {"the wrong key", {flipped(good.key, 31), good.nonce, good.aad, "", good.sealed}},
        {"the wrong nonce", {good.key, flipped(good.nonce, 0), good.aad, "", good.sealed}},
        {"the tag cut short", {good.key, good.nonce, good.aad, "", good.sealed.substr(0, good.sealed.size() - 4)}},
        // Test case 13: an empty payload with its correct tag.
        {"an empty payload",
         {std::string(32, '\0'), std::string(12, '\0'), "", "", from_hex("530f8afbc74536b9a963b4f1c4cb738b")}},
        {"nothing at all", {good.key, good.nonce, good.aad, "", ""}},
    };
    for (const auto& [what, c] : cases) {
        std::string plain(good.plain.size(), 'x');
        EXPECT_FALSE(crypto().open(c.key, c.nonce, c.aad, c.sealed, plain)) << what;
        EXPECT_TRUE(plain.empty()) << what;
        EXPECT_TRUE(buffer_all_zero(plain)) << what;
    }
    std::string sealed = "left over";
    EXPECT_FALSE(crypto().seal(good.key, good.nonce, good.aad, "", sealed)) << "sealing an empty payload";
    EXPECT_TRUE(sealed.empty());
}

TEST(SealCrypto, RandomBytesComeInTheCountAskedAndDifferEachTime) {
    std::string first, second;
    ASSERT_TRUE(crypto().random(32, first));
    ASSERT_TRUE(crypto().random(32, second));
    EXPECT_EQ(first.size(), 32u);
    EXPECT_NE(first, second);
}

} // namespace
