#include "access/lock_setting.h"

#include "access/settings_store.h"

namespace qlk_access {

int lock_minutes_from_setting(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return kDefaultLockMinutes;
    text = text.substr(first, text.find_last_not_of(' ') - first + 1);
    int minutes = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return kDefaultLockMinutes;
        minutes = minutes * 10 + (c - '0');
        if (minutes > kMaxLockMinutes) return kDefaultLockMinutes;
    }
    return minutes;
}

int read_lock_minutes() {
    try {
        return lock_minutes_from_setting(MRegistry::GetString("Quillock", "Config", "LockMinutes"));
    } catch (const SettingsError&) {
        return kDefaultLockMinutes; // an unreadable setting counts as missing
    }
}

} // namespace qlk_access
