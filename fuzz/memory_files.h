#pragma once
// The vault's disk in memory, for the fuzz target: every operation is fast
// and nothing touches the real disk. A read-only file refuses a replace over
// it and a removal, as Windows does, except the removal of a leftover.
#include "vault/file_system.h"

#include <map>
#include <set>

namespace vault_fuzz {

class MemoryFiles final : public vault::FileSystem {
public:
    vault::ReadResult read_file(const std::string& path) override {
        auto found = files.find(path);
        if (found == files.end()) return {vault::ReadStatus::Missing, {}};
        return {vault::ReadStatus::Ok, found->second};
    }
    bool write_durable(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
        read_only.erase(path); // a leftover is replaced whatever its attributes
        return true;
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        if (read_only.count(to)) return false;
        auto found = files.find(from);
        if (found == files.end()) return false;
        files[to] = std::move(found->second);
        files.erase(from);
        read_only.erase(to);
        if (read_only.erase(from)) read_only.insert(to);
        return true;
    }
    bool rename_file(const std::string& from, const std::string& to) override {
        return files.count(to) == 0 && replace_file(from, to);
    }
    vault::ReadStatus presence(const std::string& path) override {
        return files.count(path) != 0 ? vault::ReadStatus::Ok : vault::ReadStatus::Missing;
    }
    bool remove_file(const std::string& path) override { return !read_only.count(path) && files.erase(path) != 0; }
    bool remove_leftover(const std::string& path) override {
        files.erase(path);
        read_only.erase(path);
        return true;
    }
    bool create_folder(const std::string&) override { return false; }

    std::map<std::string, std::string> files;
    std::set<std::string> read_only;
};

} // namespace vault_fuzz
