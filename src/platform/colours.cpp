#include "platform/colours.h"

#include <algorithm>
#include <atomic>
#include <cmath>

namespace platform {
namespace {

std::atomic<HighContrastSource> g_high_contrast_source{nullptr};

double linear(unsigned channel) {
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(COLORREF colour) {
    return 0.2126 * linear(GetRValue(colour)) + 0.7152 * linear(GetGValue(colour)) + 0.0722 * linear(GetBValue(colour));
}

} // namespace

bool high_contrast_on() {
    if (const HighContrastSource source = g_high_contrast_source) return source();
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    // No answer: the program's own colours, as on a system without the feature.
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0)) return false;
    return (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void set_high_contrast_source(HighContrastSource source) { g_high_contrast_source = source; }

double contrast_ratio(COLORREF a, COLORREF b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

HBRUSH use_system_pair(HDC dc, int text_index, int back_index) {
    SetTextColor(dc, GetSysColor(text_index));
    SetBkColor(dc, GetSysColor(back_index));
    return GetSysColorBrush(back_index);
}

bool colours_may_have_changed(UINT message, WPARAM wparam) {
    // WM_SETTINGCHANGE names what changed in wparam: high contrast comes as
    // SPI_SETHIGHCONTRAST, a new scheme of colours as WM_SYSCOLORCHANGE.
    return message == WM_SYSCOLORCHANGE || (message == WM_SETTINGCHANGE && wparam == SPI_SETHIGHCONTRAST);
}

void redraw_all(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

} // namespace platform
