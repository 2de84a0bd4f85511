#include "addentry/password_generator.h"
#include "generator_stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace addentry {
namespace {

const float kLargestDraw = std::nextafter(1.0f, 0.0f); // 1 - 2^-24

TEST(PasswordGenerator, PoolHoldsLettersThenDigitsTwice) {
    ASSERT_EQ(kPasswordPool.size(), 72u);
    EXPECT_EQ(kPasswordPool.substr(52), "01234567890123456789");
}

// Draws that land on the edges of the rounding.
TEST(PasswordGenerator, RoundingEdges) {
    struct Case {
        const char* what;
        float r;
        int position;
        char character;
    };
    const Case cases[] = {
        {"zero is the first position", 0.0f, 1, 'a'},
        {"the smallest draw above zero", std::numeric_limits<float>::denorm_min(), 1, 'a'},
        {"largest draw is the last position", kLargestDraw, 72, '9'},
        {"r * 71 + 1 = 36.5 exactly goes to the even 36", 0.5f, 36, 'J'},
        {"just below the halfway draw", std::nextafter(0.5f, 0.0f), 36, 'J'},
        {"just above the halfway draw", std::nextafter(0.5f, 1.0f), 37, 'K'},
        {"last upper-case letter", 51.0f / 71, 52, 'Z'},
        {"first zero", 52.0f / 71, 53, '0'},
        {"first nine", 61.0f / 71, 62, '9'},
        {"second zero", 62.0f / 71, 63, '0'},
        {"a faulty source's negative draw stays in the pool", -0.25f, 1, 'a'},
        {"a faulty source's 1.0 stays in the pool", 1.0f, 72, '9'},
        {"a faulty source's NaN stays in the pool", std::numeric_limits<float>::quiet_NaN(), 1, 'a'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(pool_position(c.r), c.position) << c.what;
        EXPECT_EQ(pool_character(c.r), c.character) << c.what;
    }
}

// Around every boundary (k - 0.5) / 71 between two positions the nearest
// draws fall on either side: no position is skipped or doubled by the mix of
// single and double precision.
TEST(PasswordGenerator, EveryBoundaryIsSharp) {
    for (int k = 1; k <= 71; ++k) {
        const double boundary = (k - 0.5) / 71.0;
        float below = static_cast<float>(boundary);
        while (static_cast<double>(below) * 71 + 1 >= k + 0.5) below = std::nextafter(below, 0.0f);
        float above = std::nextafter(below, 1.0f);
        if (static_cast<double>(above) * 71 + 1 == k + 0.5) { // the one exact halfway draw
            EXPECT_EQ(pool_position(above), k % 2 == 0 ? k : k + 1) << k;
            above = std::nextafter(above, 1.0f);
        }
        EXPECT_EQ(pool_position(below), k) << k;
        EXPECT_EQ(pool_position(above), k + 1) << k;
    }
}

TEST(PasswordGenerator, BitsMapOntoTheWholeRange) {
    EXPECT_EQ(unit_float_from_bits(0), 0.0f);
    EXPECT_EQ(unit_float_from_bits(0xFFFFFFFFu), kLargestDraw);
    EXPECT_EQ(unit_float_from_bits(0x80000000u), 0.5f);
    EXPECT_EQ(pool_character(unit_float_from_bits(0xFFFFFFFFu)), '9');
}

// Ten draws, in order, one character each; a fresh password every call.
TEST(PasswordGenerator, TenDrawsInOrder) {
    const std::vector<float> draws = {0.0f,       kLargestDraw, 0.5f, 1.0f / 71,  27.0f / 71,
                                      52.0f / 71, 0.0f,         0.0f, 70.0f / 71, 25.0f / 71};
    std::size_t next = 0;
    const UnitDraw draw = [&] { return draws.at(next++ % draws.size()); };
    EXPECT_EQ(generate_password(draw), "a9JbB0aa8z");
    EXPECT_EQ(next, 10u);
    EXPECT_EQ(generate_password(draw), "a9JbB0aa8z");
    EXPECT_EQ(next, 20u);
}

TEST(PasswordGenerator, CharacterMixOfASeededEngine) {
    std::mt19937 engine(20240611);
    test::check_password_mix([&] { return unit_float_from_bits(static_cast<std::uint32_t>(engine())); }, 100000);
}

TEST(PasswordGenerator, CharacterMixOfTheDevice) {
    std::random_device device;
    test::check_password_mix([&] { return unit_float_from_bits(static_cast<std::uint32_t>(device())); }, 20000);
}

} // namespace
} // namespace addentry
