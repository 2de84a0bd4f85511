#pragma once
// Checks the character mix of many generated passwords against the weights
// the draw rule gives: "a" at half weight, the other letters at one part in
// 71, the digits 0 to 8 at two parts (they stand twice in the pool) and "9"
// at one and a half.
#include "addentry/password_generator.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace addentry::test {

inline double expected_weight(char c) {
    if (c == 'a') return 0.5 / 71;
    if (c == '9') return 1.5 / 71;
    if (c >= '0' && c <= '8') return 2.0 / 71;
    if ((c >= 'b' && c <= 'z') || (c >= 'A' && c <= 'Z')) return 1.0 / 71;
    return 0.0;
}

// Generates `passwords` passwords and checks length, alphabet and, for every
// character, that its count lies within six standard deviations of the
// expected one (a false alarm is then a one in a hundred million event).
inline void check_password_mix(const UnitDraw& draw, int passwords) {
    std::array<long, 256> counts{};
    for (int i = 0; i < passwords; ++i) {
        const std::string password = generate_password(draw);
        ASSERT_EQ(password.size(), 10u) << password;
        for (char c : password) {
            ASSERT_GT(expected_weight(c), 0.0) << "character outside the pool in " << password;
            ++counts[static_cast<unsigned char>(c)];
        }
    }
    const double total = 10.0 * passwords;
    long lower = 0, upper = 0, digits = 0;
    for (int c = 0; c < 256; ++c) {
        const double p = expected_weight(static_cast<char>(c));
        if (p == 0.0) continue;
        const double expected = total * p;
        const double sigma = std::sqrt(total * p * (1 - p));
        EXPECT_NEAR(static_cast<double>(counts[c]), expected, 6 * sigma)
            << "character '" << static_cast<char>(c) << "'";
        (c >= 'a' && c <= 'z' ? lower : c >= 'A' && c <= 'Z' ? upper : digits) += counts[c];
    }
    // The shares a user notices: about 36 % lower case, 37 % upper case, 27 % digits.
    EXPECT_NEAR(lower / total, 25.5 / 71, 0.005);
    EXPECT_NEAR(upper / total, 26.0 / 71, 0.005);
    EXPECT_NEAR(digits / total, 19.5 / 71, 0.005);
}

} // namespace addentry::test
