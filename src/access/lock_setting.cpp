#include "access/lock_setting.h"

#include "access/settings_store.h"
#include "platform/registry.h"
#include "platform/unique_handle.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

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

namespace {

// A number stored as REG_DWORD, which a registry editor offers first, in the
// user's own copy first as GetString reads the text.
std::optional<DWORD> stored_number() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        platform::unique_hkey key;
        if (RegOpenKeyExW(root, L"SOFTWARE\\Quillock\\Config", 0, KEY_READ, key.put()) != ERROR_SUCCESS) continue;
        const std::optional<platform::RegistryValue> value = platform::read_registry_value(key.get(), L"LockMinutes");
        if (!value) continue;
        if (value->type != REG_DWORD || value->data.size() * sizeof(wchar_t) < sizeof(DWORD)) return std::nullopt;
        DWORD number = 0;
        std::memcpy(&number, value->data.data(), sizeof number);
        return number;
    }
    return std::nullopt;
}

} // namespace

int read_lock_minutes() {
    try {
        return lock_minutes_from_setting(MRegistry::GetString("Quillock", "Config", "LockMinutes"));
    } catch (const SettingsError& error) {
        // The same number of minutes as its text would be, with the same limits.
        if (error.number() == MRegistry::kRegistryFailure + REG_DWORD)
            if (const std::optional<DWORD> number = stored_number())
                return lock_minutes_from_setting(std::to_string(*number));
        return kDefaultLockMinutes; // an unreadable setting counts as missing
    }
}

} // namespace qlk_access
