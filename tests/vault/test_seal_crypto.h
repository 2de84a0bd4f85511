#pragma once
// The sealing cryptography the vault tests run on: natively OpenSSL's
// libcrypto, under Wine the program's own, Windows' CNG. Both are held to the
// same known answers (seal_crypto_test.cpp).
#include "vault/seal_crypto.h"

namespace vault_test {

vault::SealCrypto& test_seal_crypto();

} // namespace vault_test
