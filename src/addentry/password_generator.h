#pragma once
// The secure password of the add-entry dialog: ten characters drawn from a
// fixed pool of letters and digits. The random source is handed in, so that
// the draw rule is the same whether the bits come from the system's
// cryptographic generator or from a seeded engine in a test.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace addentry {

// Lower case, upper case, then the digits twice over: 72 characters, so each
// digit comes up about twice as often as a letter.
inline constexpr std::string_view kPasswordPool = "abcdefghijklmnopqrstuvwxyz"
                                                  "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                  "01234567890123456789";
inline constexpr int kPasswordLength = 10;

// A single-precision draw r with 0 <= r < 1.
using UnitDraw = std::function<float()>;

// The pool position (1 to 72) of one draw: r * 71 + 1 in double precision,
// rounded to the nearest integer with a halfway value going to the even
// neighbour. The rounding gives the first ("a") and the last position (the
// second "9") half the weight of the others. A draw outside [0, 1) from a
// faulty source is held to the pool's ends rather than read past them.
int pool_position(float r);
char pool_character(float r);

// Ten draws, one character each.
std::string generate_password(const UnitDraw& draw);

// The draw made from 32 uniform random bits: the top 24 bits over 2^24, so
// every value is exact in single precision and the largest is 1 - 2^-24.
float unit_float_from_bits(std::uint32_t bits);

} // namespace addentry
