// Stored widget positions: the leading-number reading, twips and pixels, and
// the move onto a monitor.
#include "widget/position_units.h"

#include <gtest/gtest.h>

using widget::Box;

namespace {

TEST(LeadingNumber, ReadsTheLeadingDecimalNumberOfTheText) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        // clang-format off
        {"4500", 4500}, {"-120", -120}, {"+75", 75}, {"  300", 300}, {"1500.6xyz", 1500.6}, {"7 8", 7},
        {"", 0}, {"abc", 0}, {"-", 0}, {"--5", 0}, {"&H10", 0}, {"-.5", -0.5}, {"100000000000", 1e11},
        // clang-format on
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(widget::leading_number(c.text), c.value) << '"' << c.text << '"';
}

TEST(Twips, PixelsAndTwipsRoundTripAtCommonDpis) {
    const struct {
        int pixels, dpi;
        long twips;
    } cases[] = {
        // clang-format off
        {0, 96, 0}, {-8, 96, -120}, {640, 96, 9600}, {3000, 96, 45000}, // beyond 16 bits
        {1, 120, 12}, {7, 144, 70}, {-1, 192, -8}, {5, 0, 75},          // an unknown DPI counts as 96
        // clang-format on
    };
    for (const auto& c : cases) {
        EXPECT_EQ(widget::twips_from_pixels(c.pixels, c.dpi), c.twips) << c.pixels << " px at " << c.dpi;
        EXPECT_EQ(widget::pixels_from_twips(static_cast<double>(c.twips), c.dpi), c.pixels) << c.twips << " twips";
    }
    EXPECT_EQ(widget::pixels_from_twips(22.4, 96), 1);
    EXPECT_EQ(widget::pixels_from_twips(22.6, 96), 2);
}

TEST(Twips, HugeStoredValuesStayUsableCoordinates) {
    const int far = widget::pixels_from_twips(1e300, 96);
    EXPECT_GT(far, 50000);
    EXPECT_LT(far, 1 << 24); // adding the widget's size cannot overflow
    EXPECT_EQ(widget::pixels_from_twips(-1e300, 96), -far);
}

TEST(MoveInside, KeepsTheSizeAndMovesAsLittleAsPossible) {
    const Box area{0, 0, 1280, 994};
    const struct {
        Box box, expected;
    } cases[] = {
        {{100, 100, 185, 185}, {100, 100, 185, 185}},     // already inside
        {{5000, 300, 5085, 385}, {1195, 300, 1280, 385}}, // far right
        {{-900, -900, -815, -815}, {0, 0, 85, 85}},       // far up and left
        {{600, 3000, 685, 3085}, {600, 909, 685, 994}},   // below
        {{0, 0, 2000, 85}, {0, 0, 2000, 85}},             // wider than the area: left edge kept
    };
    for (const auto& c : cases) EXPECT_EQ(widget::move_inside(c.box, area), c.expected);
    // An area that does not start at the origin (a second monitor on the left).
    EXPECT_EQ(widget::move_inside({-5000, 10, -4915, 95}, {-1920, 0, 0, 1080}), (Box{-1920, 10, -1835, 95}));
}

} // namespace
