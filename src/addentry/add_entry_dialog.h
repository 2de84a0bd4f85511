#pragma once
// Form3: the modeless dialog in which the user types one new record. Its OK
// appends the record to the vault; its generate button fills both password
// fields with a secure password.
namespace addentry {

// Creates the dialog hidden and runs its set-up; the window registry shows it.
void load_Form3();

// The mini help's text, as the "?" button shows it.
extern const char kMiniHelpText[];

} // namespace addentry
