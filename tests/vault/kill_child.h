#pragma once
// What the kill test's child does to the vault, and how the parent checks
// what a killed child left: records "rec-0", "rec-1", ... added in order,
// each password "pw<i>-v<version>" rewritten now and then.
#include "vault/record.h"

#include <string>

namespace vault_test {

inline constexpr const char* kKillComputer = "KILLTEST";

inline vault::Record kill_record(std::size_t i, unsigned version) {
    const auto n = std::to_string(i);
    return vault::Record{"rec-" + n, "https://site" + n + ".example/login?x=1,y=2", "user " + n,
                         "pw" + n + "-v" + std::to_string(version), kKillComputer};
}

// True when the record is record i of some version, whole.
inline bool is_kill_record(const vault::Record& r, std::size_t i) {
    const vault::Record expected = kill_record(i, 0);
    const std::string prefix = "pw" + std::to_string(i) + "-v";
    if (r.name != expected.name || r.url != expected.url || r.user != expected.user || r.stamp != expected.stamp ||
        r.value_count != 4 || !r.extra.empty() || !r.password.starts_with(prefix) || r.password == prefix) {
        return false;
    }
    return r.password.find_first_not_of("0123456789", prefix.size()) == std::string::npos;
}

} // namespace vault_test
