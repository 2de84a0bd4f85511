#pragma once
// frmAbout, "Set activation...": one check box that mirrors, and changes,
// the program's registration in the current user's Run key.
namespace qlk_access {

void load_frmAbout();

} // namespace qlk_access
