#pragma once
// The few file operations the vault needs, behind an interface so that tests
// can inject failures. Paths are byte strings in the ANSI code page.
#include <optional>
#include <string>
#include <string_view>

namespace vault {

enum class ReadStatus {
    Ok,
    Missing,    // no file of that name
    Unreadable, // there, but locked, a folder, or not ours to read
};

struct ReadResult {
    ReadStatus status = ReadStatus::Missing;
    std::string bytes;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual ReadResult read_file(const std::string& path) = 0;
    // Creates or truncates the file, writes every byte and flushes them to
    // the disk before returning true. A leftover file of that name is
    // replaced even when read-only, hidden or system, and a short hold on it
    // by another program is waited out.
    virtual bool write_durable(const std::string& path, std::string_view bytes) = 0;
    // Puts `from` in place of `to` in one atomic step, so that `to` is at all
    // times either the old or the new file. Refuses a read-only `to`.
    virtual bool replace_file(const std::string& from, const std::string& to) = 0;
    // Gives `from` the name `to`; refuses when a file of that name exists.
    virtual bool rename_file(const std::string& from, const std::string& to) = 0;
    // Whether a file of that name is there, with the same three answers as a
    // read: Ok, Missing only when nothing of that name was found, Unreadable
    // when it could not be told or the name is a folder.
    virtual ReadStatus presence(const std::string& path) = 0;
    // Refuses a read-only file, as Windows does.
    virtual bool remove_file(const std::string& path) = 0;
    // Removes a work file of ours, read-only, hidden or system as an earlier
    // run may have left it; true when it is gone, or was never there.
    virtual bool remove_leftover(const std::string& path) = 0;
    // False when it could not be created, an existing folder included.
    virtual bool create_folder(const std::string& path) = 0;
};

// The real disk of this platform.
FileSystem& disk_files();

// The read loop of every disk: a file that said it holds `size` bytes is read
// to its end through `read_some(buffer, room)`, which gives how many bytes it
// read (0 at the end) or nothing when the read failed. A file that grew
// meanwhile is read whole all the same.
template <typename ReadSome> std::optional<std::string> read_to_end(std::size_t size, ReadSome read_some) {
    // One byte more than the file holds, so that the end is seen without growing the buffer.
    std::string bytes(size + 1, '\0');
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) bytes.resize(done + 65536); // the file grew meanwhile
        const std::optional<std::size_t> got = read_some(bytes.data() + done, bytes.size() - done);
        if (!got) return std::nullopt;
        if (*got == 0) break;
        done += *got;
    }
    bytes.resize(done);
    return bytes;
}

} // namespace vault
