#pragma once
// The sealed vault's cryptography from Windows' own CNG (bcrypt.dll):
// PBKDF2-HMAC-SHA256, AES-256-GCM and the system-preferred random generator.
#include "vault/seal_crypto.h"

namespace platform {

// One for the whole program; it keeps no handles or keys between calls.
vault::SealCrypto& system_seal_crypto();

} // namespace platform
