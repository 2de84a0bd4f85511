// Under Wine the vault tests seal with the program's own cryptography.
#include "test_seal_crypto.h"

#include "platform/seal_crypto_win.h"

namespace vault_test {

vault::SealCrypto& test_seal_crypto() { return platform::system_seal_crypto(); }

} // namespace vault_test
