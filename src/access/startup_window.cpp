#include "access/startup_window.h"

#include "access/run_at_startup.h"
#include "ui/window_registry.h"
#include "platform/files.h"
#include "platform/window.h"
#include "resource_ids.h"

#include <windows.h>

namespace qlk_access {
namespace {

constexpr platform::ControlPlace kLayout[] = {{IDC_STARTUP_CHKRUN, 8, 6, 145, 39}};
constexpr int kClientWidth = 159;
constexpr int kClientHeight = 51;

// True while the window loads: setting the check box then is not the user's click.
bool g_loading = false;

void on_load(HWND dialog) {
    g_loading = true;
    platform::place_controls(dialog, kLayout);
    platform::set_client_size(dialog, kClientWidth, kClientHeight);
    platform::center_on_screen(dialog);
    CheckDlgButton(dialog, IDC_STARTUP_CHKRUN,
                   WillRunAtStartup(platform::program_exe_name_wide()) ? BST_CHECKED : BST_UNCHECKED);
    g_loading = false;
}

void on_chkRun_click(HWND dialog) {
    if (g_loading) return;
    SetRunAtStartup(platform::program_exe_name_wide(), platform::program_folder_wide(),
                    IsDlgButtonChecked(dialog, IDC_STARTUP_CHKRUN) == BST_CHECKED);
}

INT_PTR CALLBACK frmAbout_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ui::track_window(ui::Window::Startup, dialog);
        on_load(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_STARTUP_CHKRUN:
            if (HIWORD(wparam) == BN_CLICKED) on_chkRun_click(dialog);
            return TRUE;
        case IDCANCEL: DestroyWindow(dialog); return TRUE;
        }
        break;
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_NCDESTROY: ui::untrack_window(ui::Window::Startup); break;
    }
    return FALSE;
}

} // namespace

void load_frmAbout() {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRMABOUT), nullptr, frmAbout_proc, 0);
}

} // namespace qlk_access
