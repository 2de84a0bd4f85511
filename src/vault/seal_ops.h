#pragma once
// Sealing and unsealing the vault and its backup, and keeping the seal
// through a change of the entry password. Each is a save as every other: the
// new file is whole under its work file's name before it takes the vault's or
// the backup's, so a cut at any moment leaves files that open.
#include "vault/vault_store.h"

#include <string_view>

namespace vault {

// At a correct entry, after the start has finished any interrupted save: the
// vault and its backup take the form the context's wish asks for. Sealing
// does the backup first and unsealing the vault first, so that no scrambled
// record ever stands beside a sealed vault; sealing also zeroes and removes
// the drafts an earlier save left. A sealed file with two wrappings keeps the
// one the context's password opens. False when the vault could not be
// brought to that form (the user was told; every file is whole).
bool settle_seal(VaultContext& ctx);

// The first step of an entry password change while the vault is sealed: the
// data key of the vault and of its backup gains a wrapping under
// `new_password` beside the one under the context's password. The records
// stay as they are. Only once this has succeeded may the stored password
// change; settle_seal under the new password then drops the old wrapping, and
// a start that finds both keeps the one its stored password opens. True when
// there was nothing to do.
bool wrap_for_new_password(VaultContext& ctx, std::string_view new_password);

} // namespace vault
