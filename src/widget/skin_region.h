#pragma once
// The shape of the widget: the opaque pixels of its skin picture as a list of
// one-row rectangles, one per horizontal run. The key colour, the colour that
// is cut away, is the colour of the top-left pixel.
#include <cstdint>
#include <span>
#include <vector>

namespace widget {

// Pixels row by row from the top; any colour encoding, compared for equality only.
struct SkinPicture {
    int width = 0;
    int height = 0;
    std::span<const std::uint32_t> pixels; // width * height values
};

// Right and bottom are exclusive, as CreateRectRgn takes them.
struct RunRect {
    int left, top, right, bottom;
    friend bool operator==(const RunRect&, const RunRect&) = default;
};

// One rectangle per run of pixels that differ from the key colour, rows from
// top to bottom, runs from left to right. A run that reaches the right edge
// closes there. Empty when every pixel has the key colour (or the picture is empty).
std::vector<RunRect> skin_runs(const SkinPicture& picture);

} // namespace widget
