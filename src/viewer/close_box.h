#pragma once
// Module2: greying a window's close box. The close box shows the state of the
// Close item of the window menu; giving that item an identifier that is no
// system command, and greying it, leaves the window without a working close box.
#include <windows.h>

#include <cstdint>

namespace viewer {

// The identifier the Close item carries while it is disabled.
inline constexpr UINT kDisabledCloseId = static_cast<UINT>(-10);

// 0 on success, and when the window menu holds no item to change;
// -1 when `window` is no window; -2 when the item's identifier could not be
// changed; -3 when its identifier changed but its state could not be set.
std::int16_t SetCloseBoxEnabled(HWND window, bool enabled);

} // namespace viewer
