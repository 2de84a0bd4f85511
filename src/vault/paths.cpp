#include "vault/paths.h"

namespace vault {
namespace {

VaultPaths in_folder(std::string folder, char separator) {
    VaultPaths paths;
    paths.vault_file = folder + separator + "my_psswds.dat";
    paths.work_file = folder + separator + "my_passwordsX.dat";
    paths.work_draft = folder + separator + "my_passwordsX.new";
    paths.backup_file = folder + separator + "my_psswds.bak";
    paths.backup_work_file = folder + separator + "my_passwordsB.dat";
    paths.backup_work_draft = folder + separator + "my_passwordsB.new";
    paths.print_file = folder + separator + "temp.dat";
    paths.data_folder = std::move(folder);
    return paths;
}

} // namespace

VaultPaths vault_paths_for_drive(char drive_letter) {
    return in_folder(std::string(1, drive_letter) + ":\\Tallybox", '\\');
}

VaultPaths vault_paths_in_folder(std::string_view folder) {
#ifdef _WIN32
    constexpr char separator = '\\';
#else
    constexpr char separator = '/';
#endif
    return in_folder(std::string(folder), separator);
}

} // namespace vault
