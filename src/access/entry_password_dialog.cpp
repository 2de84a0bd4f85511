#include "access/entry_password_dialog.h"

#include "access/entry_password.h"
#include "access/print_view.h"
#include "access/run_state.h"
#include "access/settings_store.h"
#include "ui/window_registry.h"
#include "platform/data_folder_lock.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/instance.h"
#include "platform/window.h"
#include "platform/wipe.h"
#include "resource_ids.h"
#include "ui/message_box_reporter.h"
#include "vault/seal_ops.h"
#include "vault/storable.h"

#include <windows.h>

namespace qlk_access {
namespace {

const platform::InstanceGuard* g_guard = nullptr;
platform::DataFolderLock* g_folder_lock = nullptr;

// Label4 is wide enough for its sentence to take two lines in Tahoma.
constexpr platform::ControlPlace kLayout[] = {
    {IDC_PW_LABEL1, 8, 14, 100, 16},
    {IDC_PW_TXT1, 112, 11, 192, 21},
    {IDC_PW_CHECK1, 112, 37, 192, 17},
    {IDC_PW_LABEL3, 8, 60, 296, 26},
    {IDC_PW_LABEL4, 8, 88, 302, 26},
    {IDC_PW_COMMAND3, 8, 120, 160, 25},
    {IDCANCEL, 176, 120, 60, 25},
    {IDOK, 244, 120, 60, 25},
    // txt2 and its label lie below the client area: never seen, but reachable with Tab.
    {IDC_PW_LABEL2, 8, 166, 100, 16},
    {IDC_PW_TXT2, 112, 163, 192, 21},
};
constexpr char kUnstorableMessage[] =
    "New Entry Password Error:\r\nThe new entry password holds a character that cannot be stored (a letter with "
    "an accent, or one outside the system's code page) - the entry password was not changed. Please choose one "
    "without such characters.";
constexpr char kEmptyMessage[] =
    "New Entry Password Error:\r\nThe new entry password is empty - the entry password was not changed. Please type "
    "the new entry password in both boxes.";

constexpr int kClientWidth = 312;
constexpr int kClientHeight = 151;

void set_both_fields(HWND dialog, const std::string& text) {
    for (int id : {IDC_PW_TXT1, IDC_PW_TXT2}) {
        // A shorter text would leave the end of the one it replaces in the field's buffer.
        platform::wipe_control_text(GetDlgItem(dialog, id));
        platform::set_item_text(dialog, id, text);
    }
}

void set_mask(HWND dialog, wchar_t mask) {
    for (int id : {IDC_PW_TXT1, IDC_PW_TXT2}) {
        HWND field = GetDlgItem(dialog, id);
        SendMessageW(field, EM_SETPASSWORDCHAR, mask, 0);
        InvalidateRect(field, nullptr, TRUE);
    }
}

std::string folder_held_message() {
    return "ERROR: Quillock is already running in another session or on another computer....\r\nThat copy holds " +
           data_folder_path() + ", where your passwords are kept. Close Quillock there, then start it here again.";
}

// Returns false when the program must end: another copy is running, in this
// session or on the data folder.
bool on_load(HWND dialog) {
    if (g_guard && g_guard->another_is_running()) {
        platform::show_message("ERROR: Quillock is already running....");
        return false;
    }
    run_state().computer_name = platform::computer_name();
    set_drive_letter_from_program_folder();
    ensure_data_folder();
    // Before anything in the folder is touched: a save of the other run may
    // be under way there, and its print list open.
    if (g_folder_lock && g_folder_lock->take(data_folder_path()) == platform::DataFolderLock::Hold::HeldElsewhere) {
        run_state().drive_known = false; // what lies in the folder is the other run's, its print file included
        platform::show_message(folder_held_message());
        return false;
    }
    // An earlier run's list, wherever it went: one that another program
    // still keeps in plain text is the user's to know of.
    tell_print_files_left(wipe_print_files());
    try {
        run_state().entry_password = read_entry_password();
    } catch (const SettingsError&) {
        run_state().entry_password = kDefaultEntryPassword; // an unreadable store leaves the default in force
    }

    set_mask(dialog, platform::kPasswordMask);
    platform::place_controls(dialog, kLayout);
    platform::set_client_size(dialog, kClientWidth, kClientHeight);
    platform::center_on_screen(dialog);
    platform::add_tooltip(dialog, IDC_PW_COMMAND3, "Change the Entry Password...");
    platform::add_tooltip(dialog, IDCANCEL, "Cancel action - unload me...");
    platform::add_tooltip(dialog, IDOK, "Entry to the 'Tallybox' software...");
    return true;
}

void on_entry_check(HWND dialog) {
    platform::AnsiText typed = platform::item_text_checked(dialog, IDC_PW_TXT1);
    const platform::WipeAtExit wipe_typed(typed.bytes);
    if (!is_entry_password(typed)) {
        platform::show_message("Entry Password Error:\r\nThe entry password is wrong.");
        set_both_fields(dialog, "");
        SetFocus(GetDlgItem(dialog, IDC_PW_TXT1));
        return;
    }
    set_drive_letter_from_program_folder();
    ensure_vault_file();
    // The drive went while a box of the check was up: the run has ended.
    if (!IsWindow(dialog)) return;
    settle_vault_seal();
    if (!IsWindow(dialog)) return;
    DestroyWindow(dialog);
    ui::show_window(ui::Window::Widget);
}

void on_change_password(HWND dialog) {
    if (!ask_for_entry_password("Please enter your CURRENT entry password", "Current Entry Password...")) {
        platform::show_message("Entry Password Error:\r\nThe entry password is not entered the same that has been "
                               "previously registered - action concelled!");
        return;
    }
    // Cancel on either new-password box ends the change: nothing is stored and
    // the current password stays.
    auto first = platform::input_box_checked(
        {.prompt = "Please enter your new entry password", .title = "New Entry Password...", .masked = true});
    if (!first) return;
    const platform::WipeAtExit wipe_first(first->bytes);
    auto second = platform::input_box_checked({.prompt = "Please enter your new entry password AGAIN",
                                               .title = "New Entry Password AGAIN to confirm...",
                                               .masked = true});
    if (!second) return;
    const platform::WipeAtExit wipe_second(second->bytes);
    if (first->bytes != second->bytes) {
        platform::show_message("New Entry Password Error:\r\nThe entry password is not entered the same within the 2 "
                               "'New Entry Password' input screens - please try again.");
        return;
    }
    // The store keeps no empty password: it reads an empty value as the
    // default, so the gate and the next start would want "marigold".
    if (second->bytes.empty()) {
        platform::show_message(kEmptyMessage);
        return;
    }
    // Such a password would come back from the store as other text (an accented
    // letter as a plain one, a character the code page lacks as '?'): the user
    // would be locked out, or any look-alike would enter.
    if (!vault::is_storable(second->bytes, !first->exact || !second->exact)) {
        platform::show_message(kUnstorableMessage);
        return;
    }
    // A sealed vault and its backup first open under both passwords, then the
    // stored one changes, then the old one's wrapping goes: a stop anywhere
    // leaves a vault that the stored password opens. A save stopped earlier
    // is finished first, so that its work file is never taken for a leftover.
    ensure_vault_file();
    ui::MessageBoxReporter reporter;
    vault::VaultContext context = vault_context(reporter);
    if (!vault::wrap_for_new_password(context, second->bytes)) return;
    // Store first: a password that could not be stored must not be announced or put in force.
    try {
        store_entry_password(second->bytes);
    } catch (const SettingsError& error) {
        platform::show_message(error.user_message());
        return;
    }
    run_state().entry_password = second->bytes;
    context.seal.password = second->bytes;
    vault::settle_seal(context);
    set_both_fields(dialog, second->bytes);
    platform::show_message("The entry password has been reset - PLEASE REMEMBER IT!");
}

INT_PTR CALLBACK frmPassword_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ui::track_window(ui::Window::Password, dialog);
        // The fields' own buffers hold the entry password: written over before they go.
        for (int id : {IDC_PW_TXT1, IDC_PW_TXT2}) platform::wipe_edit_when_destroyed(GetDlgItem(dialog, id));
        if (!on_load(dialog)) DestroyWindow(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: on_entry_check(dialog); return TRUE;
        case IDCANCEL: DestroyWindow(dialog); return TRUE; // the only window: the run ends
        case IDC_PW_COMMAND3: on_change_password(dialog); return TRUE;
        case IDC_PW_CHECK1:
            if (HIWORD(wparam) == BN_CLICKED) {
                const bool show = IsDlgButtonChecked(dialog, IDC_PW_CHECK1) == BST_CHECKED;
                set_mask(dialog, show ? 0 : platform::kPasswordMask);
            }
            return TRUE;
        }
        break;
    case WM_NCDESTROY: ui::untrack_window(ui::Window::Password); break;
    }
    return FALSE;
}

} // namespace

void set_instance_guard(const platform::InstanceGuard* guard) { g_guard = guard; }
void set_data_folder_lock(platform::DataFolderLock* lock) { g_folder_lock = lock; }

void load_frmPassword() {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRMPASSWORD), nullptr, frmPassword_proc, 0);
}

} // namespace qlk_access
