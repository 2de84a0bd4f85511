// The commands that use the records without changing them: copy to the
// clipboard, open a URL, print, the display toggle and the mini help.
#include "access/print_view.h"
#include "access/run_state.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "platform/web_address.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "platform/wipe.h"
#include "vault/file_system.h"
#include "viewer/form2.h"

#include <optional>

namespace viewer {
namespace {

constexpr char kDecryptCaption[] = "Decrypt Password View";
constexpr char kEncryptCaption[] = "Encrypt Password View";

// A value of the selected row (an index into the rows, whatever their
// order), or nothing when no row is selected.
std::optional<std::string> selected_value(Form2& form, vault::Field field) {
    sync_selection(form);
    if (!form.rows.selected) return std::nullopt;
    return form.rows.rows.value(*form.rows.selected, field);
}

// A copied password or user name leaves the clipboard this long after the copy.
constexpr UINT kCopyLifetimeMs = 30'000;

void copy_text(Form2& form, const std::string& text) {
    switch (platform::set_clipboard_text(form.window, text)) {
    case platform::Copy::Made:
        if (platform::clear_clipboard_later(kCopyLifetimeMs)) return;
        // Nothing would take the copy away again: it is not left there.
        platform::clear_clipboard_if_ours(form.window);
        platform::show_message("ERROR: the clipboard could not be set to clear itself.\r\nNothing was copied.");
        return;
    case platform::Copy::ClipboardBusy:
        platform::show_message("ERROR: the clipboard is in use by another program.\r\n"
                               "Nothing was copied; please try again in a moment.");
        return;
    case platform::Copy::NotKeptFromHistory:
        platform::show_message("ERROR: the copy could not be kept out of the clipboard history.\r\n"
                               "Nothing was copied.");
        return;
    }
}

} // namespace

void copy_password(Form2& form) {
    // With no row selected (the last one was deleted) there is nothing to copy.
    if (const auto password = selected_value(form, vault::Field::Password)) copy_text(form, *password);
}

void copy_user_name(Form2& form) {
    if (const auto user = selected_value(form, vault::Field::User)) copy_text(form, *user);
}

void activate_url(Form2& form) {
    const auto url = selected_value(form, vault::Field::Url);
    if (!url) return;
    if (!platform::absolute_web_address(*url)) { // also a URL with a control character in it
        platform::show_message("ERROR: To activate an URL into your brower - the name must start with 'www.', "
                               "'http://' or 'https://'");
        return;
    }
    platform::open_web_address(*url); // a failure is reported there
}

void print_list(Form2& form) {
    platform::show_message("This function will create a temp text file that can be saved and/ or printed.\r\n\r\n"
                           "The file will be deleted, at exit of this software, UNLESS you elect to 'Save As' a "
                           "different file.");
    if (!form.window) return; // the viewer was closed while the message was up

    const std::string path = qlk_access::print_file_path();
    qlk_access::ensure_print_folder();
    put_rows_in_list_order(form);
    std::string text = print_text(form.rows.rows); // every password, plain
    // An older list is wiped first: writing over it would free its clusters
    // unwritten, so one that cannot be wiped (held by another program) is left
    // for the next occasion. Then through the vault's file layer, which a
    // scanner's hold for a moment does not stop.
    const bool written =
        platform::wipe_and_delete_file(path) == platform::Wiped::Gone && vault::disk_files().write_durable(path, text);
    platform::wipe(text);
    if (!written) {
        platform::show_message("ERROR: the print file could not be written.\r\n" + path +
                               " may be read-only or in use by another program; the list was not printed.");
        return;
    }
    if (!qlk_access::open_print_view()) {
        platform::show_message("ERROR: Notepad could not be started.\r\nThe list was written to " + path +
                               "; open it from there to print it.");
        return;
    }
    close_viewer(form);
}

namespace {

// The toggle reads the user's choice from the button's caption: after a
// saved password change the column is scrambled while the caption still
// offers to scramble it.
bool caption_offers_plain_view(const Form2& form) {
    return platform::item_text(form.window, IDC_VW_COMMAND3) == kDecryptCaption;
}

} // namespace

void toggle_display(Form2& form) {
    const bool plain = caption_offers_plain_view(form);
    form.plain_passwords = plain;
    InvalidateRect(form.list, nullptr, TRUE);
    platform::set_item_text(form.window, IDC_VW_COMMAND3, plain ? kEncryptCaption : kDecryptCaption);
}

void mini_help() {
    platform::show_message("Mini Help\r\n\r\n"
                           "This 'toggle' button/ function will decrypt or encrypt the view of your password(s) "
                           "text.\r\n"
                           "Use to keep decrypted passwords out of the view of others (via a click)!");
}

} // namespace viewer
