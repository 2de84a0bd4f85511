#include "vault/vault_format.h"

#include "vault/cipher.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

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
const ByteTable& scramble_table() {
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

// Sixteen bytes at a time: GCC and clang turn these into the machine's
// vector instructions (SSE2 on x86-64), which the plain loops do not get at -O2.
using Bytes16 = unsigned char __attribute__((vector_size(16)));
constexpr std::size_t kLanes = 16;

Bytes16 load16(const unsigned char* at) {
    Bytes16 v;
    std::memcpy(&v, at, kLanes);
    return v;
}

Bytes16 splat(unsigned char c) { return Bytes16{} + c; }

std::size_t lane_sum(Bytes16 v) {
    std::size_t sum = 0;
    for (std::size_t i = 0; i < kLanes; ++i) sum += v[i];
    return sum;
}

// At most how many records the text holds: the name tag's first letter and
// colon, in either form, at the start of the text or after a line feed. The
// bound is tight for any file a writer made, and a crafted one cannot make it
// exceed what real records of the same size would ask: so the records are
// allocated once and never moved as they grow.
std::size_t most_records(std::string_view content) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
    const std::size_t size = content.size();
    const auto first = static_cast<unsigned char>(kNameTag[0]);
    const unsigned char scrambled_first = encrypt_table()[first];
    const auto colon = static_cast<unsigned char>(kNameTag[3]);
    auto starts_tag = [&](std::size_t i) {
        return (i == 0 || bytes[i - 1] == '\n') && (bytes[i] == first || bytes[i] == scrambled_first) &&
               bytes[i + 3] == colon;
    };
    if (size < 4) return 0;
    std::size_t count = starts_tag(0);
    std::size_t i = 1;
    const Bytes16 line_feed = splat('\n'), letter = splat(first), scrambled = splat(scrambled_first),
                  tag_end = splat(colon);
    while (i + 3 + kLanes <= size) {
        Bytes16 found{};
        for (int round = 0; round < 255 && i + 3 + kLanes <= size; ++round, i += kLanes) {
            const Bytes16 here = load16(bytes + i);
            found -= (load16(bytes + i - 1) == line_feed) & ((here == letter) | (here == scrambled)) &
                     (load16(bytes + i + 3) == tag_end);
        }
        count += lane_sum(found);
    }
    for (; i + 4 <= size; ++i) count += starts_tag(i);
    return count;
}

// The first CR at or after `from`, or `end`. Sixteen bytes a step: under
// Wine the C library's memchr took as long as all the rest of the reading.
const unsigned char* find_carriage_return(const unsigned char* from, const unsigned char* end) {
    const Bytes16 carriage_return = splat('\r');
    while (static_cast<std::size_t>(end - from) >= kLanes) {
        const Bytes16 found = load16(from) == carriage_return;
        std::uint64_t halves[2];
        std::memcpy(halves, &found, kLanes);
        if (halves[0]) return from + __builtin_ctzll(halves[0]) / 8;
        if (halves[1]) return from + 8 + __builtin_ctzll(halves[1]) / 8;
        from += kLanes;
    }
    while (from < end && *from != '\r') ++from;
    return from;
}

// A four-byte tag read through the decrypt table, as one number.
std::uint32_t tag_code(const unsigned char* at, const ByteTable& plain) {
    return static_cast<std::uint32_t>(plain[at[0]]) | static_cast<std::uint32_t>(plain[at[1]]) << 8 |
           static_cast<std::uint32_t>(plain[at[2]]) << 16 | static_cast<std::uint32_t>(plain[at[3]]) << 24;
}

constexpr std::uint32_t tag_code(std::string_view tag) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(tag[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(tag[3])) << 24;
}

bool map_lines_in_place(std::string& content, const ByteTable& table) {
    unsigned changed = 0;
    for (char& c : content) {
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

bool decryption_pass_in_place(std::string& content) { return map_lines_in_place(content, decrypt_table()); }
bool encryption_pass_in_place(std::string& content) { return map_lines_in_place(content, encrypt_table()); }

std::string decryption_pass(std::string_view content) { return map_lines(content, decrypt_table()); }
std::string encryption_pass(std::string_view content) { return map_lines(content, encrypt_table()); }
std::string scrambled_form(std::string_view content) { return map_lines(content, scramble_table()); }

bool is_scrambled(std::string_view content) {
    if (!content.empty() && !content.ends_with("\r\n")) return false;
    // Sealing changes exactly the ASCII letters and digits.
    const auto* bytes = reinterpret_cast<const unsigned char*>(content.data());
    const std::size_t size = content.size();
    const Bytes16 zero = splat('0'), ten = splat(10), lower_a = splat('a'), letters = splat(26), case_bit = splat(0x20);
    std::size_t i = 0;
    while (i + kLanes <= size) {
        Bytes16 found{};
        for (int round = 0; round < 16 && i + kLanes <= size; ++round, i += kLanes) {
            const Bytes16 v = load16(bytes + i);
            found |=
                static_cast<Bytes16>((v - zero) < ten) | static_cast<Bytes16>(((v | case_bit) - lower_a) < letters);
        }
        if (lane_sum(found)) return false;
    }
    for (; i < size; ++i) {
        const auto c = bytes[i];
        if (static_cast<unsigned char>(c - '0') < 10 || static_cast<unsigned char>((c | 0x20) - 'a') < 26) return false;
    }
    return true;
}

void scramble_in_place(std::string& text) {
    const ByteTable& table = encrypt_table();
    for (char& c : text) c = static_cast<char>(table[static_cast<unsigned char>(c)]);
}

RecordTable parse_record_table(std::shared_ptr<const std::string> file, const std::function<bool()>& every_few_lines) {
    constexpr unsigned kLinesPerCall = 256;
    constexpr std::uint32_t kName = tag_code(kNameTag);
    constexpr std::uint32_t kValues[] = {tag_code(kValueTags[0]), tag_code(kValueTags[1]), tag_code(kValueTags[2]),
                                         tag_code(kValueTags[3])};
    const ByteTable& plain = decrypt_table();
    const std::string_view content = *file;
    RecordTable records(file);
    records.reserve(most_records(content));
    if (every_few_lines && !every_few_lines()) return records;
    // One sweep over the text: each line is found and its tag read; the
    // table notes where the value lies, and nothing is copied.
    const auto* const begin = reinterpret_cast<const unsigned char*>(content.data());
    const auto* at = begin;
    const auto* const end = at + content.size();
    unsigned lines = 0;
    while (at < end) {
        const unsigned char* line_end = at;
        for (;;) {
            line_end = find_carriage_return(line_end, end);
            if (line_end == end) break;
            if (line_end + 1 < end && line_end[1] == '\n') break;
            ++line_end; // a lone CR belongs to the line
        }
        const unsigned char* line = at;
        at = line_end == end ? end : line_end + 2;
        if (every_few_lines && ++lines % kLinesPerCall == 0 && !every_few_lines()) return records;
        if (line_end - line < 4) continue;
        const std::uint32_t tag = tag_code(line, plain);
        const auto value_at = static_cast<std::size_t>(line + 4 - begin);
        const auto value_size = static_cast<std::size_t>(line_end - line) - 4;
        if (tag == kName) {
            records.add_record(value_at, value_size);
        } else if (!records.empty() &&
                   (tag == kValues[0] || tag == kValues[1] || tag == kValues[2] || tag == kValues[3])) {
            records.add_value(value_at, value_size);
        }
    }
    return records;
}

std::vector<Record> parse_records(std::string_view content) {
    return parse_record_table(std::make_shared<const std::string>(content)).records();
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

void append_scrambled_record(std::string& scrambled, const RecordTable& records, std::size_t row) {
    const ByteTable& encrypt = encrypt_table();
    const ByteTable& scramble = scramble_table();
    // The table holds its texts scrambled, or plain when they came from a
    // file that was not scrambled throughout: scrambling it scrambles either.
    auto append_line = [&](std::string_view tag, std::string_view held) {
        const std::size_t at = scrambled.size();
        scrambled.resize(at + tag.size() + held.size());
        char* out = scrambled.data() + at;
        for (char c : tag) *out++ = static_cast<char>(encrypt[static_cast<unsigned char>(c)]);
        for (char c : held) *out++ = static_cast<char>(scramble[static_cast<unsigned char>(c)]);
        scrambled += "\r\n";
    };
    append_line(kNameTag, records.held_name(row));
    for (int i = 0; i < records.value_count(row) && i < 4; ++i)
        append_line(kValueTags[i], records.held_value(row, Field(i)));
}

} // namespace vault
