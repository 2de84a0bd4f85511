#include "vault/vault_format.h"

#include "vault/cipher.h"

#include <array>

namespace vault {
namespace {

using ByteTable = std::array<unsigned char, 256>;

ByteTable make_table(std::string (*first)(std::string_view), std::string (*second)(std::string_view)) {
    ByteTable table{};
    for (int code = 0; code < 256; ++code) {
        std::string one(1, static_cast<char>(code));
        one = first(one);
        if (second) one = second(one);
        table[code] = static_cast<unsigned char>(one[0]);
    }
    return table;
}

const ByteTable& decrypt_table() {
    static const ByteTable table = make_table(decrypt_text, nullptr);
    return table;
}
const ByteTable& encrypt_table() {
    static const ByteTable table = make_table(encrypt_text, nullptr);
    return table;
}
const ByteTable& seal_table() {
    static const ByteTable table = make_table(decrypt_text, encrypt_text);
    return table;
}

// The cipher works byte by byte and never touches CR or LF, so a pass over
// the lines is the byte map over the whole text, plus the CR LF that a last
// unterminated line gains.
std::string map_lines(std::string_view content, const ByteTable& table) {
    const bool terminated = content.empty() || content.ends_with("\r\n");
    std::string result;
    result.reserve(content.size() + 2);
    result.resize(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        result[i] = static_cast<char>(table[static_cast<unsigned char>(content[i])]);
    }
    if (!terminated) result += "\r\n";
    return result;
}

} // namespace

std::string decryption_pass(std::string_view content) { return map_lines(content, decrypt_table()); }
std::string encryption_pass(std::string_view content) { return map_lines(content, encrypt_table()); }
std::string sealed_form(std::string_view content) { return map_lines(content, seal_table()); }

void scramble_in_place(std::string& text) {
    const ByteTable& table = encrypt_table();
    for (char& c : text) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

std::vector<Record> parse_records(std::string_view content, const std::function<void()>& every_few_lines) {
    constexpr unsigned kLinesPerCall = 256;
    const ByteTable& plain = decrypt_table();
    std::vector<Record> records;
    std::string line;
    unsigned lines = 0;
    if (every_few_lines) every_few_lines();
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find("\r\n", start);
        if (end == std::string_view::npos) end = content.size();
        line.assign(content.substr(start, end - start));
        start = end + 2;
        if (every_few_lines && ++lines % kLinesPerCall == 0) every_few_lines();
        if (line.size() < 4) continue;
        for (char& c : line) c = static_cast<char>(plain[static_cast<unsigned char>(c)]);
        const std::string_view tag = std::string_view(line).substr(0, 4);
        const std::string_view value = std::string_view(line).substr(4);
        if (tag == kNameTag) {
            Record& record = records.emplace_back();
            record.name = value;
            record.value_count = 0;
            continue;
        }
        bool value_tag = false;
        for (std::string_view t : kValueTags) value_tag = value_tag || tag == t;
        if (!value_tag || records.empty()) continue;
        Record& record = records.back();
        if (record.value_count < 4) {
            record.value(Field(record.value_count++)) = value;
        } else {
            record.extra.emplace_back(value);
        }
    }
    return records;
}

void append_plain_record(std::string& plain, const Record& record) {
    plain += kNameTag;
    plain += record.name;
    plain += "\r\n";
    for (int i = 0; i < record.value_count && i < 4; ++i) {
        plain += kValueTags[i];
        plain += record.value(Field(i));
        plain += "\r\n";
    }
}

} // namespace vault
