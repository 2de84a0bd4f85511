#include "vault/seal_ops.h"

#include "vault/vault_format.h"

namespace vault {
namespace {

// A file that a read found missing is asked after once more: a stick that
// answered wrongly must not pass for one without it, or its records would
// stay as they are while the seal reports its work done.
ReadStatus confirmed(VaultContext& ctx, const std::string& path, ReadStatus status) {
    if (status != ReadStatus::Missing || ctx.files.presence(path) == ReadStatus::Missing) return status;
    return ReadStatus::Unreadable;
}

// The vault as read for sealing or unsealing: its records (scrambled) and,
// when it is sealed, its keys in the context.
struct VaultRead {
    ReadStatus status = ReadStatus::Missing;
    std::string records;
    bool sealed = false;
    ~VaultRead() { wipe_secret(records); }
};

VaultRead read_vault_records(VaultContext& ctx) {
    ReadResult read = detail::read_records(ctx, false);
    VaultRead vault{confirmed(ctx, ctx.paths.vault_file, read.status), {}, ctx.keys.holds_key()};
    if (read.status != ReadStatus::Ok) return vault;
    if (vault.sealed || is_scrambled(read.bytes))
        vault.records = std::move(read.bytes);
    else
        vault.records = scrambled_form(read.bytes);
    wipe_secret(read.bytes);
    return vault;
}

// Writes the vault's records in the context's form (sealed while it holds
// keys), even when its file holds the same records in the other form.
bool store_records(VaultContext& ctx, const std::string& records) {
    return detail::store_vault(ctx, records, nullptr, detail::Backup::Leave, detail::Target::Existing);
}

// The backup sealed under `keys`, or made scrambled when there are none; a
// sealed backup that the context's password does not open stays as it is
// (nothing in it is readable). A backup already in that form is not written.
bool settle_backup(VaultContext& ctx, const SealKeys* keys) {
    ReadResult read = ctx.files.read_file(ctx.paths.backup_file);
    read.status = confirmed(ctx, ctx.paths.backup_file, read.status);
    // One that could not be read may hold records: the vault is not sealed beside it.
    if (read.status != ReadStatus::Ok) return read.status == ReadStatus::Missing;
    std::string records;
    SealKeys own;
    const bool sealed = is_sealed(read.bytes);
    if (sealed && own.open(ctx.seal, read.bytes, records) != SealKeys::Opened::Ok) return true;
    if (!sealed) records = scrambled_form(read.bytes);
    std::string bytes;
    bool done = true;
    if (keys && sealed) {
        // Its own data key stays; only a second wrapping or appended records are work.
        const bool settled = own.wrapping_count() == 1 && !own.had_appended_records();
        own.keep_own_wrapping();
        if (!settled) done = own.seal(ctx.seal, records, bytes) && detail::store_backup(ctx, bytes);
    } else if (keys) {
        done = keys->seal(ctx.seal, records, bytes) && detail::store_backup(ctx, bytes);
    } else if (sealed) {
        done = detail::store_backup(ctx, records);
    }
    wipe_secret(records);
    return done;
}

// Earlier saves' drafts and work files hold records as the vault did: they
// are overwritten with zeros where they stand before they go.
void zero_leftovers(VaultContext& ctx) {
    for (const std::string* path :
         {&ctx.paths.work_draft, &ctx.paths.backup_work_draft, &ctx.paths.work_file, &ctx.paths.backup_work_file}) {
        const ReadResult read = ctx.files.read_file(*path);
        if (read.status != ReadStatus::Ok) continue;
        if (!read.bytes.empty()) ctx.files.write_durable(*path, std::string(read.bytes.size(), '\0'));
        ctx.files.remove_leftover(*path);
    }
}

} // namespace

bool settle_seal(VaultContext& ctx) {
    // The start has said that nothing is saved in this run.
    if (ctx.notices.interrupted_save) return false;
    VaultRead vault = read_vault_records(ctx);
    if (vault.status == ReadStatus::Unreadable) return false;
    if (vault.status == ReadStatus::Missing) return true;
    const bool seal = ctx.seal_wish == SealWish::Seal || (ctx.seal_wish == SealWish::Keep && vault.sealed);
    if (!seal) {
        // The vault first: a sealed backup beside a scrambled vault hides nothing that is not in plain sight.
        if (vault.sealed) {
            ctx.keys.forget_file();
            if (!store_records(ctx, vault.records)) return false;
        }
        if (ctx.seal_wish == SealWish::Unseal) settle_backup(ctx, nullptr);
        return true;
    }
    if (!vault.sealed && !ctx.keys.make_new(ctx.seal)) {
        ctx.reporter.show_message(kSealFailedMessage);
        return false;
    }
    // The backup first: a sealed vault never stands beside a scrambled backup.
    const SealKeys shared = ctx.keys.copy();
    if (!settle_backup(ctx, &shared)) {
        ctx.reporter.show_message(kSaveFailedMessage);
        return false;
    }
    const bool settled = vault.sealed && ctx.keys.wrapping_count() == 1 && !ctx.keys.had_appended_records();
    ctx.keys.keep_own_wrapping();
    if (!settled && !store_records(ctx, vault.records)) return false;
    zero_leftovers(ctx);
    return true;
}

bool wrap_for_new_password(VaultContext& ctx, std::string_view new_password) {
    VaultRead vault = read_vault_records(ctx);
    if (vault.status == ReadStatus::Unreadable) return false;
    if (!vault.sealed) return true;
    if (!ctx.keys.add_wrapping(ctx.seal, new_password)) {
        ctx.reporter.show_message(kSealFailedMessage);
        return false;
    }
    if (!store_records(ctx, vault.records)) return false;
    // The backup opens under the new password too. One that could not be read
    // may be sealed under the old one alone: the change waits.
    ReadResult backup = ctx.files.read_file(ctx.paths.backup_file);
    backup.status = confirmed(ctx, ctx.paths.backup_file, backup.status);
    if (backup.status == ReadStatus::Unreadable) ctx.reporter.show_message(kSaveFailedMessage);
    if (backup.status != ReadStatus::Ok || !is_sealed(backup.bytes)) return backup.status != ReadStatus::Unreadable;
    SealKeys keys;
    std::string records, bytes;
    if (keys.open(ctx.seal, backup.bytes, records) != SealKeys::Opened::Ok) return true;
    const bool done = keys.add_wrapping(ctx.seal, new_password) && keys.seal(ctx.seal, records, bytes) &&
                      detail::store_backup(ctx, bytes);
    wipe_secret(records);
    if (!done) ctx.reporter.show_message(kSaveFailedMessage);
    return done;
}

} // namespace vault
