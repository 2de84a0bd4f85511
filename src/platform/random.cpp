#include "platform/random.h"

#include <windows.h>

#include <bcrypt.h>

namespace platform {

bool random_bytes(std::span<std::byte> buffer) {
    // The system-preferred generator needs no algorithm handle; it is the
    // same generator the system uses for its own keys.
    auto* data = reinterpret_cast<PUCHAR>(buffer.data());
    std::size_t left = buffer.size();
    while (left > 0) {
        const ULONG chunk = left > 0x10000000u ? 0x10000000u : static_cast<ULONG>(left);
        if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, data, chunk, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return false;
        data += chunk;
        left -= chunk;
    }
    return true;
}

bool random_words(std::span<std::uint32_t> words) { return random_bytes(std::as_writable_bytes(words)); }

} // namespace platform
