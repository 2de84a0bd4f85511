#include "access/run_state.h"

#include "platform/files.h"
#include "ui/message_box_reporter.h"
#include "vault/file_system.h"

namespace qlk_access {

RunState& run_state() {
    static RunState state;
    return state;
}

void set_drive_letter_from_program_folder() {
    const std::string folder = platform::program_folder();
    if (folder.empty()) return;
    run_state().drive_letter = folder.front(); // a network path gives '\', as it always has
    run_state().drive_known = true;
}

vault::VaultPaths data_paths() { return vault::vault_paths_for_drive(run_state().drive_letter); }
std::string data_folder_path() { return data_paths().data_folder; }
std::string vault_file_path() { return data_paths().vault_file; }

namespace {

// A folder of the program's own inside the user's temporary folder, named as its data folder is.
std::string local_print_folder() {
    const std::string temp = platform::user_temp_folder();
    return temp.empty() ? std::string() : temp + "\\Tallybox";
}

std::string local_print_file() {
    const std::string folder = local_print_folder();
    return folder.empty() ? std::string() : folder + "\\temp.dat";
}

} // namespace

std::string print_file_path() { return run_state().vault_sealed ? local_print_file() : data_paths().print_file; }

std::vector<std::string> print_file_places() {
    std::vector<std::string> places{data_paths().print_file};
    if (std::string local = local_print_file(); !local.empty()) places.push_back(std::move(local));
    return places;
}

void ensure_print_folder() {
    if (!run_state().vault_sealed) return ensure_data_folder();
    if (const std::string folder = local_print_folder(); !folder.empty()) platform::create_folder(folder);
}

vault::VaultContext vault_context(vault::Reporter& reporter) {
    return {data_paths(), run_state().computer_name, vault::disk_files(), reporter};
}

bool file_exists(const std::string& path) { return platform::file_exists(path); }

void ensure_data_folder() { platform::create_folder(data_folder_path()); }

void ensure_vault_file() {
    ensure_data_folder();
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = vault_context(reporter);
    vault::open_vault_at_start(context);
}

} // namespace qlk_access
