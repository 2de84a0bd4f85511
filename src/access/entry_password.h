#pragma once
// The entry password: the stored, scrambled value and its default.
#include <string>

namespace qlk_access {

inline constexpr char kDefaultEntryPassword[] = "marigold";

// Reads "QLK"/"Config"/"ID" and unscrambles it; the default when empty.
// Throws SettingsError when the store cannot be read.
std::string read_entry_password();
// Stores the scrambled password. Throws SettingsError when it cannot be written.
void store_entry_password(const std::string& plain);

// The entry password typed for the viewer: asks for it and compares exactly.
// Reports a wrong answer or a settings failure itself; true when the viewer may open.
bool ask_viewer_password();

// "View Passwords": the viewer gate, then load and show the viewer.
void run_viewer_gate();

} // namespace qlk_access
