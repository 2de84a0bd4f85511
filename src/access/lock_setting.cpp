#include "access/lock_setting.h"

#include "access/settings_store.h"

#include <cstdint>

namespace qlk_access {

std::optional<int> lock_minutes_from_setting(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    int minutes = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        minutes = minutes * 10 + (c - '0');
        if (minutes > kMaxLockMinutes) return std::nullopt;
    }
    return minutes;
}

namespace {

std::optional<int> lock_minutes_from(const MRegistry::StoredValue& value) {
    switch (value.kind) {
    case MRegistry::StoredValue::Kind::Text: return lock_minutes_from_setting(value.text);
    case MRegistry::StoredValue::Kind::Number:
        if (value.number <= static_cast<std::uint32_t>(kMaxLockMinutes)) return static_cast<int>(value.number);
        return std::nullopt;
    case MRegistry::StoredValue::Kind::Other: break;
    }
    return std::nullopt;
}

} // namespace

int read_lock_minutes() {
    // The user's own copy first, as every setting; one that is unusable counts
    // as missing, so that it cannot switch off the limit the computer sets.
    for (MRegistry::Place place : {MRegistry::Place::User, MRegistry::Place::Machine}) {
        try {
            if (const auto value = MRegistry::GetStored("Quillock", "Config", "LockMinutes", place))
                if (const std::optional<int> minutes = lock_minutes_from(*value)) return *minutes;
        } catch (const SettingsError&) {
            // a place that cannot be read counts as missing
        }
    }
    return kDefaultLockMinutes;
}

} // namespace qlk_access
