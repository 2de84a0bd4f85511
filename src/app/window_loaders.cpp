#include "app/window_loaders.h"

#include "access/entry_password_dialog.h"
#include "widget/widget_window.h"

namespace app {

void load_window_of_kind(Window window) {
    switch (window) {
    case Window::Password: access::load_frmPassword(); break;
    case Window::Widget: widget::load_frmMain(); break;
    case Window::Viewer:
    case Window::AddEntry:
    case Window::Startup:
    case Window::About:
    case Window::MenuHost: break; // not built yet
    }
}

} // namespace app
