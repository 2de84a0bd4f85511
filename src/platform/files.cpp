#include "platform/files.h"

#include "platform/retry.h"
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
    // On the stack: zeros kept in the exe would cost their size on the disk.
    char zeros[4096] = {};
    for (LONGLONG left = size.QuadPart; left > 0;) {
        const DWORD chunk = static_cast<DWORD>(std::min<LONGLONG>(left, sizeof zeros));
        DWORD written = 0;
        if (!WriteFile(file, zeros, chunk, &written, nullptr) || written == 0) return false;
        left -= written;
    }
    return FlushFileBuffers(file) != 0;
}

bool is_missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

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

std::wstring system_folder_wide() {
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) { // too small: the length asked for counts the NUL
        folder.resize(length);
        length = GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size()));
        if (length >= folder.size()) return {};
    }
    folder.resize(length); // 0 on failure
    return folder;
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

std::string user_temp_folder() {
    wchar_t buffer[MAX_PATH + 2]; // the longest answer, MAX_PATH + 1, and its NUL
    const DWORD length = GetTempPathW(static_cast<DWORD>(std::size(buffer)), buffer);
    if (length == 0 || length >= std::size(buffer)) return {};
    std::wstring folder(buffer, length);
    if (folder.ends_with(L'\\')) folder.pop_back();
    AnsiText named = to_ansi_checked(folder);
    if (named.exact) return named.bytes;
    // A user name in another script: the short form names the same folder in ASCII.
    const DWORD short_length = GetShortPathNameW(folder.c_str(), buffer, static_cast<DWORD>(std::size(buffer)));
    if (short_length == 0 || short_length >= std::size(buffer)) return {};
    named = to_ansi_checked({buffer, short_length});
    return named.exact ? named.bytes : std::string();
}

Wiped wipe_and_delete_file(const std::string& path) {
    const std::wstring wide = to_wide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return is_missing(GetLastError()) ? Wiped::Gone : Wiped::TextLeft;
    // A read-only file opens for reading only, and is not deleted either.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(wide.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY); // a failure shows at the open
    bool zeroed = false;
    const bool deleted = retry_while_held([&] {
        if (!zeroed) {
            // OPEN_EXISTING never truncates, so the zeros land where the text
            // lies; a truncated file would give its clusters back unwritten.
            const unique_kernel_handle file =
                own_file(CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) return false;
            zeroed = overwrite_with_zeros(file.get());
            if (!zeroed) return false;
        }
        return DeleteFileW(wide.c_str()) != 0;
    });
    if (deleted || is_missing(GetLastError())) return Wiped::Gone; // gone meanwhile: another hand deleted it
    return zeroed ? Wiped::ZerosLeft : Wiped::TextLeft;
}

void create_empty_file_if_missing(const std::string& path) {
    // CREATE_NEW never touches an existing file.
    own_file(CreateFileW(to_wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
}

} // namespace platform
