#include "platform/registry.h"

#include "platform/unique_handle.h"

#include <windows.h>

namespace platform {
namespace {

std::string settings_path(const std::string& application, const std::string& section) {
    return "Software\\VB and VBA Program Settings\\" + application + "\\" + section;
}

} // namespace

std::string get_setting(const std::string& application, const std::string& section, const std::string& key,
                        const std::string& default_text) {
    unique_hkey hkey;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, settings_path(application, section).c_str(), 0, KEY_READ, hkey.put()) !=
        ERROR_SUCCESS)
        return default_text;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return default_text;
    std::string text(size, '\0');
    if (size > 0 && RegQueryValueExA(hkey.get(), key.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()),
                                     &size) != ERROR_SUCCESS)
        return default_text;
    text.resize(strnlen(text.data(), text.size()));
    return text;
}

bool save_setting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& text) {
    unique_hkey hkey;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, settings_path(application, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, hkey.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExA(hkey.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

} // namespace platform
