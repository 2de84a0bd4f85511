#pragma once
// The colours the windows draw their texts in. While the system's high
// contrast is on, every window takes the system's own pairs and the
// program's fixed or saved colours step aside (nothing saved changes); they
// come back when it goes off. The windows ask at each paint, and redraw on
// WM_SYSCOLORCHANGE and WM_SETTINGCHANGE.
#include <windows.h>

namespace platform {

bool high_contrast_on();

// Where high_contrast_on() takes its answer from: the system, unless a test
// puts a source of its own in (nullptr puts the system back), as the clock's
// input source is put in.
using HighContrastSource = bool (*)();
void set_high_contrast_source(HighContrastSource source);

// The contrast ratio of two colours, 1 (the same) to 21 (black on white),
// from their relative luminance in sRGB. Text wants 4.5 against its background.
double contrast_ratio(COLORREF a, COLORREF b);
inline constexpr double kReadableContrast = 4.5;

// For a WM_CTLCOLOR* answer: the system's pair (text colour index, background
// colour index) set on `dc`, and the background's brush, which the system owns.
HBRUSH use_system_pair(HDC dc, int text_index, int back_index);

// For a window's WM_SYSCOLORCHANGE or WM_SETTINGCHANGE: whether the message
// may change the colours it draws in.
bool colours_may_have_changed(UINT message, WPARAM wparam);
// Redraws the window and every control in it, backgrounds included.
void redraw_all(HWND window);

} // namespace platform
