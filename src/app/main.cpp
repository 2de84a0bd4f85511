// Quillock: a single-user password store that lives in a small desktop widget.
#include "access/entry_password_dialog.h"
#include "app/window_loaders.h"
#include "platform/instance.h"
#include "ui/window_registry.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    const platform::InstanceGuard guard;
    qlk_access::set_instance_guard(&guard);
    app::install_window_loaders();
    ui::show_window(ui::Window::Password);

    MSG message;
    while (ui::any_window() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (ui::translate_for_windows(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
