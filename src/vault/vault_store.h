#pragma once
// The vault file's passes and load. Every operation reads the vault once,
// works out the file's final form in memory, and replaces the file at most
// once: through the work file, flushed to the disk and put in place in one
// atomic step, so that the vault at rest is always a complete old or new
// file and its plain form never reaches the disk during a load or an edit.
// A rewrite of the records also keeps the vault as it was just before, as
// the backup beside it, which the user can rename back to undo a slip.
#include "vault/file_system.h"
#include "vault/paths.h"
#include "vault/record_table.h"
#include "vault/reporter.h"
#include "vault/sealed_vault.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace vault {

// What the user has been told in this run, for the messages given once.
struct RunNotices {
    bool backup_not_kept = false;
    // The start could not finish an interrupted save: it was said, and
    // nothing creates or writes the vault in this run.
    bool interrupted_save = false;
    // A failed save of this run could not remove the vault's work file: the
    // next save may. Any other is a stopped save's, and stays for the start.
    bool work_file_left = false;
};
RunNotices& run_notices(); // the process's own

// What the run asks of the seal at the next correct entry.
enum class SealWish {
    Keep,   // a sealed vault stays sealed, a scrambled one scrambled
    Seal,   // the vault and its backup are sealed
    Unseal, // the vault and its backup are scrambled again
};

// What one operation works with: the paths of the run state's drive, the
// computer name of the run state, the disk, the user and what the user has
// heard this run; what opens a sealed vault, and the keys of the one this
// operation opened (wiped when the operation's context goes).
struct VaultContext {
    VaultPaths paths;
    std::string computer_name;
    FileSystem& files;
    Reporter& reporter;
    RunNotices& notices = run_notices();
    SealOptions seal{};
    SealWish seal_wish = SealWish::Keep;
    SealKeys keys{};
    std::string sealed_on_disk{}; // the sealed file as the operation read it: a rewrite's backup
};

// Finishes or undoes a save that was stopped (a power cut, a kill), from
// which of its files exist; false when it could not, with every name left
// where the next start finds the same answer. A vault's work file is whole by
// its name: it becomes the vault where there is none (a FAT or exFAT drive
// replaces a file by a delete and then a rename), and goes where a vault
// holding anything stands: it never replaces a vault. A backup's work file
// without the vault's becomes the backup; where it cannot (a read-only,
// folder or held backup), it goes as a save's would, and the user hears of it
// once. Drafts, which may be torn, go.
bool finish_interrupted_save(VaultContext& ctx);

// The start of a run, before anything reads or creates the vault: finishes
// an interrupted save, then creates an empty vault where there is none. A
// save it cannot finish is said once, and the run writes no vault.
void open_vault_at_start(VaultContext& ctx);

enum class PassOutcome {
    Missing,    // "no password data file found" was shown
    Unreadable, // reported; nothing changed
    Unchanged,  // the file already was in the pass's form: nothing written
    Written,
    WriteFailed, // reported; the old file is intact
};

// The whole-file passes, kept for the places that want the file itself in
// one form: every line through decrypt_text or encrypt_text, replaced safely.
PassOutcome process_decryption(VaultContext& ctx);
PassOutcome process_encryption(VaultContext& ctx);

enum class LoadStatus {
    Missing,    // the missing message was shown twice
    Unreadable, // reported once; the viewer closes as for a missing vault
    Rejected,   // the rejection message was shown
    TooLarge,   // not enough memory for its records: reported once, nothing changed
    Abandoned,  // stopped because the reporter no longer wanted it: nothing reported
    Accepted,
};

struct LoadResult {
    LoadStatus status = LoadStatus::Missing;
    RecordTable records; // file order; filled when accepted
    // The vault's bytes as left on disk; the records' texts lie in them.
    std::shared_ptr<const std::string> content;
};

struct LoadOptions {
    // Pending user-interface events run once before the records are read,
    // then once per interval while they are.
    std::chrono::milliseconds pump_interval{10};
};

// The viewer's load and machine-stamp check: the first record's stamp must be
// this computer's name. An empty vault and a first record without stamp are
// rejected. The vault is left scrambled. A vault whose records do not fit in
// memory is reported and left as it is, and the program goes on.
LoadResult load_vault(VaultContext& ctx, const LoadOptions& options = {});

// The stamp a record added on this computer reads back with: a computer name
// holding bytes of the scrambled block comes back from the file changed.
std::string stamp_as_stored(std::string_view computer_name);

// Helpers shared with the record operations.
namespace detail {
// Reads the vault's file for an operation; reports a missing (when
// `report_missing`) or unreadable vault. Returns nullopt-like status in `result.status`.
ReadResult read_vault(VaultContext& ctx, bool report_missing);
// The same, with a sealed vault opened: its records, scrambled, and its keys
// in the context for the save. A sealed vault that does not open is reported
// and read as unreadable: nothing is changed.
ReadResult read_records(VaultContext& ctx, bool report_missing);
enum class Backup {
    Leave, // the backup stays as it is
    Keep,  // the vault as it was (`on_disk`) becomes the backup once the new one is in place
};
// What stands under the vault's name as the operation read it.
enum class Target {
    Existing, // a vault: the new one replaces it
    Missing,  // nothing: the new one takes the name by a rename that never
              // replaces, so a vault that was only out of reach is never overwritten
};
// Replaces the vault by `bytes` unless it already holds exactly them
// (`on_disk` when known); sealed when the context holds a sealed vault's keys. Reports a failure; true on success. A
// backup that cannot be kept costs not the save: the older backup goes so that it is never taken for the vault before
// this change, and where it cannot go the user hears of it once in the run.
bool store_vault(VaultContext& ctx, const std::string& bytes, const std::string* on_disk, Backup backup = Backup::Leave,
                 Target target = Target::Existing);
// Replaces the backup by `bytes` as a save keeps it: through its work file,
// which the next start puts in place when the power goes first.
bool store_backup(VaultContext& ctx, const std::string& bytes);
} // namespace detail

} // namespace vault
