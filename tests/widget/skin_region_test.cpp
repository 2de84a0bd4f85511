// The widget's shape: runs of non-key pixels, one rectangle each.
#include "widget/skin_region.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using widget::RunRect;
using widget::skin_runs;

namespace {

// A picture drawn as text rows: '.' is 0, any other character its own code.
struct Drawn {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    widget::SkinPicture picture() const { return {width, height, pixels}; }
};

Drawn draw(const std::vector<std::string>& rows) {
    Drawn d;
    d.height = static_cast<int>(rows.size());
    d.width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    for (const auto& row : rows)
        for (char c : row) d.pixels.push_back(c == '.' ? 0u : static_cast<std::uint32_t>(c));
    return d;
}

long long area(const std::vector<RunRect>& runs) {
    long long total = 0;
    for (const auto& r : runs) total += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    return total;
}

struct Case {
    const char* name;
    std::vector<std::string> rows;
    std::vector<RunRect> runs;
};

class SkinRuns : public testing::TestWithParam<Case> {};

TEST_P(SkinRuns, OneRectanglePerHorizontalRun) {
    const Drawn d = draw(GetParam().rows);
    EXPECT_EQ(skin_runs(d.picture()), GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, SkinRuns,
    testing::Values(Case{"all_key_gives_none", {"....", "....", "...."}, {}},
                    Case{"run_in_the_middle", {"......", ".xxx..", "......"}, {{1, 1, 4, 2}}},
                    // A run touching the right edge closes there and does not carry into the next row.
                    Case{"run_at_right_edge", {"...xx", "x....", "....."}, {{3, 0, 5, 1}, {0, 1, 1, 2}}},
                    Case{"two_runs_in_a_row", {".x.xx.x"}, {{1, 0, 2, 1}, {3, 0, 5, 1}, {6, 0, 7, 1}}},
                    // Different opaque colours next to each other are one run: only the key colour splits.
                    Case{"colours_do_not_split_runs", {".abc.", "....."}, {{1, 0, 4, 1}}},
                    // The top-left pixel is the key even when it is drawn: every pixel of its colour is cut away.
                    Case{"opaque_top_left_is_the_key",
                         {"xx.x", ".x..", "x.xx"},
                         {{2, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 4, 2}, {1, 2, 2, 3}}},
                    Case{"opaque_top_left_other_colours_stay", {"ab", "ba"}, {{1, 0, 2, 1}, {0, 1, 1, 2}}},
                    Case{"one_column_picture", {".", "x", "x", "."}, {{0, 1, 1, 2}, {0, 2, 1, 3}}}),
    [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

TEST(SkinRunsLimits, EmptyOrShortPicturesGiveNone) {
    const std::vector<std::uint32_t> three{0, 1, 1};
    EXPECT_TRUE(skin_runs({}).empty());
    EXPECT_TRUE(skin_runs({0, 5, three}).empty());
    EXPECT_TRUE(skin_runs({2, 2, three}).empty()); // fewer pixels than the size says
}

TEST(SkinRunsLimits, AreaEqualsOpaquePixelsOnAPatternedPicture) {
    // A picture of 85 x 85 with a pseudo-random pattern: the runs cover every
    // non-key pixel exactly once, never a key pixel, and never overlap.
    const int size = 85;
    std::vector<std::uint32_t> pixels(size * size);
    std::uint32_t state = 12345;
    long long opaque = 0;
    for (int i = 0; i < size * size; ++i) {
        state = state * 1103515245u + 12345u;
        pixels[i] = i == 0 ? 0xFF0000u : ((state >> 16) % 3 == 0 ? 0xFF0000u : (state >> 8) & 0xFFFFu);
        if (pixels[i] != 0xFF0000u) ++opaque;
    }
    const auto runs = skin_runs({size, size, pixels});
    EXPECT_EQ(area(runs), opaque);
    std::vector<int> covered(size * size, 0);
    for (const auto& r : runs) {
        ASSERT_EQ(r.bottom, r.top + 1);
        ASSERT_LT(r.left, r.right);
        for (int x = r.left; x < r.right; ++x) {
            EXPECT_NE(pixels[r.top * size + x], 0xFF0000u);
            ++covered[r.top * size + x];
        }
    }
    for (int i = 0; i < size * size; ++i) EXPECT_EQ(covered[i], pixels[i] != 0xFF0000u ? 1 : 0) << i;
}

} // namespace
