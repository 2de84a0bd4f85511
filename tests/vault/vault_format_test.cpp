#include "vault/cipher.h"
#include "vault/vault_format.h"
#include "vault_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vault;
using vault_test::bytes;

namespace {

const std::string kPlain = "NAM:Bank, main\r\n"
                           "URL:https://bank.example/login?a=1&b=\"2\"\r\n"
                           "USE:  j.doe:admin\r\n"
                           "PAS:p:a\"ss, w0rd'\r\n"
                           "IDN:DESK-7\r\n"
                           "\r\n"
                           "NAM:\r\n"
                           "URL:x\r\n"
                           "USE: \r\n"
                           "PAS:\r\n"
                           "IDN:DESK-7\r\n";

std::size_t line_count(std::string_view text) {
    std::size_t n = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string_view::npos; at = text.find("\r\n", at + 2)) ++n;
    return n;
}

TEST(VaultFormat, ScramblesWholeLinesToTheDocumentedBytes) {
    struct Case {
        std::string plain;
        std::string scrambled;
    };
    const Case cases[] = {
        {"", ""},
        {"NAM:abc\r\n", bytes({0xCD, 0xC0, 0xCC, 0x3A, 0xDA, 0xDB, 0xDC, 0x0D, 0x0A})},
        {"URL:\r\n", bytes({0xD4, 0xD1, 0xCB, 0x3A, 0x0D, 0x0A})},
        {"USE:\r\n", bytes({0xD4, 0xD2, 0xC4, 0x3A, 0x0D, 0x0A})},
        {"PAS:\r\n", bytes({0xCF, 0xC0, 0xD2, 0x3A, 0x0D, 0x0A})},
        {"IDN:Z9 -.\r\n", bytes({0xC8, 0xC3, 0xCD, 0x3A, 217, 253, 32, 45, 46, 0x0D, 0x0A})},
        {"\r\n\r\n", "\r\n\r\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encryption_pass(c.plain), c.scrambled) << c.plain;
        EXPECT_EQ(decryption_pass(c.scrambled), c.plain) << c.plain;
        EXPECT_EQ(scrambled_form(c.plain), c.scrambled) << c.plain;
    }
}

TEST(VaultFormat, PassesKeepEveryLineAndAreIdempotent) {
    const std::string scrambled = encryption_pass(kPlain);
    EXPECT_EQ(line_count(scrambled), line_count(kPlain));
    EXPECT_EQ(scrambled.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              std::string::npos);
    EXPECT_NE(scrambled.find("\r\n\r\n"), std::string::npos) << "the empty line after a record stays";
    EXPECT_EQ(encryption_pass(scrambled), scrambled);
    EXPECT_EQ(decryption_pass(scrambled), kPlain);
    EXPECT_EQ(decryption_pass(kPlain), kPlain);
    EXPECT_EQ(scrambled_form(scrambled), scrambled);
}

TEST(VaultFormat, InPlacePassesAgreeAndTellWhetherAnythingChanged) {
    for (const std::string& text : {kPlain, encryption_pass(kPlain), std::string("NAM:a"), std::string()}) {
        std::string dec = text, enc = text;
        EXPECT_EQ(decryption_pass_in_place(dec), decryption_pass(text) != text);
        EXPECT_EQ(dec, decryption_pass(text));
        EXPECT_EQ(encryption_pass_in_place(enc), encryption_pass(text) != text);
        EXPECT_EQ(enc, encryption_pass(text));
        EXPECT_EQ(is_scrambled(text), scrambled_form(text) == text);
    }
}

TEST(VaultFormat, ALastLineWithoutLineEndCountsAsALine) {
    EXPECT_EQ(encryption_pass("NAM:a\r\nURL:b"), encryption_pass("NAM:a\r\nURL:b\r\n"));
    EXPECT_EQ(decryption_pass("x"), "x\r\n");
    // A lone CR or LF is part of its line, not a line end.
    EXPECT_EQ(line_count(encryption_pass("NAM:a\rb\nc\r\n")), 1u);
}

TEST(VaultFormat, ReadsRecordsByTheLoadRules) {
    struct Case {
        const char* what;
        std::string plain;
        std::vector<Record> expected;
    };
    const Record full{"n", "u", "s", "p", "DESK-7"};
    const Case cases[] = {
        {"one full record", "NAM:n\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n", {full}},
        {"empty lines between records", "\r\nNAM:n\r\n\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n\r\n", {full}},
        {"values fill by position, not by tag", "NAM:n\r\nPAS:u\r\nIDN:s\r\nURL:p\r\nUSE:DESK-7\r\n", {full}},
        {"lower-case tag ignored", "NAM:n\r\nurl:x\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n", {full}},
        {"three-character line ignored", "NAM:n\r\nURL\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n", {full}},
        {"other tag ignored", "NAM:n\r\nXYZ:1\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\n", {full}},
        {"value before the first name ignored",
         "URL:zz\r\nIDN:zz\r\nNAM:n\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7",
         {full}},
        {"tag alone gives an empty value", "NAM:\r\nURL:\r\n", {Record{"", "", "", "", "", 1}}},
        {"record lacking values",
         "NAM:a\r\nURL:b\r\nNAM:c\r\n",
         {Record{"a", "b", "", "", "", 1}, Record{"c", "", "", "", "", 0}}},
        {"values beyond the fourth kept apart",
         "NAM:n\r\nURL:u\r\nUSE:s\r\nPAS:p\r\nIDN:DESK-7\r\nURL:more\r\nPAS:again\r\n",
         {Record{"n", "u", "s", "p", "DESK-7", 4, {"more", "again"}}}},
        {"colons, commas, quotes and spaces kept",
         "NAM: a:b, \"c\" \r\nURL::\r\n",
         {Record{" a:b, \"c\" ", ":", "", "", "", 1}}},
        {"a lone CR belongs to its line", "NAM:a\rb\r\nURL:\r\r\n", {Record{"a\rb", "\r", "", "", "", 1}}},
        {"a name tag after a lone LF starts no record", "NAM:a\nNAM:b\r\n", {Record{"a\nNAM:b", "", "", "", "", 0}}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parse_records(c.plain), c.expected) << c.what;
        EXPECT_EQ(parse_records(encryption_pass(c.plain)), c.expected) << c.what << " (scrambled)";
    }
}

TEST(VaultFormat, ReadsEveryByteOfAValueAsTheCipherDoes) {
    // Values of every length around the reader's sixteen-byte steps, over all
    // byte values but CR (which could end the line early).
    for (std::size_t length = 0; length <= 300; ++length) {
        std::string value;
        for (std::size_t i = 0; i < length; ++i) {
            const auto byte = static_cast<char>((i * 7 + length) % 256);
            value += byte == '\r' ? 'x' : byte;
        }
        const std::vector<Record> records = parse_records("NAM:" + value + "\r\n");
        ASSERT_EQ(records.size(), 1u) << length;
        EXPECT_EQ(records[0].name, decrypt_text(value)) << length;
    }
}

TEST(VaultFormat, WrittenRecordsReadBackUnchanged) {
    std::vector<Record> records = {
        {"Bank, main", "https://x.example/?q=\"1\"", "  lead", "p:w,\"d'", "DESK-7"},
        {"", "u", "", "", "", 1},
        {"only name", "", "", "", "", 0},
        {"\x80\xBF\xFE\xFF high but storable", "a", "b", "c", "d"},
    };
    std::string plain;
    for (const auto& r : records) append_plain_record(plain, r);
    EXPECT_EQ(parse_records(encryption_pass(plain)), records);
}

} // namespace
