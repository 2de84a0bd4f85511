#include "viewer/viewer_text.h"

#include "vault/cipher.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace viewer {
namespace {

std::string_view trim_spaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool all_digits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

std::string print_text(const vault::RecordTable& rows) {
    std::string text;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        text += "Identifer Name: ";
        text += rows.name(row);
        text += "   URL: ";
        text += rows.value(row, vault::Field::Url);
        text += "   UserName: ";
        text += rows.value(row, vault::Field::User);
        text += "   Password: ";
        text += rows.value(row, vault::Field::Password);
        text += "\r\n";
    }
    return text;
}

std::string colour_setting_text(ColourValue colour) { return std::to_string(colour); }

std::optional<ColourValue> colour_from_setting(std::string_view text) {
    text = trim_spaces(text);
    if (!all_digits(text)) return std::nullopt;
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value > kMaxColourValue) return std::nullopt;
    return static_cast<ColourValue>(value);
}

std::optional<double> font_points_from_setting(std::string_view text) {
    text = trim_spaces(text);
    // Digits with at most one "." between them: "8.25", "10", ".5" and "12." are read,
    // signs, exponents and a decimal comma are not.
    const auto point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if ((!whole.empty() && !all_digits(whole)) || (!fraction.empty() && !all_digits(fraction))) return std::nullopt;
    double points = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), points, std::chars_format::fixed);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    // Fonts of under one point or of more than a few inches are not something the list can show.
    if (!std::isfinite(points) || points < 1 || points > 1638) return std::nullopt;
    return points;
}

namespace {

// The ranks of `count` bytes of a name from `from` on, in one number with the
// first byte highest; past the name's end the rank is 0, below every byte's.
std::uint64_t rank_chunk(std::string_view name, std::size_t from, std::size_t count, const CollationRanks& ranks) {
    std::uint64_t chunk = 0;
    for (std::size_t i = from; i < from + count; ++i)
        chunk = (chunk << 8) | (i < name.size() ? ranks[static_cast<std::uint8_t>(name[i])] : 0u);
    return chunk;
}

int compare_by_ranks(std::string_view a, std::string_view b, const CollationRanks& ranks) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int difference = ranks[static_cast<std::uint8_t>(a[i])] - ranks[static_cast<std::uint8_t>(b[i])];
        if (difference != 0) return difference;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

} // namespace

bool matches_by_ranks(std::string_view name, std::string_view typed, bool whole, const CollationRanks& ranks) {
    if (name.size() < typed.size() || (whole && name.size() != typed.size())) return false;
    for (std::size_t i = 0; i < typed.size(); ++i)
        if (ranks[static_cast<std::uint8_t>(name[i])] != ranks[static_cast<std::uint8_t>(typed[i])]) return false;
    return true;
}

namespace {

// A name's first twelve ranks and its row, in sixteen bytes: most names are
// told apart by these alone, without reading the rows again.
struct SortKey {
    std::uint64_t first;
    std::uint32_t second;
    std::uint32_t index;
};
constexpr int kKeyBytes = 12;

// Rank byte `at` of the key, 0 the first (most significant).
unsigned key_byte(const SortKey& key, int at) {
    return at < 8 ? (key.first >> (8 * (7 - at))) & 0xFF : (key.second >> (8 * (11 - at))) & 0xFF;
}

// Orders the keys by their rank bytes, one byte at a time from the last:
// each step is stable, so keys of equal bytes stay in file order. A byte
// that is the same in every key needs no step.
void sort_by_key_bytes(std::vector<SortKey>& keys) {
    std::vector<std::array<std::size_t, 256>> counts(kKeyBytes);
    for (const SortKey& key : keys)
        for (int at = 0; at < kKeyBytes; ++at) ++counts[at][key_byte(key, at)];
    std::vector<SortKey> moved(keys.size());
    for (int at = kKeyBytes - 1; at >= 0; --at) {
        std::array<std::size_t, 256>& count = counts[at];
        if (count[key_byte(keys.front(), at)] == keys.size()) continue;
        std::size_t start = 0;
        for (std::size_t& c : count) start += std::exchange(c, start);
        for (const SortKey& key : keys) moved[count[key_byte(key, at)]++] = key;
        keys.swap(moved);
    }
}

} // namespace

std::vector<std::size_t> sorted_order(const vault::RecordTable& rows, const CollationRanks& plain_ranks) {
    std::vector<std::size_t> order(rows.size());
    if (rows.empty()) return order;
    // The names are ranked as the table holds them, each byte by the rank of
    // the plain byte it stands for: no name is made plain to be sorted.
    CollationRanks ranks;
    for (int b = 0; b < 256; ++b) ranks[b] = plain_ranks[vault::decrypt_byte(static_cast<unsigned char>(b))];
    // Rows are counted in 32 bits, as the table's places are.
    std::vector<SortKey> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::string_view name = rows.held_name(i);
        keys[i] = {rank_chunk(name, 0, 8, ranks), static_cast<std::uint32_t>(rank_chunk(name, 8, 4, ranks)),
                   static_cast<std::uint32_t>(i)};
    }
    sort_by_key_bytes(keys);
    // Names that agree in their first twelve ranks are ordered by the rest;
    // equal names keep their file order.
    auto same_start = [](const SortKey& a, const SortKey& b) { return a.first == b.first && a.second == b.second; };
    for (auto run = keys.begin(); run != keys.end();) {
        auto run_end = std::find_if_not(run + 1, keys.end(), [&](const SortKey& key) { return same_start(key, *run); });
        if (run_end - run > 1) {
            std::stable_sort(run, run_end, [&](const SortKey& a, const SortKey& b) {
                return compare_by_ranks(rows.held_name(a.index), rows.held_name(b.index), ranks) < 0;
            });
        }
        run = run_end;
    }
    for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
    return order;
}

void apply_order(vault::RecordTable& rows, std::optional<std::size_t>& selected,
                 const std::vector<std::size_t>& order) {
    rows.reorder(order);
    selected = new_place(order, selected);
}

std::optional<std::size_t> new_place(const std::vector<std::size_t>& order, std::optional<std::size_t> old_index) {
    if (!old_index) return std::nullopt;
    const auto found = std::find(order.begin(), order.end(), *old_index);
    return found == order.end() ? std::nullopt : std::optional<std::size_t>(found - order.begin());
}

} // namespace viewer
