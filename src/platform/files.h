#pragma once
// The file-system and process facts the forms need, over ANSI paths.
#include <string>

namespace platform {

std::string program_path();     // full path of the running .exe
std::string program_folder();   // its folder, without a trailing backslash
std::string program_exe_name(); // its file name without extension
std::string computer_name();

bool file_exists(const std::string& path); // a file, not a folder
void create_folder(const std::string& path); // failure (an existing folder included) ignored
void delete_file(const std::string& path);   // failure ignored
void create_empty_file_if_missing(const std::string& path); // failure ignored

} // namespace platform
