#pragma once
// Widget positions as they are stored: whole twips (1/1440 inch), written as
// decimal text and read back from the leading number of that text.
#include <string>
#include <string_view>

namespace widget {

// The leading decimal number of the text: blanks, an optional sign, digits and
// an optional fraction. Text that does not start with a number gives 0.
double leading_number(std::string_view text);

// Nearest whole twips of a pixel coordinate on a screen of `dpi` dots per inch.
long twips_from_pixels(int pixels, int dpi);
// Nearest pixel of a twips value; values far beyond any screen are limited so
// that the result stays a sensible coordinate.
int pixels_from_twips(double twips, int dpi);

struct Box {
    int left, top, right, bottom;
    friend bool operator==(const Box&, const Box&) = default;
};
// The box moved (not resized) as little as possible to lie inside the area;
// a box larger than the area keeps its left or top edge on the area's.
Box move_inside(Box box, const Box& area);

} // namespace widget
