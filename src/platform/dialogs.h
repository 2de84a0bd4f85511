#pragma once
// The program's two modal boxes: a message with one OK button under the title
// "Quillock", and an input box that returns the typed text ("" on Cancel).
#include "platform/text.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

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

// The modal boxes (a message box, an input box, the colour dialog) of
// `owner`'s thread that `owner` owns, directly or through another box, the
// topmost first; hidden ones too, as a box whose loop has not yet gone idle
// has not been shown. Any thread may ask.
std::vector<HWND> boxes_owned_by(HWND owner);

// Ends each of them as the user's Cancel does: the box's own Cancel handling
// runs, and the call that showed it returns as cancelled once its loop runs
// again. For `owner`'s own thread.
void cancel_boxes_owned_by(HWND owner);
// The end of a run nobody asked for (the program's drive has gone): every
// box of the calling thread (its dialog-class windows but the program's own
// `forms`) ends as cancelled, whatever owns it, and no box comes up any more.
// What would follow from a cancelled box (a refusal, the next question) would
// have no window of the program left to own it and would keep the run alive
// until someone answered it: show_message shows nothing from now on and the
// input boxes answer as cancelled at once.
void end_boxes_for_the_run(const std::vector<HWND>& forms);
// Lets boxes come up again: for a run that begins anew.
void allow_boxes();

} // namespace platform
