#include "platform/files.h"

#include "platform/text.h"
#include "platform/unique_handle.h"

#include <windows.h>

#include <algorithm>

namespace platform {
namespace {

// Zeros over the whole length of an open file, from its start, flushed to the disk.
bool overwrite_with_zeros(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) return false;
    static constexpr char kZeros[65536] = {};
    for (LONGLONG left = size.QuadPart; left > 0;) {
        const DWORD chunk = static_cast<DWORD>(std::min<LONGLONG>(left, sizeof kZeros));
        DWORD written = 0;
        if (!WriteFile(file, kZeros, chunk, &written, nullptr) || written == 0) return false;
        left -= written;
    }
    return FlushFileBuffers(file) != 0;
}

} // namespace

std::wstring program_path_wide() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring program_folder_wide() {
    const std::wstring path = program_path_wide();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring program_exe_name_wide() {
    const std::wstring path = program_path_wide();
    const auto slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const auto dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name;
}

std::string program_folder() { return to_ansi(program_folder_wide()); }

std::string program_exe_name() { return to_ansi(program_exe_name_wide()); }

std::string computer_name() {
    wchar_t buffer[1024] = {};
    DWORD size = static_cast<DWORD>(std::size(buffer));
    if (!GetComputerNameW(buffer, &size)) return {};
    return to_ansi(buffer); // the text before the first NUL
}

bool file_exists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(to_wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void create_folder(const std::string& path) { CreateDirectoryW(to_wide(path).c_str(), nullptr); }

void delete_file(const std::string& path) { DeleteFileW(to_wide(path).c_str()); }

bool wipe_and_delete_file(const std::string& path) {
    const std::wstring wide = to_wide(path);
    {
        // OPEN_EXISTING never truncates, so the zeros land where the text
        // lies; a truncated file would give its clusters back unwritten.
        const unique_kernel_handle file =
            own_file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        // A file that cannot be opened or written (missing, read-only, held
        // by another program) is still deleted if the system lets us.
        if (file) overwrite_with_zeros(file.get());
    }
    if (DeleteFileW(wide.c_str())) return true;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

void create_empty_file_if_missing(const std::string& path) {
    // CREATE_NEW never touches an existing file.
    own_file(CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace platform
