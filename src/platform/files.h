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

// The user's own temporary folder on this computer (%TEMP%), without a
// trailing backslash; in its short form when the long one has a character
// that the program code page cannot hold. Empty when Windows gives none that
// the code page can name.
std::string user_temp_folder();

// What a wipe left behind.
enum class Wiped {
    Gone,      // the file is gone, or was never there
    ZerosLeft, // zeroed, but another program keeps it from being deleted
    TextLeft,  // kept as it was: it could not be zeroed
};

// For a file that held plain passwords: overwrites it in place, its whole
// length, flushes that to the disk and only then deletes it, so that what an
// undelete tool finds in its clusters (a FAT stick) is zeros. On flash memory
// this is best effort: the drive may keep the old blocks. Another program's
// short hold (a virus scanner's) is waited out for about a second. A file
// that cannot be zeroed is not deleted either: deleted, it would leave its
// text in clusters the file system gives away. Calls KERNEL32 alone, so it
// still works when another system DLL could not be loaded.
Wiped wipe_and_delete_file(const std::string& path);

} // namespace platform
