#pragma once
// Plays a standard user against the real (Wine) registry. Wine runs every
// program with full rights but enforces the keys' security descriptors, so an
// entry for Everyone denying KEY_SET_VALUE | KEY_CREATE_SUB_KEY on a key and
// its subkeys refuses writes there with error 5, while reading still works:
// what a standard account meets under HKLM\SOFTWARE on Windows.
#include <windows.h>

#include <string>
#include <vector>

namespace test_support {

inline constexpr DWORD kDeniedToStandardUsers = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

// Wine does not check the parent's KEY_CREATE_SUB_KEY when a missing key is
// created (measured), so the key and the sections the program writes are
// created first, as an administrator's earlier run would have left them.
// False when the entry could not be set on the key or one of its subkeys.
bool deny_writes(HKEY root, const std::wstring& path, const std::vector<std::wstring>& sections = {L"Config"});
// Removes those entries again; a key without them (or no key) is fine.
bool allow_writes(HKEY root, const std::wstring& path);

} // namespace test_support
