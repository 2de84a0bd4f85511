// The vault's file operations on POSIX systems: the native build, where the
// portable core is tested, fuzzed and measured.
#include "vault/file_system.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace vault {
namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) ::close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

std::string parent_folder(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The new name reaches the disk with its folder.
void sync_folder_of(const std::string& path) {
    FdCloser folder(::open(parent_folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
}

class PosixFiles final : public FileSystem {
public:
    ReadResult read_file(const std::string& path) override {
        ReadResult result;
        FdCloser fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) {
            result.status = (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::Missing : ReadStatus::Unreadable;
            return result;
        }
        struct stat info {};
        if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
            result.status = ReadStatus::Unreadable;
            return result;
        }
        std::optional<std::string> bytes =
            read_to_end(static_cast<std::size_t>(info.st_size), [&](char* at, std::size_t room) {
                ssize_t got;
                do got = ::read(fd.get(), at, room);
                while (got < 0 && errno == EINTR);
                return got < 0 ? std::nullopt : std::optional<std::size_t>(static_cast<std::size_t>(got));
            });
        if (!bytes) {
            result.status = ReadStatus::Unreadable;
            return result;
        }
        result.bytes = std::move(*bytes);
        result.status = ReadStatus::Ok;
        return result;
    }

    bool write_durable(const std::string& path, std::string_view bytes) override {
        constexpr int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
        int raw = ::open(path.c_str(), flags, 0644);
        // A read-only work file left over from earlier is replaced.
        if (raw < 0 && errno == EACCES && ::unlink(path.c_str()) == 0) raw = ::open(path.c_str(), flags, 0644);
        FdCloser fd(raw);
        if (fd.get() < 0) return false;
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t put = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return false;
            done += static_cast<std::size_t>(put);
        }
        if (::fsync(fd.get()) != 0) return false;
        return ::close(fd.release()) == 0;
    }

    bool replace_file(const std::string& from, const std::string& to) override {
        // Windows refuses to replace a read-only file; refuse it here as well.
        struct stat info {};
        if (::stat(to.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) return false;
        if (::rename(from.c_str(), to.c_str()) != 0) return false;
        sync_folder_of(to);
        return true;
    }

    bool rename_file(const std::string& from, const std::string& to) override {
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) return false;
        sync_folder_of(to);
        return true;
    }

    ReadStatus presence(const std::string& path) override {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0)
            return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
        return S_ISREG(info.st_mode) ? ReadStatus::Ok : ReadStatus::Unreadable;
    }

    bool remove_leftover(const std::string& path) override { return ::unlink(path.c_str()) == 0 || errno == ENOENT; }

    bool remove_file(const std::string& path) override {
        // Windows refuses to delete a read-only file; refuse it here as well.
        struct stat info {};
        if (::stat(path.c_str(), &info) == 0 && (info.st_mode & S_IWUSR) == 0) return false;
        return ::unlink(path.c_str()) == 0;
    }

    bool create_folder(const std::string& path) override { return ::mkdir(path.c_str(), 0755) == 0; }
};

} // namespace

FileSystem& disk_files() {
    static PosixFiles files;
    return files;
}

} // namespace vault
