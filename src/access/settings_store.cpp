#include "access/settings_store.h"

#include "platform/registry.h"
#include "platform/text.h"
#include "platform/unique_handle.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>

namespace qlk_access {
namespace {

std::string trim_spaces(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Checks the three names in order and gives the key path, the same under both roots.
std::wstring key_path(const std::string& application, const std::string& section, const std::string& key) {
    const std::string app = trim_spaces(application);
    const std::string sect = trim_spaces(section);
    if (app.empty()) throw SettingsError(MRegistry::kAppNameEmpty, "AppName may not be empty");
    if (sect.empty()) throw SettingsError(MRegistry::kSectionEmpty, "Section may not be empty");
    if (trim_spaces(key).empty()) throw SettingsError(MRegistry::kKeyEmpty, "Key may not be empty");
    return platform::to_wide("SOFTWARE\\" + app + "\\" + sect);
}

SettingsError registry_failure(LONG code, const char* text) {
    return SettingsError(MRegistry::kRegistryFailure + static_cast<std::uint32_t>(code), text);
}

struct Refusal {
    LONG code;
    const char* text;
};

// Writes the value under one root; what the system refused, if anything.
std::optional<Refusal> write_under(HKEY root, REGSAM access, const std::wstring& path, const std::wstring& name,
                                   const std::wstring& text) {
    platform::unique_hkey hkey; // closed on every path, before any error leaves
    LONG result =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, hkey.put(), nullptr);
    if (result != ERROR_SUCCESS) return Refusal{result, "Could not open/create registry section"};
    result = platform::write_registry_string(hkey.get(), name, text);
    if (result != ERROR_SUCCESS) return Refusal{result, "Could not set key value"};
    return std::nullopt;
}

// Once the machine-wide value is written, it is the one in force: the user's
// own copy goes. Nothing to do when there is none.
void forget_user_copy(const std::wstring& path, const std::wstring& name) {
    platform::unique_hkey hkey;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, hkey.put()) == ERROR_SUCCESS)
        RegDeleteValueW(hkey.get(), name.c_str());
}

// The value under one root; nothing when the key path or the value is
// missing or its data cannot be fetched.
std::optional<MRegistry::StoredValue> read_under(HKEY root, const std::wstring& path, const std::wstring& name) {
    platform::unique_hkey hkey;
    const LONG result = RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, hkey.put());
    if (result == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (result != ERROR_SUCCESS) throw registry_failure(result, "Could not open registry section");

    std::optional<platform::RegistryValue> value = platform::read_registry_value(hkey.get(), name);
    if (!value) return std::nullopt;
    using Kind = MRegistry::StoredValue::Kind;
    MRegistry::StoredValue stored{Kind::Other, value->type};
    std::wstring& data = value->data;
    if (value->type == REG_SZ) {
        if (!data.empty() && data.back() == L'\0') data.pop_back(); // the text without its terminating NUL
        stored.kind = Kind::Text;
        stored.text = platform::to_ansi(data);
    } else if (value->type == REG_DWORD && data.size() * sizeof(wchar_t) >= sizeof(DWORD)) {
        stored.kind = Kind::Number;
        std::memcpy(&stored.number, data.data(), sizeof stored.number);
    }
    return stored;
}

// The text under one root, as GetString reads it: another type is an error.
std::optional<std::string> text_under(HKEY root, const std::wstring& path, const std::wstring& name) {
    std::optional<MRegistry::StoredValue> value = read_under(root, path, name);
    if (!value) return std::nullopt;
    if (value->kind != MRegistry::StoredValue::Kind::Text)
        throw SettingsError(MRegistry::kRegistryFailure + value->type, "Registry data not a string");
    return std::move(value->text);
}

} // namespace

std::string SettingsError::user_message() const {
    char number[16];
    std::snprintf(number, sizeof number, "0x%08X", static_cast<unsigned>(number_));
    return std::string("ERROR: ") + what() + " (error " + number + ")";
}

namespace MRegistry {

void SaveString(std::string application, std::string section, std::string key, std::string value) {
    const std::wstring path = key_path(application, section, key);
    const std::wstring name = platform::to_wide(key);
    const std::wstring text = platform::to_wide(value);
    const std::optional<Refusal> machine = write_under(HKEY_LOCAL_MACHINE, KEY_ALL_ACCESS, path, name, text);
    if (!machine) {
        forget_user_copy(path, name);
        return;
    }
    // A standard account, or an administrator without elevation, may not write
    // the machine-wide store: the value then goes to the user's own copy of the
    // key, which GetString reads first. Only when that fails too is the
    // machine-wide refusal raised.
    if (machine->code == ERROR_ACCESS_DENIED && !write_under(HKEY_CURRENT_USER, KEY_SET_VALUE, path, name, text))
        return;
    throw registry_failure(machine->code, machine->text);
}

std::string GetString(std::string application, std::string section, std::string key, std::string default_text) {
    const std::wstring path = key_path(application, section, key);
    const std::wstring name = platform::to_wide(key);
    if (std::optional<std::string> own = text_under(HKEY_CURRENT_USER, path, name)) return *own;
    return text_under(HKEY_LOCAL_MACHINE, path, name).value_or(default_text);
}

std::optional<StoredValue> GetStored(std::string application, std::string section, std::string key, Place place) {
    return read_under(place == Place::User ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE,
                      key_path(application, section, key), platform::to_wide(key));
}

} // namespace MRegistry
} // namespace qlk_access
