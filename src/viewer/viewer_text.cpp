#include "viewer/viewer_text.h"

#include "vault/cipher.h"

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

void apply_order(std::vector<vault::Record>& rows, std::optional<std::size_t>& selected,
                 const std::vector<std::size_t>& order) {
    std::vector<vault::Record> sorted;
    sorted.reserve(rows.size());
    std::optional<std::size_t> new_selected;
    for (std::size_t place = 0; place < order.size(); ++place) {
        sorted.push_back(std::move(rows[order[place]]));
        if (selected && order[place] == *selected) new_selected = place;
    }
    rows = std::move(sorted);
    selected = new_selected;
}

} // namespace viewer
