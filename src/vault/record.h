#pragma once
// A record of the vault, each text a string of its own.
#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace vault {

// The four value fields, in the order their lines follow the "NAM:" line.
enum class Field { Url = 0, User = 1, Password = 2, Stamp = 3 };

inline constexpr std::array<std::string_view, 4> kValueTags = {"URL:", "USE:", "PAS:", "IDN:"};
inline constexpr std::string_view kNameTag = "NAM:";

struct Record {
    std::string name;
    std::string url;
    std::string user;
    std::string password;
    std::string stamp; // the computer the record was added on
    // How many of url, user, password and stamp the vault holds for this
    // record; they fill in that order, and a writer leaves out the lines of
    // the ones it lacks.
    int value_count = 4;
    // Value lines beyond the fourth: kept with the record, never written back.
    std::vector<std::string> extra;

    std::string& value(Field f);
    const std::string& value(Field f) const;
    bool has(Field f) const { return static_cast<int>(f) < value_count; }

    // Equal as stored: the fields a writer would write.
    bool same_stored(const Record& other) const;
    bool operator==(const Record&) const = default;
};

} // namespace vault
