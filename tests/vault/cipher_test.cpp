#include "vault/cipher.h"

#include <gtest/gtest.h>

using vault::decrypt_text;
using vault::encrypt_text;

namespace {

std::string bytes(std::initializer_list<unsigned char> list) { return std::string(list.begin(), list.end()); }

TEST(Cipher, MapsEachRangeOntoItsBlock) {
    struct Case {
        std::string plain;
        std::string scrambled;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", bytes({0xDA, 0xDB, 0xDC})},
        {"NAM:", bytes({0xCD, 0xC0, 0xCC, 0x3A})},
        {"URL:", bytes({0xD4, 0xD1, 0xCB, 0x3A})},
        {"USE:", bytes({0xD4, 0xD2, 0xC4, 0x3A})},
        {"PAS:", bytes({0xCF, 0xC0, 0xD2, 0x3A})},
        {"IDN:", bytes({0xC8, 0xC3, 0xCD, 0x3A})},
        {"Zz9 -.", bytes({217, 243, 253, 32, 45, 46})},
        {"A0a", bytes({192, 244, 218})},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encrypt_text(c.plain), c.scrambled) << c.plain;
        EXPECT_EQ(decrypt_text(c.scrambled), c.plain) << c.plain;
    }
}

TEST(Cipher, EveryByteHasOneImageAndBothDirectionsAreIdempotent) {
    for (int code = 0; code < 256; ++code) {
        const std::string one(1, static_cast<char>(code));
        const auto enc = static_cast<unsigned char>(encrypt_text(one)[0]);
        const auto dec = static_cast<unsigned char>(decrypt_text(one)[0]);
        const bool letter_or_digit = std::isalnum(code) && code < 128;
        EXPECT_EQ(enc != code, letter_or_digit) << code;
        EXPECT_EQ(dec != code, vault::is_scrambled_byte(static_cast<unsigned char>(code))) << code;
        EXPECT_EQ(encrypt_text(encrypt_text(one)), encrypt_text(one)) << code;
        EXPECT_EQ(decrypt_text(decrypt_text(one)), decrypt_text(one)) << code;
        if (!vault::is_scrambled_byte(static_cast<unsigned char>(code))) {
            EXPECT_EQ(decrypt_text(encrypt_text(one)), one) << code;
        }
    }
}

TEST(Cipher, ScrambledBlockBytesInPlainTextDoNotSurviveARoundTrip) {
    // e acute (233 in Windows-1252) passes encryption unchanged and decrypts to 'p'.
    const std::string e_acute = bytes({233});
    EXPECT_EQ(encrypt_text(e_acute), e_acute);
    EXPECT_EQ(decrypt_text(e_acute), "p");
}

} // namespace
