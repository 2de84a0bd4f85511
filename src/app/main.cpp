// Quillock: a single-user password store that lives in a small desktop widget.
#include "access/entry_password_dialog.h"
#include "app/window_loaders.h"
#include "platform/data_folder_lock.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/shell.h"
#include "platform/wipe.h"
#include "ui/window_registry.h"
#include "widget/drive_watch.h"
#include "widget/menu_host.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // The DLL search is restricted to System32 already (dll_search.cpp).
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    const platform::ShellApartment com; // before the first web address goes to the shell

    // The current directory is locked while the process runs: left on the
    // stick the program was started from, it would keep Windows from ejecting
    // the stick. Every file the program opens is named by its full path.
    if (const std::wstring system = platform::system_folder_wide(); !system.empty())
        SetCurrentDirectoryW(system.c_str()); // on failure it stays where it was

    const platform::InstanceGuard guard;
    qlk_access::set_instance_guard(&guard);
    // Released after the traces below are gone, as the process ends.
    platform::DataFolderLock folder_lock;
    qlk_access::set_data_folder_lock(&folder_lock);
    widget::set_folder_lock(&folder_lock);
    app::install_window_loaders();
    widget::start_drive_watch(); // a stick pulled while the entry dialog is up ends the run too
    ui::show_window(ui::Window::Password);

    MSG message;
    while (ui::any_window() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!ui::translate_for_windows(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        platform::wipe_stack_below(); // what the handlers left there may be a password
    }
    // The last window has gone, whichever way (the exit sequence, the system
    // close of the widget, Cancel). A second copy ends here too: what lies in
    // the data folder and on the clipboard belongs to the first (a run that
    // found the folder held never made the folder its own).
    if (!guard.another_is_running()) widget::remove_traces();
    return 0;
}
