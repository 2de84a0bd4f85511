#include "viewer/viewer_text.h"

#include "vault/cipher.h"

#include <algorithm>
#include <charconv>
#include <cmath>

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

bool url_can_be_activated(std::string_view url) {
    for (std::string_view prefix : kUrlPrefixes)
        if (url.starts_with(prefix)) return true;
    return false;
}

std::string print_text(const std::vector<vault::Record>& rows) {
    std::string text;
    for (const vault::Record& row : rows) {
        text += "Identifer Name: ";
        text += row.name;
        text += "   URL: ";
        text += row.url;
        text += "   UserName: ";
        text += row.user;
        text += "   Password: ";
        text += vault::decrypt_text(row.password);
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

// The ranks of eight bytes of a name from `from` on, in one number with the
// first byte highest; past the name's end the rank is 0, below every byte's.
std::uint64_t rank_chunk(const std::string& name, std::size_t from, const CollationRanks& ranks) {
    std::uint64_t chunk = 0;
    for (std::size_t i = from; i < from + 8; ++i)
        chunk = (chunk << 8) | (i < name.size() ? ranks[static_cast<std::uint8_t>(name[i])] : 0u);
    return chunk;
}

int compare_by_ranks(const std::string& a, const std::string& b, const CollationRanks& ranks) {
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

std::vector<std::size_t> sorted_order(const std::vector<vault::Record>& rows, const CollationRanks& ranks) {
    // The first sixteen bytes of every name, as ranks, sit in the keys
    // themselves: most names are told apart without reading the rows again.
    struct Key {
        std::uint64_t first, second;
        std::size_t index;
    };
    std::vector<Key> keys(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        keys[i] = {rank_chunk(rows[i].name, 0, ranks), rank_chunk(rows[i].name, 8, ranks), i};
    std::sort(keys.begin(), keys.end(), [&](const Key& a, const Key& b) {
        if (a.first != b.first) return a.first < b.first;
        if (a.second != b.second) return a.second < b.second;
        if (rows[a.index].name.size() > 16 || rows[b.index].name.size() > 16) {
            const int compared = compare_by_ranks(rows[a.index].name, rows[b.index].name, ranks);
            if (compared != 0) return compared < 0;
        }
        return a.index < b.index; // equal names keep their file order
    });
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < keys.size(); ++i) order[i] = keys[i].index;
    return order;
}

void apply_order(std::vector<vault::Record>& rows, std::optional<std::size_t>& selected,
                 const std::vector<std::size_t>& order) {
    // In place, one cycle of the permutation at a time: a row is swapped,
    // never copied, and no second list of rows is allocated.
    std::vector<bool> placed(order.size(), false);
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (placed[start]) continue;
        std::size_t place = start;
        while (order[place] != start) {
            std::swap(rows[place], rows[order[place]]);
            placed[place] = true;
            place = order[place];
        }
        placed[place] = true;
    }
    selected = new_place(order, selected);
}

std::optional<std::size_t> new_place(const std::vector<std::size_t>& order, std::optional<std::size_t> old_index) {
    if (!old_index) return std::nullopt;
    const auto found = std::find(order.begin(), order.end(), *old_index);
    return found == order.end() ? std::nullopt : std::optional<std::size_t>(found - order.begin());
}

} // namespace viewer
