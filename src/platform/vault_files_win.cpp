// The vault's file operations on Windows: byte paths of the program code page,
// a write that reaches the disk before the file takes the vault's place, and
// a replace that waits out the short holds of virus scanners and indexers.
#include "vault/file_system.h"

#include "platform/retry.h"
#include "platform/text.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>

namespace vault {
namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid()) CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    bool close() { return CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != 0; }

private:
    HANDLE handle_;
};

// Readies a leftover file for CreateFileW with CREATE_ALWAYS and
// FILE_ATTRIBUTE_NORMAL, which Windows refuses with access denied when the
// file is read-only, hidden or system (its Remarks). Wine refuses none of
// them and keeps them on the new contents, so a hidden work file would make a
// hidden vault: the attributes are cleared first on both. DeleteFileW refuses
// a read-only file (its Remarks): a leftover is readied for it the same way.
// False for a folder, which stays one: no reason to retry.
bool ready_for_create(const std::wstring& path) {
    constexpr DWORD kRefused = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return true; // none yet, or the create reports why
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_DIRECTORY);
        return false;
    }
    // A failure leaves the attributes; the create then reports it.
    if (attributes & kRefused) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

// Makes a moved file's new name durable. MOVEFILE_WRITE_THROUGH flushes only
// "a move performed as a copy and delete operation" (MoveFileEx); a rename on
// one volume is not one. Flushing a file writes "file data and metadata in the
// file cache" on NTFS, ReFS, FAT and exFAT (NtFlushBuffersFileEx, which
// FlushFileBuffers calls with no flags), and a file's directory entry, name
// included, is its metadata on FAT. FlushFileBuffers needs GENERIC_WRITE.
bool flush_name(const std::wstring& path) {
    HANDLE raw = INVALID_HANDLE_VALUE;
    platform::retry_while_held([&] {
        raw = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        return raw != INVALID_HANDLE_VALUE;
    });
    FileHandle file(raw);
    return file.valid() && FlushFileBuffers(file.get()) && file.close();
}

// Moves `from` to `to` and makes the new name durable; a failed flush is
// reported as a failure, with the move done (the store asks which).
bool move_durably(const std::string& from, const std::string& to, DWORD flags) {
    const std::wstring target = platform::to_wide(to);
    return platform::retry_while_held([&] {
               return MoveFileExW(platform::to_wide(from).c_str(), target.c_str(), flags | MOVEFILE_WRITE_THROUGH) != 0;
           }) &&
           flush_name(target);
}

// Whether nothing of that name is left: a deleted file keeps its name until
// its last handle closes ("the file deletion does not occur until the last
// handle to the file is closed", DeleteFile), and answers access denied
// meanwhile, which the retries wait out.
bool name_gone(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

class WindowsFiles final : public FileSystem {
public:
    ReadResult read_file(const std::string& path) override {
        ReadResult result;
        result.status = presence(path);
        if (result.status != ReadStatus::Ok) return result;
        result.status = ReadStatus::Unreadable;
        HANDLE raw = INVALID_HANDLE_VALUE;
        // A scanner holding the file for a moment is waited out; a lock that
        // lasts is reported, never looped on.
        platform::retry_while_held([&] {
            raw = CreateFileW(platform::to_wide(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            return raw != INVALID_HANDLE_VALUE;
        });
        FileHandle file(raw);
        if (!file.valid()) {
            const DWORD error = GetLastError();
            if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) result.status = ReadStatus::Missing;
            return result;
        }
        LARGE_INTEGER size{};
        if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return result;
        std::optional<std::string> bytes =
            read_to_end(static_cast<std::size_t>(size.QuadPart), [&](char* at, std::size_t room) {
                DWORD got = 0;
                const DWORD want = static_cast<DWORD>(std::min<std::size_t>(room, 0x40000000));
                return ReadFile(file.get(), at, want, &got, nullptr) ? std::optional<std::size_t>(got) : std::nullopt;
            });
        if (!bytes) return result;
        result.bytes = std::move(*bytes);
        result.status = ReadStatus::Ok;
        return result;
    }

    bool write_durable(const std::string& path, std::string_view bytes) override {
        const std::wstring wide = platform::to_wide(path);
        HANDLE raw = INVALID_HANDLE_VALUE;
        if (!ready_for_create(wide)) return false;
        // A scanner's moment on a leftover file is waited out as the replace
        // waits it out.
        platform::retry_while_held([&] {
            raw = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            return raw != INVALID_HANDLE_VALUE;
        });
        FileHandle file(raw);
        if (!file.valid()) return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
            DWORD put = 0;
            if (!WriteFile(file.get(), bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
            done += put;
        }
        if (!FlushFileBuffers(file.get())) return false;
        return file.close();
    }

    bool replace_file(const std::string& from, const std::string& to) override {
        // Windows refuses to replace a read-only file, Wine does not: refuse it
        // here so that both behave alike. A folder of that name refuses with
        // access denied too, and stays a folder: no reason to wait.
        const DWORD attributes = GetFileAttributesW(platform::to_wide(to).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES &&
            (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
            SetLastError(ERROR_ACCESS_DENIED);
            return false;
        }
        return move_durably(from, to, MOVEFILE_REPLACE_EXISTING);
    }

    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    bool rename_file(const std::string& from, const std::string& to) override { return move_durably(from, to, 0); }

    ReadStatus presence(const std::string& path) override {
        const DWORD attributes = GetFileAttributesW(platform::to_wide(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            // Any other failure (a flaky stick, a denied folder) leaves it unknown.
            const DWORD error = GetLastError();
            // A share out of reach (ERROR_BAD_NETPATH) is not a missing vault:
            // an add would then overwrite it once the network is back.
            const bool missing =
                error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME;
            return missing ? ReadStatus::Missing : ReadStatus::Unreadable;
        }
        return attributes & FILE_ATTRIBUTE_DIRECTORY ? ReadStatus::Unreadable : ReadStatus::Ok;
    }

    // A refusal (read-only, a folder, held) is reported at once; a removal
    // is done once the name has gone.
    bool remove_file(const std::string& path) override {
        const std::wstring wide = platform::to_wide(path);
        return DeleteFileW(wide.c_str()) && platform::retry_while_held([&] { return name_gone(wide); });
    }

    bool remove_leftover(const std::string& path) override {
        const std::wstring wide = platform::to_wide(path);
        if (!ready_for_create(wide)) return false; // a folder of that name
        return platform::retry_while_held([&] {
            if (!DeleteFileW(wide.c_str())) {
                const DWORD error = GetLastError();
                if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return false;
            }
            return name_gone(wide);
        });
    }

    bool create_folder(const std::string& path) override {
        return CreateDirectoryW(platform::to_wide(path).c_str(), nullptr) != 0;
    }
};

} // namespace

FileSystem& disk_files() {
    static WindowsFiles files;
    return files;
}

} // namespace vault
