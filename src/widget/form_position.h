#pragma once
// The widget's position in the per-user settings area: application "QLK",
// section "FormPosInfo", keys "frmMain.X" and "frmMain.Y", whole twips as
// decimal text.
#include <windows.h>

#include <string>

namespace widget {

// Stores left and top. The key names are fixed: the form name, width and
// height are taken and not stored. A failed write is not reported and never
// stops the caller.
void SaveFormPosToRegistry(const std::string& form_name, long left, long top, long width, long height);

// Left, top, width and height of a window in whole twips at the screen's DPI.
struct TwipsPlace {
    long left, top, width, height;
};
TwipsPlace window_twips(HWND window);

// Saves the window's place as frmMain's.
void save_widget_position(HWND widget);

// Moves the widget to the stored position, or by default to the middle of the
// screen; a position that no monitor shows is moved onto the nearest one.
void restore_widget_position(HWND widget);

} // namespace widget
