#pragma once
#include "app/window_registry.h"

namespace app {

// Creates the window of that kind and runs its load handling. The window
// tracks itself while it exists; a load that fails closes it again.
void load_window_of_kind(Window window);

} // namespace app
