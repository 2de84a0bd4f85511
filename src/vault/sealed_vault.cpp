#include "vault/sealed_vault.h"

#include "vault/cipher.h"
#include "vault/record.h"
#include "vault/vault_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace vault {
namespace {

constexpr std::string_view kDerivation = "PBKDF2-HMAC-SHA256";
constexpr std::string_view kWrapWord = "WRAP";
constexpr std::string_view kDataWord = "DATA";
constexpr std::size_t kMostWrappings = 2;

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Base64 in plain or scrambled form: the records' line is written scrambled
// as it goes, not scrambled again afterwards, and read in either form (an
// older version's decryption pass leaves it plain).
void append_base64(std::string& text, std::string_view bytes, bool scrambled) {
    static const auto digits = [] {
        std::array<char, 128> both{};
        for (std::size_t i = 0; i < 64; ++i) {
            both[i] = kBase64[i];
            both[64 + i] = static_cast<char>(encrypt_byte(static_cast<unsigned char>(kBase64[i])));
        }
        return both;
    }();
    const char* digit = digits.data() + (scrambled ? 64 : 0);
    std::size_t at = text.size();
    text.resize(at + (bytes.size() + 2) / 3 * 4);
    char* out = text.data() + at;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = unsigned(in[i]) << 16 | unsigned(in[i + 1]) << 8 | in[i + 2];
        *out++ = digit[v >> 18];
        *out++ = digit[(v >> 12) & 63];
        *out++ = digit[(v >> 6) & 63];
        *out++ = digit[v & 63];
    }
    if (const std::size_t rest = bytes.size() - i) {
        const unsigned v = unsigned(in[i]) << 16 | (rest == 2 ? unsigned(in[i + 1]) << 8 : 0);
        *out++ = digit[v >> 18];
        *out++ = digit[(v >> 12) & 63];
        *out++ = rest == 2 ? digit[(v >> 6) & 63] : '=';
        *out++ = '=';
    }
}

std::string to_base64(std::string_view bytes) {
    std::string text;
    append_base64(text, bytes, false);
    return text;
}

// Strict: whole groups, padding only at the end, no bits left over.
bool from_base64(std::string_view text, std::string& bytes) {
    static const std::array<std::int8_t, 256> values = [] {
        std::array<std::int8_t, 256> table;
        table.fill(-1);
        for (std::size_t i = 0; i < kBase64.size(); ++i) {
            const auto c = static_cast<unsigned char>(kBase64[i]);
            table[c] = table[encrypt_byte(c)] = static_cast<std::int8_t>(i);
        }
        return table;
    }();
    bytes.clear();
    if (text.empty() || text.size() % 4 != 0) return text.empty();
    const std::size_t pad = (text.back() == '=') + (text[text.size() - 2] == '=');
    bytes.resize(text.size() / 4 * 3);
    char* out = bytes.data();
    const auto* in = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t groups = text.size() / 4;
    int bad = 0;
    for (std::size_t g = 0; g < groups; ++g, in += 4) {
        const bool last = g + 1 == groups;
        const int a = values[in[0]], b = values[in[1]];
        const int c = last && pad == 2 ? 0 : values[in[2]];
        const int d = last && pad >= 1 ? 0 : values[in[3]];
        bad |= a | b | c | d;
        const unsigned v = unsigned(a) << 18 | unsigned(b) << 12 | unsigned(c) << 6 | unsigned(d);
        *out++ = static_cast<char>(v >> 16);
        *out++ = static_cast<char>(v >> 8);
        *out++ = static_cast<char>(v);
    }
    const unsigned char last_bits = pad == 0 ? 0 : static_cast<unsigned char>(bytes[bytes.size() - pad]);
    if (bad < 0 || last_bits != 0) {
        bytes.clear();
        return false;
    }
    bytes.resize(bytes.size() - pad);
    return true;
}

std::vector<std::string_view> words_of(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (at <= line.size()) {
        const std::size_t end = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

bool parse_count(std::string_view text, std::uint32_t& count) {
    if (text.empty() || text.size() > 10 || text[0] == '0') return false;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > UINT32_MAX) return false;
    count = static_cast<std::uint32_t>(value);
    return true;
}

std::string derivation_text(const Wrapping& wrapping) {
    return std::string(kDerivation) + ' ' + std::to_string(wrapping.iterations) + ' ' + to_base64(wrapping.salt);
}
std::string wrapping_line(const Wrapping& wrapping) {
    return std::string(kWrapWord) + ' ' + derivation_text(wrapping) + ' ' + to_base64(wrapping.nonce) + ' ' +
           to_base64(wrapping.wrapped);
}
// What a wrapping authenticates: the file's first line and its own derivation.
std::string wrapping_aad(const Wrapping& wrapping) {
    return std::string(kSealedFirstLine) + "\r\n" + derivation_text(wrapping);
}
std::string header_text(const std::vector<Wrapping>& wrappings) {
    std::string header = std::string(kSealedFirstLine) + "\r\n";
    for (const Wrapping& wrapping : wrappings) header += wrapping_line(wrapping) + "\r\n";
    return header;
}

// A file's lines as they stand, each ended by CR LF; false when one is not.
bool raw_lines(std::string_view file, std::vector<std::string_view>& lines) {
    std::size_t at = 0;
    while (at < file.size()) {
        const std::size_t end = file.find('\n', at);
        if (end == std::string_view::npos || end == at || file[end - 1] != '\r') return false;
        const std::string_view line = file.substr(at, end - 1 - at);
        if (line.find('\r') != std::string_view::npos) return false;
        lines.push_back(line);
        at = end + 1;
    }
    return true;
}

bool is_record_line(std::string_view line) {
    if (line.empty()) return true;
    const std::string tag = decrypt_text(line.substr(0, 4));
    return tag == kNameTag || std::ranges::find(kValueTags, tag) != kValueTags.end();
}

struct SealedParts {
    std::vector<Wrapping> wrappings;
    std::string nonce;
    std::string sealed;
    std::size_t tail_at = 0; // where the lines after DATA begin, in the file
};

bool parse_wrapping(std::string_view line, const SealOptions& options, Wrapping& wrapping) {
    const auto words = words_of(line);
    return words.size() == 6 && words[0] == kWrapWord && words[1] == kDerivation &&
           parse_count(words[2], wrapping.iterations) && wrapping.iterations >= options.least_iterations &&
           wrapping.iterations <= options.most_iterations && from_base64(words[3], wrapping.salt) &&
           wrapping.salt.size() == kSealSaltBytes && from_base64(words[4], wrapping.nonce) &&
           wrapping.nonce.size() == kSealNonceBytes && from_base64(words[5], wrapping.wrapped) &&
           wrapping.wrapped.size() == kSealKeyBytes + kSealTagBytes;
}

bool parse_sealed(std::string_view file, const SealOptions& options, SealedParts& parts) {
    std::vector<std::string_view> lines;
    if (!raw_lines(file, lines) || lines.empty() || decrypt_text(lines[0]) != kSealedFirstLine) return false;
    std::size_t line = 1;
    for (; line < lines.size() && decrypt_text(lines[line].substr(0, kWrapWord.size())) == kWrapWord; ++line) {
        if (parts.wrappings.size() == kMostWrappings) return false;
        if (!parse_wrapping(decrypt_text(lines[line]), options, parts.wrappings.emplace_back())) return false;
    }
    if (parts.wrappings.empty() || line == lines.size()) return false;
    // The records' line is read as it stands: its digits in either form.
    const auto data = words_of(lines[line]);
    if (data.size() != 3 || decrypt_text(data[0]) != kDataWord || !from_base64(data[1], parts.nonce) ||
        parts.nonce.size() != kSealNonceBytes || !from_base64(data[2], parts.sealed) ||
        parts.sealed.size() <= kSealTagBytes)
        return false;
    // An older Quillock may have appended records; nothing else belongs there.
    for (std::size_t tail = line + 1; tail < lines.size(); ++tail) {
        if (!is_record_line(lines[tail])) return false;
    }
    parts.tail_at = static_cast<std::size_t>(lines[line].data() + lines[line].size() + 2 - file.data());
    return true;
}

} // namespace

void wipe_secret(std::string& secret) {
    std::memset(secret.data(), 0, secret.size());
    // The compiler may not leave out the zeroing of memory it is told is read here.
    asm volatile("" : : "r"(secret.data()) : "memory");
    secret.clear();
}

bool is_sealed(std::string_view file) {
    const std::size_t first = kSealedFirstLine.size();
    // Whatever its line ends became: a sealed file altered is refused, never read as scrambled.
    return file.size() > first && decrypt_text(file.substr(0, first)) == kSealedFirstLine &&
           (file[first] == '\r' || file[first] == '\n');
}

void DerivedKeys::clear() {
    for (Derived& known : known_) {
        wipe_secret(known.password);
        wipe_secret(known.key);
    }
    known_.clear();
}

const std::string* DerivedKeys::key(SealCrypto& crypto, std::string_view password, std::string_view salt,
                                    std::uint32_t iterations) {
    for (const Derived& known : known_) {
        if (known.password == password && known.iterations == iterations && known.salt == salt) return &known.key;
    }
    Derived made{std::string(password), iterations, std::string(salt), {}};
    if (!crypto.derive_key(password, salt, iterations, made.key) || made.key.size() != kSealKeyBytes) {
        wipe_secret(made.password);
        wipe_secret(made.key);
        return nullptr;
    }
    known_.push_back(std::move(made));
    return &known_.back().key;
}

std::string DerivedKeys::salt_of(std::string_view password, std::uint32_t iterations) const {
    for (const Derived& known : known_) {
        if (known.password == password && known.iterations == iterations) return known.salt;
    }
    return {};
}

void SealKeys::forget_file() {
    wipe_secret(data_key_);
    wrappings_.clear();
    own_wrapping_ = 0;
    appended_ = false;
}

SealKeys SealKeys::copy() const {
    SealKeys keys;
    keys.data_key_ = data_key_;
    keys.wrappings_ = wrappings_;
    keys.own_wrapping_ = own_wrapping_;
    return keys;
}

bool SealKeys::unwrap(SealOptions& options, std::string_view password, const Wrapping& wrapping,
                      std::string& data_key) {
    const std::string* key = options.derived.key(*options.crypto, password, wrapping.salt, wrapping.iterations);
    if (key && options.crypto->open(*key, wrapping.nonce, wrapping_aad(wrapping), wrapping.wrapped, data_key) &&
        data_key.size() == kSealKeyBytes)
        return true;
    wipe_secret(data_key);
    return false;
}

bool SealKeys::make_new(SealOptions& options) {
    forget_file();
    if (!options.crypto || !options.crypto->random(kSealKeyBytes, data_key_) || data_key_.size() != kSealKeyBytes ||
        !add_wrapping(options, options.password)) {
        forget_file();
        return false;
    }
    return true;
}

bool SealKeys::add_wrapping(SealOptions& options, std::string_view password) {
    if (!holds_key() || !options.crypto) return false;
    for (const Wrapping& wrapping : wrappings_) {
        std::string key;
        const bool opens = unwrap(options, password, wrapping, key);
        wipe_secret(key);
        if (opens) return true;
    }
    if (wrappings_.size() == kMostWrappings) return false;
    Wrapping wrapping;
    wrapping.iterations = options.iterations;
    // The vault and its backup share one derivation for the same password.
    wrapping.salt = options.derived.salt_of(password, options.iterations);
    if (wrapping.salt.empty() && !options.crypto->random(kSealSaltBytes, wrapping.salt)) return false;
    if (!options.crypto->random(kSealNonceBytes, wrapping.nonce)) return false;
    const std::string* key = options.derived.key(*options.crypto, password, wrapping.salt, wrapping.iterations);
    if (!key || !options.crypto->seal(*key, wrapping.nonce, wrapping_aad(wrapping), data_key_, wrapping.wrapped))
        return false;
    wrappings_.push_back(std::move(wrapping));
    return true;
}

void SealKeys::keep_own_wrapping() {
    if (wrappings_.size() < 2) return;
    Wrapping own = std::move(wrappings_[own_wrapping_]);
    wrappings_.clear();
    wrappings_.push_back(std::move(own));
    own_wrapping_ = 0;
}

SealKeys::Opened SealKeys::open(SealOptions& options, std::string_view file, std::string& records) {
    forget_file();
    records.clear();
    if (!is_sealed(file)) return Opened::NotSealed;
    SealedParts parts;
    if (!parse_sealed(file, options, parts)) return Opened::Damaged;
    if (!options.crypto) return Opened::Refused;
    bool refused = false;
    for (std::size_t i = 0; i < parts.wrappings.size() && data_key_.empty(); ++i) {
        const Wrapping& wrapping = parts.wrappings[i];
        if (!options.derived.key(*options.crypto, options.password, wrapping.salt, wrapping.iterations)) {
            refused = true;
        } else if (unwrap(options, options.password, wrapping, data_key_)) {
            own_wrapping_ = i;
        }
    }
    if (data_key_.empty()) return refused ? Opened::Refused : Opened::WrongPassword;
    std::string payload;
    if (!options.crypto->open(data_key_, parts.nonce, header_text(parts.wrappings), parts.sealed, payload) ||
        !payload.starts_with(kSealedPayloadLine)) {
        wipe_secret(payload);
        forget_file();
        return Opened::Damaged;
    }
    wrappings_ = std::move(parts.wrappings);
    payload.erase(0, kSealedPayloadLine.size());
    records = std::move(payload);
    // Appended by an older Quillock: scrambled as the payload's records are.
    appended_ = parts.tail_at < file.size();
    records += scrambled_form(file.substr(parts.tail_at));
    return Opened::Ok;
}

bool SealKeys::seal(SealOptions& options, std::string_view records, std::string& file) const {
    if (!holds_key() || !options.crypto) return false;
    std::string nonce;
    std::string payload;
    payload.reserve(kSealedPayloadLine.size() + records.size());
    payload.append(kSealedPayloadLine).append(records);
    std::string sealed;
    const std::string header = header_text(wrappings_);
    const bool done = options.crypto->random(kSealNonceBytes, nonce) && nonce.size() == kSealNonceBytes &&
                      options.crypto->seal(data_key_, nonce, header, payload, sealed);
    wipe_secret(payload);
    if (!done) return false;
    file = header + std::string(kDataWord) + ' ' + to_base64(nonce) + ' ';
    scramble_in_place(file);
    file.reserve(file.size() + sealed.size() / 3 * 4 + 8);
    append_base64(file, sealed, true);
    file += "\r\n";
    return true;
}

} // namespace vault
