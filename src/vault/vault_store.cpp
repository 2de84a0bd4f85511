#include "vault/vault_store.h"

#include "vault/cipher.h"
#include "vault/vault_format.h"

#include <new>
#include <utility>

namespace vault {
namespace {

// The vault as it was, scrambled as a load leaves it (a vault edited by hand
// may hold plain lines), flushed to the backup's work file; true when all of
// it is there. The work file does not stay behind a failure.
bool write_backup_work_file(VaultContext& ctx, const std::string& old_vault) {
    std::string sealed; // made only when needed: the vault can be large
    if (!is_sealed(old_vault)) sealed = sealed_form(old_vault);
    if (ctx.files.write_durable(ctx.paths.backup_work_file, sealed.empty() ? old_vault : sealed)) return true;
    ctx.files.remove_file(ctx.paths.backup_work_file);
    return false;
}

// The vault before this change could not become the backup: the older one
// must not pass for it.
void drop_stale_backup(VaultContext& ctx) {
    ctx.files.remove_file(ctx.paths.backup_work_file); // may already be gone
    if (!ctx.files.exists(ctx.paths.backup_file) || ctx.files.remove_file(ctx.paths.backup_file)) return;
    // Read-only, a folder, or held open: every later save meets it too.
    if (!std::exchange(ctx.notices.backup_not_kept, true)) ctx.reporter.show_message(kBackupNotKeptMessage);
}

} // namespace

RunNotices& run_notices() {
    static RunNotices notices;
    return notices;
}

void finish_interrupted_save(const VaultPaths& paths, FileSystem& files) {
    // A failure of either replace leaves both names as they were.
    if (!files.exists(paths.vault_file) && files.exists(paths.work_file))
        files.replace_file(paths.work_file, paths.vault_file);

    // The backup's work file holds the vault before a change, scrambled. A
    // vault that still begins with it was never replaced: the save stopped
    // while it was written or before the vault's replace, and it goes.
    // Otherwise the vault was replaced and the save stopped before the
    // backup's: it takes the backup's place.
    const ReadResult pending = files.read_file(paths.backup_work_file);
    if (pending.status != ReadStatus::Ok) return;
    const ReadResult vault = files.read_file(paths.vault_file);
    if (vault.status != ReadStatus::Ok) return; // the next save decides
    if (sealed_form(vault.bytes).starts_with(pending.bytes))
        files.remove_file(paths.backup_work_file);
    else
        files.replace_file(paths.backup_work_file, paths.backup_file);
}

namespace detail {

ReadResult read_vault(VaultContext& ctx, bool report_missing) {
    ReadResult read = ctx.files.read_file(ctx.paths.vault_file);
    if (read.status == ReadStatus::Missing && report_missing) ctx.reporter.show_message(kMissingMessage);
    if (read.status == ReadStatus::Unreadable) ctx.reporter.show_message(kUnreadableMessage);
    return read;
}

bool store_vault(VaultContext& ctx, const std::string& bytes, const std::string* on_disk, Backup backup) {
    if (on_disk && *on_disk == bytes) return true;
    // The work file is written whole and flushed before it takes the vault's
    // place; until then the vault is the old one, byte for byte.
    if (!ctx.files.write_durable(ctx.paths.work_file, bytes)) {
        ctx.files.remove_file(ctx.paths.work_file);
        ctx.reporter.show_message(kSaveFailedMessage);
        return false;
    }
    // The old vault goes to a work file of its own, whole and flushed, after
    // the new one (a stick with room for only one still takes the save), and
    // takes the backup's place only after the new vault has taken the vault's:
    // each name holds a whole file at every moment, and a vault that could
    // not be replaced leaves the backup as it was.
    const bool keep_backup = backup == Backup::Keep && on_disk;
    const bool backup_ready = keep_backup && write_backup_work_file(ctx, *on_disk);
    if (!ctx.files.replace_file(ctx.paths.work_file, ctx.paths.vault_file)) {
        ctx.files.remove_file(ctx.paths.work_file);
        if (backup_ready) ctx.files.remove_file(ctx.paths.backup_work_file);
        ctx.reporter.show_message(kSaveFailedMessage);
        return false;
    }
    if (keep_backup && !(backup_ready && ctx.files.replace_file(ctx.paths.backup_work_file, ctx.paths.backup_file)))
        drop_stale_backup(ctx);
    return true;
}

} // namespace detail

namespace {

PassOutcome run_pass(VaultContext& ctx, bool (*pass_in_place)(std::string&)) {
    ctx.files.create_folder(ctx.paths.data_folder); // an existing folder is fine
    ReadResult read = detail::read_vault(ctx, true);
    if (read.status == ReadStatus::Missing) return PassOutcome::Missing;
    if (read.status == ReadStatus::Unreadable) return PassOutcome::Unreadable;
    if (!pass_in_place(read.bytes)) return PassOutcome::Unchanged;
    return detail::store_vault(ctx, read.bytes, nullptr) ? PassOutcome::Written : PassOutcome::WriteFailed;
}

} // namespace

PassOutcome process_decryption(VaultContext& ctx) { return run_pass(ctx, decryption_pass_in_place); }
PassOutcome process_encryption(VaultContext& ctx) { return run_pass(ctx, encryption_pass_in_place); }

std::string stamp_as_stored(std::string_view computer_name) { return decrypt_text(computer_name); }

namespace {

LoadResult read_and_check(VaultContext& ctx, const LoadOptions& options) {
    LoadResult result;
    ctx.files.create_folder(ctx.paths.data_folder);
    ReadResult read = detail::read_vault(ctx, true);
    if (read.status == ReadStatus::Missing) {
        // Once for the decryption pass and once for the load itself, as users
        // of earlier versions see it.
        ctx.reporter.show_message(kMissingMessage);
        return result;
    }
    if (read.status == ReadStatus::Unreadable) {
        result.status = LoadStatus::Unreadable;
        return result;
    }

    // The file is left scrambled: written only when some of it was plain
    // (an interrupted earlier version, or a file edited by hand). This happens
    // before the records are read, while no other event can run, so an add
    // made during the pumping below is never overwritten.
    if (!is_sealed(read.bytes)) {
        std::string sealed = sealed_form(read.bytes);
        if (detail::store_vault(ctx, sealed, &read.bytes)) read.bytes.swap(sealed);
    }
    result.content = std::make_shared<const std::string>(std::move(read.bytes));

    // The events that waited while the file was read run first, however
    // quickly the records are read after them; then one batch per interval.
    auto next_pump = std::chrono::steady_clock::now();
    bool wanted = true;
    result.records = parse_record_table(result.content, [&] {
        if (std::chrono::steady_clock::now() < next_pump) return true;
        wanted = ctx.reporter.pump_events();
        next_pump = std::chrono::steady_clock::now() + options.pump_interval;
        return wanted;
    });
    if (!wanted) {
        result.records = {};
        result.status = LoadStatus::Abandoned;
        return result;
    }

    // Only the first record's stamp binds the vault to this computer.
    const bool accepted = !result.records.empty() && result.records.has(0, Field::Stamp) &&
                          result.records.value(0, Field::Stamp) == stamp_as_stored(ctx.computer_name);
    if (!accepted) {
        result.records = {};
        result.status = LoadStatus::Rejected;
        ctx.reporter.vault_rejected();
        ctx.reporter.show_message(kRejectedMessage);
        return result;
    }
    result.status = LoadStatus::Accepted;
    return result;
}

} // namespace

LoadResult load_vault(VaultContext& ctx, const LoadOptions& options) {
    try {
        return read_and_check(ctx, options);
    } catch (const std::bad_alloc&) {
        // Whatever was read is freed on the way out, so the message box and
        // the rest of the program have their memory back. The file is only
        // replaced whole, by its scrambled form, before the records are read:
        // it is as it was, or scrambled as every load leaves it.
        LoadResult result;
        result.status = LoadStatus::TooLarge;
        ctx.reporter.show_message(kTooLargeMessage);
        return result;
    }
}

} // namespace vault
