#include "platform/files.h"

#include "platform/text.h"
#include "platform/unique_handle.h"

#include <windows.h>

namespace platform {

std::string program_path() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return to_ansi(path);
        }
        path.resize(path.size() * 2);
    }
}

std::string program_folder() {
    const std::string path = program_path();
    const auto slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string program_exe_name() {
    const std::string path = program_path();
    const auto slash = path.find_last_of("\\/");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of('.');
    if (dot != std::string::npos) name.resize(dot);
    return name;
}

std::string computer_name() {
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (!GetComputerNameA(buffer, &size)) return {};
    return std::string(buffer); // the text before the first NUL
}

bool file_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void create_folder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void delete_file(const std::string& path) { DeleteFileA(path.c_str()); }

void create_empty_file_if_missing(const std::string& path) {
    // CREATE_NEW never touches an existing file.
    own_file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace platform
