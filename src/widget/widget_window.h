#pragma once
// frmMain: the desktop widget shown once the entry password is accepted.
namespace widget {

void load_frmMain();

} // namespace widget
