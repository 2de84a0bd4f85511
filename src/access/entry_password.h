#pragma once
// The entry password: the stored, scrambled value and its default.
#include "platform/text.h"

#include <string>

namespace qlk_access {

inline constexpr char kDefaultEntryPassword[] = "marigold";

// Reads "QLK"/"Config"/"ID" and unscrambles it; the default when empty.
// Throws SettingsError when the store cannot be read.
std::string read_entry_password();
// Stores the scrambled password. Throws SettingsError when it cannot be written.
void store_entry_password(const std::string& plain);

// True when `typed` is the run's entry password, character by character: a
// character with no form in the code page never matches (its best-fit
// stand-in, '?' or a plain letter, would let a look-alike in).
bool is_entry_password(const platform::AnsiText& typed);

// Asks for the entry password in a masked input box; true when the answer is
// the run's entry password (Cancel answers the empty text).
bool ask_for_entry_password(const char* prompt, const char* title);

// The entry password typed for the viewer: asks for it and compares exactly.
// Reports a wrong answer or a settings failure itself; true when the viewer may open.
bool ask_viewer_password();

// "View Passwords": the viewer gate, then load and show the viewer.
void run_viewer_gate();

} // namespace qlk_access
