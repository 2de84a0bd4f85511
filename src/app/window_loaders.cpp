#include "app/window_loaders.h"

#include "access/entry_password_dialog.h"
#include "access/startup_window.h"
#include "addentry/add_entry_dialog.h"
#include "ui/window_registry.h"
#include "viewer/viewer_window.h"
#include "widget/about_window.h"
#include "widget/menu_host.h"
#include "widget/widget_window.h"

namespace app {
namespace {

void load_window_of_kind(ui::Window window) {
    switch (window) {
    case ui::Window::Password: qlk_access::load_frmPassword(); break;
    case ui::Window::Widget: widget::load_frmMain(); break;
    case ui::Window::AddEntry: addentry::load_Form3(); break;
    case ui::Window::Viewer: viewer::load_Form2(); break;
    case ui::Window::Startup: qlk_access::load_frmAbout(); break;
    case ui::Window::About: widget::load_frnAbout(); break;
    case ui::Window::MenuHost: widget::load_Menu(); break;
    }
}

} // namespace

void install_window_loaders() { ui::set_window_loader(&load_window_of_kind); }

} // namespace app
