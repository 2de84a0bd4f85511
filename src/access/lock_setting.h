#pragma once
// LockMinutes: how long the system may go without keyboard or mouse input
// before the password viewer closes, stored beside the viewer's appearance
// under "Quillock"\"Config" as a whole number of minutes in text, or as a
// REG_DWORD number, which a registry editor offers first.
#include <optional>
#include <string_view>

namespace qlk_access {

inline constexpr int kDefaultLockMinutes = 10;
inline constexpr int kMaxLockMinutes = 1440; // a day

// The minutes a stored text stands for: a whole number from 0 (never) to
// kMaxLockMinutes, spaces around it allowed; nothing for anything else.
std::optional<int> lock_minutes_from_setting(std::string_view text);

// The idle limit in force: the user's own copy first, as every setting, then
// the computer's, then the default. A value that is not a whole number of
// minutes in range, or cannot be read, counts as missing.
int read_lock_minutes();

} // namespace qlk_access
