#include "app/window_loaders.h"

#include "access/entry_password_dialog.h"
#include "access/startup_window.h"
#include "addentry/add_entry_dialog.h"
#include "viewer/viewer_window.h"
#include "widget/about_window.h"
#include "widget/menu_host.h"
#include "widget/widget_window.h"

namespace app {

void load_window_of_kind(Window window) {
    switch (window) {
    case Window::Password: qlk_access::load_frmPassword(); break;
    case Window::Widget: widget::load_frmMain(); break;
    case Window::AddEntry: addentry::load_Form3(); break;
    case Window::Viewer: viewer::load_Form2(); break;
    case Window::Startup: qlk_access::load_frmAbout(); break;
    case Window::About: widget::load_frnAbout(); break;
    case Window::MenuHost: widget::load_Menu(); break;
    }
}

} // namespace app
