#include "access/run_state.h"

#include "access/entry_password.h"
#include "access/seal_setting.h"
#include "platform/files.h"
#include "platform/seal_crypto_win.h"
#include "ui/message_box_reporter.h"
#include "vault/file_system.h"
#include "vault/seal_ops.h"

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
    // The key is derived again from the entry password by every operation
    // that opens a sealed vault, once, and wiped with the context.
    return {.paths = data_paths(),
            .computer_name = run_state().computer_name,
            .files = vault::disk_files(),
            .reporter = reporter,
            .seal = {.crypto = &platform::system_seal_crypto(), .password = run_state().entry_password}};
}

bool file_exists(const std::string& path) { return platform::file_exists(path); }

void ensure_data_folder() { platform::create_folder(data_folder_path()); }

void ensure_vault_file() {
    ensure_data_folder();
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = vault_context(reporter);
    vault::open_vault_at_start(context);
}

void settle_vault_seal() {
    const std::string& password = run_state().entry_password;
    const bool own_password = !password.empty() && password != kDefaultEntryPassword;
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = vault_context(reporter);
    switch (read_seal_setting()) {
    case SealSetting::On: context.seal_wish = own_password ? vault::SealWish::Seal : vault::SealWish::Keep; break;
    case SealSetting::Off: context.seal_wish = vault::SealWish::Unseal; break;
    case SealSetting::Missing: context.seal_wish = vault::SealWish::Keep; break;
    }
    vault::settle_seal(context);
    run_state().vault_sealed = vault::is_sealed(vault::disk_files().read_file(context.paths.vault_file).bytes);
}

} // namespace qlk_access
