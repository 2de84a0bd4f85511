#include "platform/registry.h"

#include "platform/text.h"
#include "platform/unique_handle.h"

namespace platform {
namespace {

std::wstring settings_path(const std::string& application, const std::string& section) {
    return L"Software\\VB and VBA Program Settings\\" + to_wide(application) + L"\\" + to_wide(section);
}

} // namespace

std::optional<RegistryValue> read_registry_value(HKEY key, const std::wstring& name) {
    RegistryValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (size == 0) return value;
    // Room for an odd byte count: the last character then holds the odd byte.
    value.data.assign((size + 1) / sizeof(wchar_t), L'\0');
    if (RegQueryValueExW(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value.data.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize((size + 1) / sizeof(wchar_t));
    return value;
}

LONG write_registry_string(HKEY key, const std::wstring& name, const std::wstring& text) {
    return RegSetValueExW(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

std::string get_setting(const std::string& application, const std::string& section, const std::string& key,
                        const std::string& default_text) {
    unique_hkey hkey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settings_path(application, section).c_str(), 0, KEY_READ, hkey.put()) !=
        ERROR_SUCCESS)
        return default_text;
    const std::optional<RegistryValue> value = read_registry_value(hkey.get(), to_wide(key));
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return default_text;
    return to_ansi(std::wstring_view(value->data.c_str())); // the text before the first NUL
}

bool save_setting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& text) {
    unique_hkey hkey;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, settings_path(application, section).c_str(), 0, nullptr,
                        REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, hkey.put(), nullptr) != ERROR_SUCCESS)
        return false;
    return write_registry_string(hkey.get(), to_wide(key), to_wide(text)) == ERROR_SUCCESS;
}

} // namespace platform
