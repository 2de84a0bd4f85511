// A window's region as the window system holds it, in window coordinates.
#include "automation.h"

#include <vector>

namespace qlk_auto {

int cmd_region(HWND window) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    const int kind = GetWindowRgn(window, region);
    if (kind == ERROR) {
        DeleteObject(region);
        write_line("region none");
        return kOk;
    }
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<char> buffer(size);
    auto *data = reinterpret_cast<RGNDATA *>(buffer.data());
    if (size == 0 || GetRegionData(region, size, data) != size) {
        DeleteObject(region);
        return fail(kFailed, "cannot read the region");
    }
    DeleteObject(region);
    const auto *rects = reinterpret_cast<const RECT *>(data->Buffer);
    write_line("region " + std::to_string(data->rdh.nCount));
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const RECT &r = rects[i];
        write_line("rect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
                   " " + std::to_string(r.bottom));
    }
    return kOk;
}

} // namespace qlk_auto
