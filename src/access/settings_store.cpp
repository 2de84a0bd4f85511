#include "access/settings_store.h"

#include "platform/unique_handle.h"

#include <windows.h>

#include <cstdio>

namespace qlk_access {
namespace {

std::string trim_spaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Checks the three names in order and gives the key path under HKLM.
std::string key_path(const std::string& application, const std::string& section, const std::string& key) {
    const std::string app = trim_spaces(application);
    const std::string sect = trim_spaces(section);
    if (app.empty()) throw SettingsError(MRegistry::kAppNameEmpty, "AppName may not be empty");
    if (sect.empty()) throw SettingsError(MRegistry::kSectionEmpty, "Section may not be empty");
    if (trim_spaces(key).empty()) throw SettingsError(MRegistry::kKeyEmpty, "Key may not be empty");
    return "SOFTWARE\\" + app + "\\" + sect;
}

SettingsError registry_failure(LONG code, const char* text) {
    return SettingsError(MRegistry::kRegistryFailure + static_cast<std::uint32_t>(code), text);
}

} // namespace

std::string SettingsError::user_message() const {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(number_));
    return std::string("ERROR: ") + what() + " (error " + number + ")";
}

namespace MRegistry {

void SaveString(std::string application, std::string section, std::string key, std::string value) {
    const std::string path = key_path(application, section, key);
    platform::unique_hkey hkey; // closed on every path, before any error leaves
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, hkey.put(), nullptr);
    if (result != ERROR_SUCCESS) throw registry_failure(result, "Could not open/create registry section");
    result = RegSetValueExA(hkey.get(), key.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    if (result != ERROR_SUCCESS) throw registry_failure(result, "Could not set key value");
}

std::string GetString(std::string application, std::string section, std::string key, std::string default_text) {
    const std::string path = key_path(application, section, key);
    platform::unique_hkey hkey;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, hkey.put());
    if (result == ERROR_FILE_NOT_FOUND) return default_text;
    if (result != ERROR_SUCCESS) throw registry_failure(result, "Could not open registry section");

    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(hkey.get(), key.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return default_text;
    if (type != REG_SZ) throw SettingsError(kRegistryFailure + type, "Registry data not a string");
    if (size == 0) return {};

    std::string buffer(size, '\0');
    if (RegQueryValueExA(hkey.get(), key.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return default_text;
    buffer.resize(size > 0 ? size - 1 : 0); // the text without its terminating NUL
    return buffer;
}

} // namespace MRegistry
} // namespace qlk_access
