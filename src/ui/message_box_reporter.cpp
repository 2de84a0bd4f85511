#include "ui/message_box_reporter.h"

#include "ui/window_registry.h"
#include "platform/dialogs.h"

#include <windows.h>

#include <string>

namespace ui {

void MessageBoxReporter::show_message(std::string_view text) { platform::show_message(std::string(text)); }

bool MessageBoxReporter::pump_events() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam)); // leave it for the main loop
            return true;
        }
        if (ui::translate_for_windows(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

} // namespace ui
