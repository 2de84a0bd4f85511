#pragma once
// The process-wide run state: filled while the entry-password dialog loads and
// kept until the program ends.
#include "vault/paths.h"
#include "vault/vault_store.h"

#include <string>
#include <vector>

// The access subsystem's namespace carries a prefix: mingw's <io.h> declares a
// global function access(), and a namespace of that name would clash with it.
namespace qlk_access {

struct RunState {
    char drive_letter = 'C';    // first character of the program folder path
    std::string computer_name;  // becomes the machine stamp of added records
    std::string entry_password; // plain text
    // The drive letter has been set from the program folder: the entry
    // dialog does that only once it knows that no other copy runs, so the
    // data folder is this run's, and clears it again when another run holds
    // the folder. Before that the letter is only the default.
    bool drive_known = false;
    bool vault_sealed = false; // the vault on the stick is sealed: the print list stays off the stick
};

RunState& run_state();

// Every window that builds data paths sets the drive letter again from the program folder.
void set_drive_letter_from_program_folder();

// The data folder and its files on the run-state drive.
vault::VaultPaths data_paths();
std::string data_folder_path(); // X:\Tallybox
std::string vault_file_path();  // X:\Tallybox\my_psswds.dat
// Where Print writes its list: X:\Tallybox\temp.dat, or while the vault is
// sealed %TEMP%\Tallybox\temp.dat on this computer, so that the plain list
// never reaches the stick. The same file name in both: Notepad's title is
// the same. Empty when there is no temporary folder to name.
std::string print_file_path();
// Both places, for what must find a list of any run: the data folder's first.
std::vector<std::string> print_file_places();
// Creates the folder the print file goes to; a failure shows at the write.
void ensure_print_folder();

// What the vault code needs to work on this run's vault: its paths, the
// computer name that stamps new records, the disk, the user's messages, and
// Windows' cryptography with the entry password for a sealed vault.
vault::VaultContext vault_context(vault::Reporter& reporter);

bool file_exists(const std::string& path);
void ensure_data_folder();
// The data folder, and an empty vault when there is none once a save that a
// power cut stopped has been finished; where it cannot be, the user is told
// and nothing writes the vault in this run.
void ensure_vault_file();

// At a correct entry, once ensure_vault_file has run: the vault and its
// backup sealed or unsealed as SealVault asks (sealing needs an entry
// password other than the default), and the run told whether it is sealed.
void settle_vault_seal();

} // namespace qlk_access
