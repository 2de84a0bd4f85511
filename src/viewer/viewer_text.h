#pragma once
// What the viewer works out without the window system: which URLs it hands to
// the browser, the lines of the print file, the stored appearance texts and
// the order of the rows. Kept apart so that the rules are tested on their own.
#include "vault/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace viewer {

inline constexpr std::string_view kUrlPrefixes[] = {"www.", "WWW.", "http://", "HTTP://", "https://", "HTTPS://"};

// True when the URL begins with one of the six prefixes, compared exactly.
bool url_can_be_activated(std::string_view url);

// The print file's text: one line per row, in list order, each ended by CR LF,
// with the plain password whatever the display state.
std::string print_text(const std::vector<vault::Record>& rows);

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

// The rows' new order, ascending by identifier name under `less`; rows of the
// same name keep their file order. Returns the old index of each new place.
template <typename Less> std::vector<std::size_t> sorted_order(const std::vector<vault::Record>& rows, Less less);

// Applies an order from sorted_order to the rows, moving the selection along.
void apply_order(std::vector<vault::Record>& rows, std::optional<std::size_t>& selected,
                 const std::vector<std::size_t>& order);

} // namespace viewer

#include <algorithm>
#include <numeric>

template <typename Less>
std::vector<std::size_t> viewer::sorted_order(const std::vector<vault::Record>& rows, Less less) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return less(rows[a].name, rows[b].name); });
    return order;
}
