#pragma once
// Where the vault lives: a folder at the root of the drive the program runs
// from, so that the vault travels with a removable drive.
#include <string>
#include <string_view>

namespace vault {

struct VaultPaths {
    std::string data_folder; // X:\Tallybox
    std::string vault_file;  // X:\Tallybox\my_psswds.dat
    // The vault's next form, whole and flushed: it takes that name only once
    // it is, from the draft it is written to.
    std::string work_file;  // X:\Tallybox\my_passwordsX.dat
    std::string work_draft; // X:\Tallybox\my_passwordsX.new
    // The vault as it was before the last rewrite of its records, and its
    // work file and draft, named as the vault's.
    std::string backup_file;       // X:\Tallybox\my_psswds.bak
    std::string backup_work_file;  // X:\Tallybox\my_passwordsB.dat
    std::string backup_work_draft; // X:\Tallybox\my_passwordsB.new
    std::string print_file;        // X:\Tallybox\temp.dat
};

// The paths on the drive whose letter the run state holds (any first
// character of the program folder, a network path's backslash included).
VaultPaths vault_paths_for_drive(char drive_letter);

// The same file names inside any folder, joined with this platform's
// separator: for tests, benchmarks and tools working in temporary folders.
VaultPaths vault_paths_in_folder(std::string_view folder);

} // namespace vault
