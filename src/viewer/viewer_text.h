#pragma once
// What the viewer works out without the window system: the lines of the print
// file, the stored appearance texts and the order of the rows. Kept apart so that the rules are tested on their own.
#include "vault/record_table.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

// The print file's text: one line per row, in list order, each ended by CR LF,
// with the plain password whatever the display state.
std::string print_text(const vault::RecordTable& rows);

// A colour value is red + 256 * green + 65536 * blue.
using ColourValue = std::uint32_t;
inline constexpr ColourValue kMaxColourValue = 0xFFFFFF;

// The stored texts, as the appearance commands write them.
std::string colour_setting_text(ColourValue colour);

// A stored text read back: surrounding spaces are allowed, anything else that
// is not the form written (or is out of range) gives nothing, and the list
// keeps its current appearance.
std::optional<ColourValue> colour_from_setting(std::string_view text);
std::optional<double> font_points_from_setting(std::string_view text);

// The five sizes of the Font Size submenu, in menu order.
struct FontSizeItem {
    double points;
    std::string_view stored; // the text stored under "FontSize"
};
inline constexpr FontSizeItem kFontSizes[] = {{7, "7"}, {8.25, "8.25"}, {10, "10"}, {12, "12"}, {14, "14"}};
inline constexpr double kDefaultFontPoints = 8.25;

// The list's text order. Each byte has a rank; bytes that the collation
// holds equal (a letter and its other case) share one. Names compare rank by
// rank, a shorter name first; rows of equal names keep their file order.
using CollationRanks = std::array<std::uint8_t, 256>;

// Ranks from a comparison of single characters (the system's collation).
template <typename Compare> CollationRanks collation_ranks(Compare three_way);

// True when `name` begins with `typed` (or, when `whole`, equals it) in the
// list's text order: the keyboard's type-to-find.
bool matches_by_ranks(std::string_view name, std::string_view typed, bool whole, const CollationRanks& ranks);

// The rows' new order: the old index of the row at each new place.
std::vector<std::size_t> sorted_order(const vault::RecordTable& rows, const CollationRanks& ranks);

// The new place of the row at `old_index` under an order from sorted_order.
std::optional<std::size_t> new_place(const std::vector<std::size_t>& order, std::optional<std::size_t> old_index);

// Applies an order from sorted_order to the rows, moving the selection along.
void apply_order(vault::RecordTable& rows, std::optional<std::size_t>& selected, const std::vector<std::size_t>& order);

} // namespace viewer

#include <algorithm>

// `three_way(a, b)` is negative, zero or positive as byte a sorts before, with
// or after byte b.
template <typename Compare> viewer::CollationRanks viewer::collation_ranks(Compare three_way) {
    std::array<int, 255> bytes;
    for (int i = 0; i < 255; ++i) bytes[i] = i + 1; // a name holds no NUL
    std::stable_sort(bytes.begin(), bytes.end(), [&](int a, int b) { return three_way(a, b) < 0; });
    CollationRanks ranks{};
    std::uint8_t rank = 1;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0 && three_way(bytes[i - 1], bytes[i]) != 0) ++rank;
        ranks[static_cast<std::size_t>(bytes[i])] = rank;
    }
    return ranks;
}
