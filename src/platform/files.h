#pragma once
// The file-system and process facts the forms need. Paths in std::string are
// bytes of the program code page (platform/text.h); the program's own path
// also comes wide, for what must name it exactly whatever its characters.
#include <string>

namespace platform {

std::wstring program_path_wide();     // full path of the running .exe
std::wstring program_folder_wide();   // its folder, without a trailing backslash
std::wstring program_exe_name_wide(); // its file name without extension
std::wstring system_folder_wide();    // System32, without a trailing backslash; empty when Windows does not say

std::string program_folder(); // the same in the program code page
std::string program_exe_name();
std::string computer_name();

bool file_exists(const std::string& path);                  // a file, not a folder
void create_folder(const std::string& path);                // failure (an existing folder included) ignored
void create_empty_file_if_missing(const std::string& path); // failure ignored

// For a file that held plain passwords: overwrites it in place, its whole
// length, flushes that to the disk and only then deletes it, so that what an
// undelete tool finds in its clusters (a FAT stick) is zeros. On flash memory
// this is best effort: the drive may keep the old blocks. Calls KERNEL32
// alone, so it still works when another system DLL could not be loaded.
// True when the file is gone (or was never there); false, the file left as
// it is, when it could not be zeroed, and false when the delete failed.
bool wipe_and_delete_file(const std::string& path);

} // namespace platform
