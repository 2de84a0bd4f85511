#pragma once
// The per-user settings area where the classic forms run-time keeps program
// settings: HKCU\Software\VB and VBA Program Settings\<application>\<section>.
// Positions saved there by earlier versions are found again.
#include <string>

namespace platform {

// The stored text, or default_text when the value does not exist.
std::string get_setting(const std::string& application, const std::string& section, const std::string& key,
                        const std::string& default_text);
// Creates section and key as needed; returns false when the value could not be written.
bool save_setting(const std::string& application, const std::string& section, const std::string& key,
                  const std::string& text);

} // namespace platform
