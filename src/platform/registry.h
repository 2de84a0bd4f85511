#pragma once
// Registry values through the wide calls, and the per-user settings area where
// the classic forms run-time keeps program settings:
// HKCU\Software\VB and VBA Program Settings\<application>\<section>.
// Positions saved there by earlier versions are found again.
#include <windows.h>

#include <optional>
#include <string>

namespace platform {

struct RegistryValue {
    DWORD type = 0;
    std::wstring data; // the stored bytes as wide characters, a terminating NUL included when stored
};
// Nothing when the value does not exist or its data cannot be fetched.
std::optional<RegistryValue> read_registry_value(HKEY key, const std::wstring& name);
// REG_SZ with its terminating NUL; the system's result code.
LONG write_registry_string(HKEY key, const std::wstring& name, const std::wstring& text);

// The stored text, or default_text when the value does not exist.
std::string get_setting(const std::string& application, const std::string& section, const std::string& key,
                        const std::string& default_text);
// Creates section and key as needed; returns false when the value could not be written.
bool save_setting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& text);

} // namespace platform
