#include "viewer/close_box.h"

namespace viewer {

std::int16_t SetCloseBoxEnabled(HWND window, bool enabled) {
    if (!IsWindow(window)) return -1;
    HMENU menu = GetSystemMenu(window, FALSE);

    wchar_t type_data[81] = {}; // 80 NUL characters and the terminator
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    info.dwTypeData = type_data;
    info.cch = 80;

    // Looked up by command, not by position: the item may sit anywhere.
    const UINT current_id = enabled ? kDisabledCloseId : SC_CLOSE;
    if (!GetMenuItemInfoW(menu, current_id, FALSE, &info)) return 0;

    const UINT new_id = enabled ? SC_CLOSE : kDisabledCloseId;
    info.fMask = MIIM_ID;
    info.wID = new_id;
    if (!SetMenuItemInfoW(menu, current_id, FALSE, &info)) return -2;

    constexpr UINT kGreyedAndDisabled = 3;
    info.fMask = MIIM_STATE;
    info.fState = enabled ? (info.fState & ~kGreyedAndDisabled) : (info.fState | kGreyedAndDisabled);
    if (!SetMenuItemInfoW(menu, new_id, FALSE, &info)) return -3;

    // Redraw the frame, and the close box with it.
    SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    return 0;
}

} // namespace viewer
