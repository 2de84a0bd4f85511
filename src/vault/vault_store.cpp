#include "vault/vault_store.h"

#include "vault/cipher.h"
#include "vault/vault_format.h"

#include <new>
#include <utility>

namespace vault {
namespace {

// Whether a move that reported a failure took place all the same (a stick
// that answered late): `from` can only have gone by taking `to`'s name.
bool moved_all_the_same(FileSystem& files, const std::string& from, const std::string& to) {
    return files.presence(from) == ReadStatus::Missing && files.presence(to) == ReadStatus::Ok;
}

// Writes `bytes` to the draft, flushed to the disk, and only then gives it the
// work file's name: a work file is whole by its name alone. A failure leaves
// neither name behind.
bool write_work_file(FileSystem& files, const std::string& draft, const std::string& work, std::string_view bytes) {
    if (files.write_durable(draft, bytes) && (files.rename_file(draft, work) || moved_all_the_same(files, draft, work)))
        return true;
    files.remove_leftover(draft);
    return false;
}

// The vault as it was, scrambled as a load leaves it (a vault edited by hand
// may hold plain lines), as the backup's work file; true when it is there.
bool write_backup_work_file(VaultContext& ctx, const std::string& old_vault) {
    std::string scrambled; // made only when needed: the vault can be large
    if (!is_scrambled(old_vault)) scrambled = scrambled_form(old_vault);
    return write_work_file(ctx.files, ctx.paths.backup_work_draft, ctx.paths.backup_work_file,
                           scrambled.empty() ? old_vault : scrambled);
}

// The vault before this change could not become the backup: the older one
// must not pass for it. It goes before the backup's work file does, so that a
// stop between them leaves that work file to become the backup at the next start.
void drop_stale_backup(VaultContext& ctx) {
    const bool gone = ctx.files.presence(ctx.paths.backup_file) == ReadStatus::Missing ||
                      ctx.files.remove_file(ctx.paths.backup_file);
    ctx.files.remove_leftover(ctx.paths.backup_work_file);
    // Read-only, a folder, or held open: every later save meets it too.
    if (!gone && !std::exchange(ctx.notices.backup_not_kept, true)) ctx.reporter.show_message(kBackupNotKeptMessage);
}

// The save itself, without its messages; false when the vault is as it was.
//
// Which work files exist says how far a save came, so the next start needs
// no more than their names: the vault's work file appears, whole, before the
// backup's, and goes (taking the vault's place) before it; a failure removes
// the backup's first. So a backup's work file without the vault's means that
// the vault was replaced. A stop at any moment never leaves the new vault
// beside an older backup.
bool put_in_place(VaultContext& ctx, const std::string& bytes, const std::string* on_disk, detail::Backup backup,
                  detail::Target target) {
    const VaultPaths& paths = ctx.paths;
    FileSystem& files = ctx.files;
    // Work files that a failed removal left earlier in this run, or a stopped
    // save's that the vault this operation read outlived (the start removes
    // such a one too). Where there was no vault, or an empty one, a vault's
    // work file that this run did not leave may be a stopped save's that the
    // start could not see (a stick that answered late), the only copy of every
    // record: it stays, and the rename below refuses to put the new one over it.
    const bool vault_read = target == detail::Target::Existing && !(on_disk && on_disk->empty());
    if (!files.remove_leftover(paths.backup_work_file)) return false;
    if ((vault_read || ctx.notices.work_file_left) && !files.remove_leftover(paths.work_file)) return false;
    ctx.notices.work_file_left = false;
    if (!write_work_file(files, paths.work_draft, paths.work_file, bytes)) return false;
    // The old vault's work file comes after the new one (a stick with room
    // for only one still takes the save) and takes the backup's place only
    // after the new vault has taken the vault's: each name holds a whole file
    // at every moment, and a vault that could not be replaced leaves the
    // backup as it was. Where the old vault's work file could not be made,
    // the older backup goes before the vault is replaced.
    const bool keep_backup = backup == detail::Backup::Keep && on_disk;
    const bool backup_ready = keep_backup && write_backup_work_file(ctx, *on_disk);
    if (keep_backup && !backup_ready) drop_stale_backup(ctx);
    const bool placed = (target == detail::Target::Missing ? files.rename_file(paths.work_file, paths.vault_file)
                                                           : files.replace_file(paths.work_file, paths.vault_file)) ||
                        moved_all_the_same(files, paths.work_file, paths.vault_file);
    if (!placed) {
        // On FAT a replace is a delete and a rename: one that failed between
        // them leaves the new vault in its work file alone. It stays for the
        // next start, which puts it in place, and nothing more is saved meanwhile.
        if (target == detail::Target::Existing && files.presence(paths.vault_file) != ReadStatus::Ok) {
            ctx.notices.interrupted_save = true;
            return false;
        }
        const bool backup_gone = !backup_ready || files.remove_leftover(paths.backup_work_file);
        ctx.notices.work_file_left = !(backup_gone && files.remove_leftover(paths.work_file));
        return false;
    }
    if (backup_ready && !files.replace_file(paths.backup_work_file, paths.backup_file) &&
        !moved_all_the_same(files, paths.backup_work_file, paths.backup_file))
        drop_stale_backup(ctx);
    return true;
}

// The vault's work file is whole. Beside a vault that holds anything, the
// save stopped before the vault's replace: the work file goes, after the
// backup's, which holds that very vault. Otherwise it becomes the vault by a
// rename that never replaces one: an empty vault (which earlier versions
// created beside a work file they could not put in place) goes first.
// Earlier versions wrote the work file under its own name, but flushed it
// before FAT's delete of the vault: one found without a vault is that whole
// file, or the first add to a stick whose vault had gone, which holds nothing
// else to lose. Either is taken; leaving it would hide every record of the first.
bool settle_work_file(const VaultPaths& paths, FileSystem& files) {
    const ReadResult vault = files.read_file(paths.vault_file);
    if (vault.status == ReadStatus::Unreadable) return false;
    if (vault.status == ReadStatus::Ok && !vault.bytes.empty())
        return files.remove_leftover(paths.backup_work_file) && files.remove_leftover(paths.work_file);
    if (vault.status == ReadStatus::Ok && !files.remove_file(paths.vault_file)) return false;
    return files.rename_file(paths.work_file, paths.vault_file);
}

} // namespace

RunNotices& run_notices() {
    static RunNotices notices;
    return notices;
}

bool finish_interrupted_save(VaultContext& ctx) {
    const VaultPaths& paths = ctx.paths;
    FileSystem& files = ctx.files;
    // A draft may be torn: it is never taken, and one that stays is
    // overwritten by the next save.
    files.remove_leftover(paths.work_draft);
    files.remove_leftover(paths.backup_work_draft);
    switch (files.presence(paths.work_file)) {
    case ReadStatus::Unreadable: return false;
    case ReadStatus::Missing: break;
    case ReadStatus::Ok:
        if (!settle_work_file(paths, files)) return false;
        break;
    }
    // No vault's work file: a backup's work file left now says the vault was
    // replaced, and it holds the vault just before. Where it cannot become
    // the backup, the start does what the save does: the vault is whole.
    switch (files.presence(paths.backup_work_file)) {
    case ReadStatus::Unreadable: return false;
    case ReadStatus::Missing: return true;
    case ReadStatus::Ok: break;
    }
    if (!files.replace_file(paths.backup_work_file, paths.backup_file) &&
        !moved_all_the_same(files, paths.backup_work_file, paths.backup_file))
        drop_stale_backup(ctx);
    return true;
}

void open_vault_at_start(VaultContext& ctx) {
    ctx.notices.interrupted_save = !finish_interrupted_save(ctx);
    if (ctx.notices.interrupted_save) {
        ctx.reporter.show_message(kInterruptedSaveMessage);
        return;
    }
    // Created as every save writes: nothing else ever stands under the vault's name.
    if (ctx.files.presence(ctx.paths.vault_file) == ReadStatus::Missing)
        put_in_place(ctx, {}, nullptr, detail::Backup::Leave, detail::Target::Missing);
}

namespace detail {

ReadResult read_vault(VaultContext& ctx, bool report_missing) {
    ReadResult read = ctx.files.read_file(ctx.paths.vault_file);
    if (read.status == ReadStatus::Missing && ctx.notices.interrupted_save) {
        // Its records wait in the work file that could not be put in place.
        ctx.reporter.show_message(kInterruptedSaveMessage);
        read.status = ReadStatus::Unreadable;
        return read;
    }
    if (read.status == ReadStatus::Missing && report_missing) ctx.reporter.show_message(kMissingMessage);
    if (read.status == ReadStatus::Unreadable) ctx.reporter.show_message(kUnreadableMessage);
    return read;
}

ReadResult read_records(VaultContext& ctx, bool report_missing) {
    ReadResult read = read_vault(ctx, report_missing);
    ctx.keys.forget_file();
    wipe_secret(ctx.sealed_on_disk);
    if (read.status != ReadStatus::Ok || !is_sealed(read.bytes)) return read;
    std::string records;
    switch (ctx.keys.open(ctx.seal, read.bytes, records)) {
    case SealKeys::Opened::Ok:
        ctx.sealed_on_disk = std::move(read.bytes);
        read.bytes = std::move(records);
        return read;
    case SealKeys::Opened::WrongPassword: ctx.reporter.show_message(kSealedLockedMessage); break;
    case SealKeys::Opened::Refused: ctx.reporter.show_message(kSealFailedMessage); break;
    case SealKeys::Opened::NotSealed:
    case SealKeys::Opened::Damaged: ctx.reporter.show_message(kSealedDamagedMessage); break;
    }
    read.status = ReadStatus::Unreadable;
    read.bytes.clear();
    return read;
}

bool store_vault(VaultContext& ctx, const std::string& bytes, const std::string* on_disk, Backup backup,
                 Target target) {
    // A sealed vault's records appended by an older version are sealed at the first save.
    const bool sealing = ctx.keys.holds_key();
    if (on_disk && *on_disk == bytes && !(sealing && ctx.keys.had_appended_records())) return true;
    if (ctx.notices.interrupted_save) {
        ctx.reporter.show_message(kInterruptedSaveMessage);
        return false;
    }
    std::string sealed;
    if (sealing && !ctx.keys.seal(ctx.seal, bytes, sealed)) {
        ctx.reporter.show_message(kSealFailedMessage);
        return false;
    }
    // The backup of a sealed vault is the sealed file it was.
    const std::string* old_vault = sealing && !ctx.sealed_on_disk.empty() ? &ctx.sealed_on_disk : on_disk;
    if (put_in_place(ctx, sealing ? sealed : bytes, old_vault, backup, target)) {
        if (sealing) ctx.sealed_on_disk = std::move(sealed);
        return true;
    }
    // A replace stopped half way leaves the change for the next start to finish.
    ctx.reporter.show_message(ctx.notices.interrupted_save ? kInterruptedSaveMessage : kSaveFailedMessage);
    return false;
}

bool store_backup(VaultContext& ctx, const std::string& bytes) {
    const VaultPaths& paths = ctx.paths;
    if (ctx.notices.interrupted_save || !ctx.files.remove_leftover(paths.backup_work_file) ||
        !write_work_file(ctx.files, paths.backup_work_draft, paths.backup_work_file, bytes))
        return false;
    if (ctx.files.replace_file(paths.backup_work_file, paths.backup_file)) return true;
    // FAT's replace that failed after its delete leaves the backup in its
    // work file alone: the next start puts it in place.
    if (ctx.files.presence(paths.backup_file) == ReadStatus::Ok) ctx.files.remove_leftover(paths.backup_work_file);
    return false;
}

} // namespace detail

namespace {

PassOutcome run_pass(VaultContext& ctx, bool (*pass_in_place)(std::string&)) {
    ctx.files.create_folder(ctx.paths.data_folder); // an existing folder is fine
    ReadResult read = detail::read_vault(ctx, true);
    if (read.status == ReadStatus::Missing) return PassOutcome::Missing;
    if (read.status == ReadStatus::Unreadable) return PassOutcome::Unreadable;
    // A sealed vault's records are in neither form: its file stays as it is.
    if (is_sealed(read.bytes) || !pass_in_place(read.bytes)) return PassOutcome::Unchanged;
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
    ReadResult read = detail::read_records(ctx, true);
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
    if (!is_scrambled(read.bytes)) {
        std::string scrambled = scrambled_form(read.bytes);
        if (detail::store_vault(ctx, scrambled, &read.bytes)) read.bytes.swap(scrambled);
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
