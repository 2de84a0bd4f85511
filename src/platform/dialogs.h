#pragma once
// The program's two modal boxes: a message with one OK button under the title
// "Quillock", and an input box that returns the typed text ("" on Cancel).
#include "platform/text.h"

#include <windows.h>

#include <optional>
#include <string>

namespace platform {

void show_message(const std::string& text);

// The character that stands for each typed character of a password.
inline constexpr wchar_t kPasswordMask = L'*';

struct InputArgs {
    std::string prompt;
    std::string title;
    std::string default_text;
    bool masked = false; // a password: what is typed shows as kPasswordMask
};
std::string input_box(const InputArgs& args);
// The same, telling also whether every typed character fits the code page;
// nothing when the user cancelled.
std::optional<AnsiText> input_box_checked(const InputArgs& args);

// Ends every modal box of the calling thread that `owner` owns, directly or
// through another box (a message box, an input box, the colour dialog), as
// the user's Cancel does: the box's own Cancel handling runs, and the call
// that showed it returns as cancelled once its loop runs again.
void cancel_boxes_owned_by(HWND owner);

} // namespace platform
