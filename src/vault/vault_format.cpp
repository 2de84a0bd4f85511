#include "vault/vault_format.h"

#include "vault/cipher.h"

#include <algorithm>
#include <array>

namespace vault {
namespace {

using ByteTable = std::array<unsigned char, 256>;

ByteTable make_table(std::string (*first)(std::string_view), std::string (*second)(std::string_view)) {
    ByteTable table{};
    for (int code = 0; code < 256; ++code) {
        std::string one(1, static_cast<char>(code));
        one = first(one);
        if (second)
            one = second(one);
        table[code] = static_cast<unsigned char>(one[0]);
    }
    return table;
}

const ByteTable &decrypt_table() {
    static const ByteTable table = make_table(decrypt_text, nullptr);
    return table;
}
const ByteTable &encrypt_table() {
    static const ByteTable table = make_table(encrypt_text, nullptr);
    return table;
}
const ByteTable &seal_table() {
    static const ByteTable table = make_table(decrypt_text, encrypt_text);
    return table;
}

// The cipher works byte by byte and never touches CR or LF, so a pass over
// the lines is the byte map over the whole text, plus the CR LF that a last
// unterminated line gains.
std::string map_lines(std::string_view content, const ByteTable &table) {
    const bool terminated = content.empty() || content.ends_with("\r\n");
    std::string result;
    result.reserve(content.size() + 2);
    result.resize(content.size());
    for (std::size_t i = 0; i < content.size(); ++i) {
        result[i] = static_cast<char>(table[static_cast<unsigned char>(content[i])]);
    }
    if (!terminated)
        result += "\r\n";
    return result;
}

// How many lines start with the name tag, in either form: the record count,
// so that the records are allocated once and not copied as they grow.
std::size_t count_name_lines(std::string_view content, const ByteTable &plain) {
    std::size_t count = 0;
    auto is_name_at = [&](std::size_t at) {
        if (content.size() - at < 4)
            return false;
        for (std::size_t i = 0; i < 4; ++i) {
            if (plain[static_cast<unsigned char>(content[at + i])] != static_cast<unsigned char>(kNameTag[i])) {
                return false;
            }
        }
        return true;
    };
    for (std::size_t at = 0; at < content.size();) {
        if (is_name_at(at))
            ++count;
        const std::size_t end = content.find("\r\n", at);
        if (end == std::string_view::npos)
            break;
        at = end + 2;
    }
    return count;
}

bool map_lines_in_place(std::string &content, const ByteTable &table) {
    unsigned changed = 0;
    for (char &c : content) {
        const auto before = static_cast<unsigned char>(c);
        const unsigned char after = table[before];
        changed |= static_cast<unsigned>(after != before);
        c = static_cast<char>(after);
    }
    if (!content.empty() && !content.ends_with("\r\n")) {
        content += "\r\n";
        changed = 1;
    }
    return changed != 0;
}

} // namespace

bool decryption_pass_in_place(std::string &content) {
    return map_lines_in_place(content, decrypt_table());
}
bool encryption_pass_in_place(std::string &content) {
    return map_lines_in_place(content, encrypt_table());
}

std::string decryption_pass(std::string_view content) {
    return map_lines(content, decrypt_table());
}
std::string encryption_pass(std::string_view content) {
    return map_lines(content, encrypt_table());
}
std::string sealed_form(std::string_view content) {
    return map_lines(content, seal_table());
}

bool is_sealed(std::string_view content) {
    if (!content.empty() && !content.ends_with("\r\n"))
        return false;
    // Sealing changes exactly the ASCII letters and digits. The test runs in
    // blocks without branches so that the compiler can vectorise it.
    constexpr std::size_t kBlock = 256;
    for (std::size_t at = 0; at < content.size(); at += kBlock) {
        const std::size_t end = std::min(content.size(), at + kBlock);
        unsigned found = 0;
        for (std::size_t i = at; i < end; ++i) {
            const auto c = static_cast<unsigned char>(content[i]);
            found |= static_cast<unsigned>(static_cast<unsigned char>(c - '0') < 10) |
                     static_cast<unsigned>(static_cast<unsigned char>((c | 0x20) - 'a') < 26);
        }
        if (found)
            return false;
    }
    return true;
}

void scramble_in_place(std::string &text) {
    const ByteTable &table = encrypt_table();
    for (char &c : text)
        c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

std::vector<Record> parse_records(std::string_view content, const std::function<void()> &every_few_lines) {
    constexpr unsigned kLinesPerCall = 256;
    const ByteTable &plain = decrypt_table();
    std::vector<Record> records;
    records.reserve(count_name_lines(content, plain));
    unsigned lines = 0;
    if (every_few_lines)
        every_few_lines();
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find("\r\n", start);
        if (end == std::string_view::npos)
            end = content.size();
        const std::string_view line = content.substr(start, end - start);
        start = end + 2;
        if (every_few_lines && ++lines % kLinesPerCall == 0)
            every_few_lines();
        if (line.size() < 4)
            continue;
        char tag_bytes[4];
        for (int i = 0; i < 4; ++i)
            tag_bytes[i] = static_cast<char>(plain[static_cast<unsigned char>(line[i])]);
        const std::string_view tag(tag_bytes, 4);
        std::string *target = nullptr;
        if (tag == kNameTag) {
            Record &record = records.emplace_back();
            record.value_count = 0;
            target = &record.name;
        } else if (!records.empty() && std::find(kValueTags.begin(), kValueTags.end(), tag) != kValueTags.end()) {
            Record &record = records.back();
            target = record.value_count < 4 ? &record.value(Field(record.value_count++)) : &record.extra.emplace_back();
        }
        if (!target)
            continue;
        target->assign(line.substr(4));
        for (char &c : *target)
            c = static_cast<char>(plain[static_cast<unsigned char>(c)]);
    }
    return records;
}

void append_plain_record(std::string &plain, const Record &record) {
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
