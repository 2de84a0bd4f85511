#include "access/run_state.h"

#include "platform/files.h"

namespace qlk_access {

RunState& run_state() {
    static RunState state;
    return state;
}

void set_drive_letter_from_program_folder() {
    const std::string folder = platform::program_folder();
    if (!folder.empty()) run_state().drive_letter = folder.front(); // a network path gives '\', as it always has
}

namespace {
std::string in_data_folder(const char* literal) { return std::string(1, run_state().drive_letter) + literal; }
} // namespace

std::string data_folder_path() { return in_data_folder(":\\Tallybox"); }
std::string vault_file_path() { return in_data_folder(":\\Tallybox\\my_psswds.dat"); }
std::string print_file_path() { return in_data_folder(":\\Tallybox\\temp.dat"); }

bool file_exists(const std::string& path) { return platform::file_exists(path); }

void ensure_data_folder() { platform::create_folder(data_folder_path()); }

void ensure_vault_file() {
    ensure_data_folder();
    platform::create_empty_file_if_missing(vault_file_path());
}

} // namespace qlk_access
