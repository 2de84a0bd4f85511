#pragma once
// The vault's disk in memory, for the fuzz target: every operation is fast
// and nothing touches the real disk.
#include "vault/file_system.h"

#include <map>

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
        return true;
    }
    bool replace_file(const std::string& from, const std::string& to) override {
        auto found = files.find(from);
        if (found == files.end()) return false;
        files[to] = std::move(found->second);
        files.erase(from);
        return true;
    }
    bool rename_file(const std::string& from, const std::string& to) override {
        return files.count(to) == 0 && replace_file(from, to);
    }
    vault::ReadStatus presence(const std::string& path) override {
        return files.count(path) != 0 ? vault::ReadStatus::Ok : vault::ReadStatus::Missing;
    }
    bool remove_file(const std::string& path) override { return files.erase(path) != 0; }
    bool remove_leftover(const std::string& path) override {
        files.erase(path);
        return true;
    }
    bool create_folder(const std::string&) override { return false; }

    std::map<std::string, std::string> files;
};

} // namespace vault_fuzz
