#pragma once
// The program's two modal boxes: a message with one OK button under the title
// "Quillock", and an input box that returns the typed text ("" on Cancel).
#include "platform/text.h"

#include <string>

namespace platform {

void show_message(const std::string& text);

struct InputArgs {
    std::string prompt;
    std::string title;
    std::string default_text;
};
std::string input_box(const InputArgs& args);
// The same, telling also whether every typed character fits the code page.
AnsiText input_box_checked(const InputArgs& args);

} // namespace platform
