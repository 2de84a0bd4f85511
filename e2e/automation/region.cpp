// A window's region as the window system holds it, in window coordinates: one
// "rect" line per rectangle, top to bottom; none and exit code 1 when the window
// has no region.
#include "automation.h"

#include <vector>

namespace qlk_auto {

int cmd_region(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, region);
    if (kind == ERROR) {
        DeleteObject(region);
        return fail(kNotFound, "the window has no region");
    }
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (size == 0 || GetRegionData(region, size, data) != size) {
        DeleteObject(region);
        return fail(kFailed, "cannot read the region");
    }
    DeleteObject(region);
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) write_line("rect " + rect_fields(rects[i]));
    return kOk;
}

} // namespace qlk_auto
