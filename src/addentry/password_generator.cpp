#include "addentry/password_generator.h"

#include <cmath>

namespace addentry {
namespace {

// Round to nearest, ties to even, independent of the floating-point
// environment's rounding mode.
double round_half_even(double x) {
    const double below = std::floor(x);
    const double fraction = x - below; // exact: x and below are close doubles
    if (fraction > 0.5) return below + 1.0;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

} // namespace

int pool_position(float r) {
    const int size = static_cast<int>(kPasswordPool.size());
    if (!(r >= 0.0f)) return 1; // negative or NaN
    if (!(r < 1.0f)) return size;
    return static_cast<int>(round_half_even(static_cast<double>(r) * (size - 1) + 1.0));
}

char pool_character(float r) { return kPasswordPool[static_cast<std::size_t>(pool_position(r) - 1)]; }

std::string generate_password(const UnitDraw& draw) {
    std::string password;
    password.reserve(kPasswordLength);
    for (int i = 0; i < kPasswordLength; ++i) password += pool_character(draw());
    return password;
}

float unit_float_from_bits(std::uint32_t bits) { return static_cast<float>(bits >> 8) * 0x1p-24f; }

} // namespace addentry
