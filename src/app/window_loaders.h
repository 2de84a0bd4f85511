#pragma once
// The table from window names to the forms that load them: the one place that
// knows every form of the program.
namespace app {

// Makes the window registry load each window through its form.
void install_window_loaders();

} // namespace app
