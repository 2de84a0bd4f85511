#include "widget/position_units.h"

#include <algorithm>
#include <cmath>

namespace widget {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// About 70,000 pixels at 96 dpi: further than any desktop reaches, and small
// enough that pixel arithmetic on the result cannot overflow.
constexpr double kTwipsLimit = 1.0e6;

} // namespace

double leading_number(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    double sign = 1.0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-') sign = -1.0;
        ++i;
    }
    double value = 0.0;
    for (; i < text.size() && is_digit(text[i]); ++i) value = value * 10.0 + (text[i] - '0');
    if (i < text.size() && text[i] == '.') {
        double scale = 0.1;
        for (++i; i < text.size() && is_digit(text[i]); ++i, scale /= 10.0) value += (text[i] - '0') * scale;
    }
    return sign * value;
}

long twips_from_pixels(int pixels, int dpi) {
    if (dpi <= 0) dpi = 96;
    return std::lround(static_cast<double>(pixels) * 1440.0 / dpi);
}

int pixels_from_twips(double twips, int dpi) {
    if (dpi <= 0) dpi = 96;
    if (std::isnan(twips)) twips = 0.0;
    twips = std::clamp(twips, -kTwipsLimit, kTwipsLimit);
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

Box move_inside(Box box, const Box& area) {
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    int left = std::min(box.left, area.right - width);
    int top = std::min(box.top, area.bottom - height);
    left = std::max(left, area.left);
    top = std::max(top, area.top);
    return {left, top, left + width, top + height};
}

} // namespace widget
