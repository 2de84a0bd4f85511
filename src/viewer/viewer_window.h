#pragma once
// Form2, the password viewer: lists every record of the vault, with the
// commands that copy, open, print and change them.
namespace viewer {

// Creates the viewer (hidden) and runs its load sequence. A vault that is
// missing, empty or stamped on another computer closes it again before it is
// ever shown; ui::show_window then shows an accepted one.
void load_Form2();

} // namespace viewer
