#pragma once
// MRegistry: the program's string settings in the machine-wide registry,
// HKLM\SOFTWARE\<application>\<section>, one REG_SZ value per key. Where
// the user may not write there, the value goes to the user's own copy of the
// same key, HKCU\SOFTWARE\<application>\<section>, which is read first.
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

namespace qlk_access {

// A failure of the settings store, with the number and text the program shows.
class SettingsError : public std::runtime_error {
public:
    SettingsError(std::uint32_t number, const std::string& text) : std::runtime_error(text), number_(number) {}
    std::uint32_t number() const { return number_; }
    // "ERROR: <text> (error 0x800407D5)", as the user sees it.
    std::string user_message() const;

private:
    std::uint32_t number_;
};

namespace MRegistry {

constexpr std::uint32_t kAppNameEmpty = 0x800403E8;
constexpr std::uint32_t kSectionEmpty = 0x800403E9;
constexpr std::uint32_t kKeyEmpty = 0x800403EA;
constexpr std::uint32_t kRegistryFailure = 0x800407D0; // plus the system error or type code

// Throws SettingsError when neither place takes the value; it is not written then.
void SaveString(std::string application, std::string section, std::string key, std::string value);
// The stored text, or default_text when the key path or the value is missing. Throws SettingsError.
std::string GetString(std::string application, std::string section, std::string key, std::string default_text = {});

// A value as one place stores it, for a setting kept as text or as a number
// (REG_DWORD, which a registry editor offers first).
struct StoredValue {
    enum class Kind { Text, Number, Other } kind;
    std::uint32_t type;       // the registry's type code
    std::string text;         // Text
    std::uint32_t number = 0; // Number
};
enum class Place { User, Machine }; // HKCU's own copy, HKLM's machine-wide value
// The value under one place; nothing when the key path or the value is
// missing. Throws SettingsError for an empty name or a key that cannot be opened.
std::optional<StoredValue> GetStored(std::string application, std::string section, std::string key, Place place);

} // namespace MRegistry
} // namespace qlk_access
