#include "widget/form_position.h"

#include "platform/registry.h"
#include "platform/window.h"
#include "widget/position_units.h"

namespace widget {
namespace {

constexpr char kApplication[] = "QLK";
constexpr char kSection[] = "FormPosInfo";
constexpr char kKeyX[] = "frmMain.X";
constexpr char kKeyY[] = "frmMain.Y";

// A place that no monitor shows any more (a monitor unplugged, the resolution
// lowered) goes onto the work area of the nearest monitor.
RECT onto_a_monitor(RECT place) {
    if (MonitorFromRect(&place, MONITOR_DEFAULTTONULL)) return place;
    MONITORINFO monitor{sizeof monitor};
    if (!GetMonitorInfoW(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST), &monitor)) return place;
    const RECT& work = monitor.rcWork;
    const Box moved =
        move_inside({place.left, place.top, place.right, place.bottom}, {work.left, work.top, work.right, work.bottom});
    return {moved.left, moved.top, moved.right, moved.bottom};
}

} // namespace

void SaveFormPosToRegistry(const std::string&, long left, long top, long, long) {
    platform::save_setting(kApplication, kSection, kKeyX, std::to_string(left));
    platform::save_setting(kApplication, kSection, kKeyY, std::to_string(top));
}

TwipsPlace window_twips(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int dpi = platform::screen_dpi();
    return {twips_from_pixels(rect.left, dpi), twips_from_pixels(rect.top, dpi),
            twips_from_pixels(rect.right - rect.left, dpi), twips_from_pixels(rect.bottom - rect.top, dpi)};
}

void save_widget_position(HWND widget) {
    const TwipsPlace place = window_twips(widget);
    SaveFormPosToRegistry("frmMain", place.left, place.top, place.width, place.height);
}

void restore_widget_position(HWND widget) {
    const int dpi = platform::screen_dpi();
    // The middle of the primary screen: left with half its width, top with half its height.
    const long default_x = twips_from_pixels(GetSystemMetrics(SM_CXSCREEN) / 2, dpi);
    const long default_y = twips_from_pixels(GetSystemMetrics(SM_CYSCREEN) / 2, dpi);
    const std::string x = platform::get_setting(kApplication, kSection, kKeyX, std::to_string(default_x));
    const std::string y = platform::get_setting(kApplication, kSection, kKeyY, std::to_string(default_y));

    RECT rect{};
    GetWindowRect(widget, &rect);
    const int left = pixels_from_twips(leading_number(x), dpi);
    const int top = pixels_from_twips(leading_number(y), dpi);
    const RECT place = onto_a_monitor({left, top, left + rect.right - rect.left, top + rect.bottom - rect.top});
    SetWindowPos(widget, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace widget
