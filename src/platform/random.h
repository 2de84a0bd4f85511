#pragma once
// Random bytes from the system's cryptographic generator.
#include <cstddef>
#include <cstdint>
#include <span>

namespace platform {

// Fills the buffer; false when the system generator failed (nothing to use then).
bool random_bytes(std::span<std::byte> buffer);

// Fills the buffer with uniform 32-bit values; false as above.
bool random_words(std::span<std::uint32_t> words);

} // namespace platform
