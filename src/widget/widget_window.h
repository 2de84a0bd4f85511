#pragma once
// frmMain: the desktop widget shown once the entry password is accepted. A
// borderless window cut to the shape of its skin: any button drags it, a right
// press or a double click pops up the widget menu, Escape ends the program.
namespace widget {

void load_frmMain();

} // namespace widget
