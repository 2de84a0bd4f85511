#pragma once
// The real disk, one numbered call at a time, for the enumeration of faults:
// the power goes at one call, one call slips (fails, answers wrongly, or does
// its work and reports a failure), or a condition lasts the whole run (a full
// stick, a write-protected one). It records the kind of each call, and whether
// a start put a work file over a readable vault.
#include "vault_test_support.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vault_test {

class SteppedFiles final : public vault::FileSystem {
public:
    enum class Kind { Read, Write, Replace, Rename, Presence, Remove, Folder };
    // How the power goes at a call: before it, inside a write (none, half or
    // all of its bytes on the disk), or inside FAT's replace, between its
    // delete and its rename.
    enum class Cut { Before, WriteStart, WriteMiddle, WriteEnd, AfterDelete };
    enum class Slip {
        Fails,           // changes nothing and fails
        AnswersWrongly,  // a read or presence says missing for a file that is there, or there for one that is not
        FailsAfterDoing, // a move that took place, reported as failed
        FailsHalfway,    // FAT's replace failing between its delete and its rename (an I/O error)
    };
    enum class Condition { None, FullStick, WriteProtected, ReadOnlyBackup, FolderBackup };

    struct Fault {
        std::optional<int> slip_at;
        Slip slip = Slip::Fails;
        std::optional<int> cut_at;
        Cut cut = Cut::Before;
        Condition condition = Condition::None;
    };

    vault::ReadResult read_file(const std::string& path) override {
        if (begin(Kind::Read)) return {vault::ReadStatus::Unreadable, {}};
        if (slipping(Slip::AnswersWrongly)) return {vault::ReadStatus::Missing, {}};
        return real().read_file(path);
    }
    bool write_durable(const std::string& path, std::string_view data) override {
        if (begin(Kind::Write) || protected_()) return false;
        const bool full = fault_.condition == Condition::FullStick && writes_++ > 0;
        if (cutting() || full) {
            // What reached the disk before the power went, or the room ran out.
            const Cut cut = full ? Cut::WriteMiddle : fault_.cut;
            write_bytes(path, std::string(data.substr(0, cut == Cut::WriteStart    ? 0
                                                         : cut == Cut::WriteMiddle ? data.size() / 2
                                                                                   : data.size())));
            if (full) return false;
            throw PowerCut{};
        }
        return real().write_durable(path, data);
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        if (begin(Kind::Replace) || protected_()) return false;
        const bool over_vault = readable_vault(to);
        const bool halfway = slipping(Slip::FailsHalfway);
        if (halfway || (cutting() && fault_.cut == Cut::AfterDelete)) { // as on FAT: the delete done, not the rename
            std::error_code ignored;
            std::filesystem::remove(to, ignored);
            if (halfway) return false;
            throw PowerCut{};
        }
        if (!real().replace_file(from, to)) return false;
        replaced_readable_vault |= over_vault;
        return !slipping(Slip::FailsAfterDoing);
    }
    bool rename_file(const std::string& from, const std::string& to) override {
        if (begin(Kind::Rename) || protected_()) return false;
        const bool over_vault = readable_vault(to);
        if (!real().rename_file(from, to)) return false;
        replaced_readable_vault |= over_vault;
        return !slipping(Slip::FailsAfterDoing);
    }
    vault::ReadStatus presence(const std::string& path) override {
        if (begin(Kind::Presence)) return vault::ReadStatus::Unreadable;
        const vault::ReadStatus truth = real().presence(path);
        if (!slipping(Slip::AnswersWrongly)) return truth;
        return truth == vault::ReadStatus::Missing ? vault::ReadStatus::Ok : vault::ReadStatus::Missing;
    }
    bool remove_file(const std::string& path) override {
        return !begin(Kind::Remove) && !protected_() && real().remove_file(path);
    }
    bool remove_leftover(const std::string& path) override {
        if (begin(Kind::Remove)) return false;
        if (protected_()) return real().presence(path) == vault::ReadStatus::Missing;
        return real().remove_leftover(path);
    }
    bool create_folder(const std::string& path) override {
        return !begin(Kind::Folder) && !protected_() && real().create_folder(path);
    }

    // Ready for a new run: counting from 0, with the given fault.
    void arm() { arm(Fault{}); }
    void arm(const Fault& fault) {
        calls_ = 0;
        writes_ = 0;
        kinds.clear();
        fault_ = fault;
    }

    std::vector<Kind> kinds;
    std::string watched_vault; // while set, a work file put over it readable is noted
    bool replaced_readable_vault = false;

private:
    // True when this call is to fail and change nothing.
    bool begin(Kind kind) {
        kinds.push_back(kind);
        const int n = calls_++;
        if (fault_.cut_at == n && fault_.cut == Cut::Before) throw PowerCut{};
        return slipping(Slip::Fails);
    }
    bool slipping(Slip slip) const { return fault_.slip_at == calls_ - 1 && fault_.slip == slip; }
    bool cutting() const { return fault_.cut_at == calls_ - 1; }
    bool protected_() const { return fault_.condition == Condition::WriteProtected; }
    bool readable_vault(const std::string& to) const {
        return to == watched_vault && real().presence(to) == vault::ReadStatus::Ok;
    }
    static vault::FileSystem& real() { return vault::disk_files(); }

    int calls_ = 0;
    int writes_ = 0;
    Fault fault_;
};

// The ways the power can go at a call of that kind; a read changes nothing.
inline std::vector<SteppedFiles::Cut> cuts_for(SteppedFiles::Kind kind) {
    using Cut = SteppedFiles::Cut;
    switch (kind) {
    case SteppedFiles::Kind::Write: return {Cut::Before, Cut::WriteStart, Cut::WriteMiddle, Cut::WriteEnd};
    case SteppedFiles::Kind::Replace: return {Cut::Before, Cut::AfterDelete};
    case SteppedFiles::Kind::Read:
    case SteppedFiles::Kind::Presence: return {};
    default: return {Cut::Before};
    }
}

// The ways a call of that kind can slip.
inline std::vector<SteppedFiles::Slip> slips_for(SteppedFiles::Kind kind) {
    using Slip = SteppedFiles::Slip;
    switch (kind) {
    case SteppedFiles::Kind::Read:
    case SteppedFiles::Kind::Presence: return {Slip::Fails, Slip::AnswersWrongly};
    case SteppedFiles::Kind::Replace: return {Slip::Fails, Slip::FailsAfterDoing, Slip::FailsHalfway};
    case SteppedFiles::Kind::Rename: return {Slip::Fails, Slip::FailsAfterDoing};
    default: return {Slip::Fails};
    }
}

// `first` followed by each cut at a call from `from` on of a run whose calls were `kinds`.
inline void add_cuts(std::vector<SteppedFiles::Fault>& faults, SteppedFiles::Fault first,
                     const std::vector<SteppedFiles::Kind>& kinds, int from) {
    for (int call = from; call < static_cast<int>(kinds.size()); ++call) {
        for (SteppedFiles::Cut cut : cuts_for(kinds[call])) {
            first.cut_at = call;
            first.cut = cut;
            faults.push_back(first);
        }
    }
}

// One fault at a time in a run with these calls: none, each cut, each slip
// (but a wrong answer, where `answers_true`).
inline std::vector<SteppedFiles::Fault> single_faults(const std::vector<SteppedFiles::Kind>& kinds,
                                                      bool answers_true = false) {
    std::vector<SteppedFiles::Fault> faults{SteppedFiles::Fault{}};
    add_cuts(faults, {}, kinds, 0);
    for (int call = 0; call < static_cast<int>(kinds.size()); ++call)
        for (SteppedFiles::Slip slip : slips_for(kinds[call]))
            if (!answers_true || slip != SteppedFiles::Slip::AnswersWrongly) faults.push_back({call, slip});
    return faults;
}

// What a folder holds, name by name.
struct FileState {
    std::string bytes;
    bool folder = false;
    bool read_only = false;
    bool operator==(const FileState&) const = default;
};
using Folder = std::map<std::string, FileState>;

inline Folder snapshot(const std::filesystem::path& where) {
    Folder files;
    for (const auto& entry : std::filesystem::directory_iterator(where)) {
        FileState& file = files[entry.path().filename().string()];
        file.folder = entry.is_directory();
        file.read_only =
            (entry.status().permissions() & std::filesystem::perms::owner_write) == std::filesystem::perms::none;
        if (!file.folder) file.bytes = read_bytes(entry.path().string());
    }
    return files;
}

inline void restore(const std::filesystem::path& where, const Folder& files) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(where)) {
        std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(entry.path(), ignored);
    }
    for (const auto& [name, file] : files) {
        const std::filesystem::path path = where / name;
        if (file.folder) {
            std::filesystem::create_directory(path);
            continue;
        }
        write_bytes(path.string(), file.bytes);
        if (file.read_only) std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    }
}

} // namespace vault_test
