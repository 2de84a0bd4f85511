#include "addentry/add_entry_dialog.h"

#include "access/run_state.h"
#include "ui/message_box_reporter.h"
#include "addentry/password_generator.h"
#include "ui/window_registry.h"
#include "platform/accessible.h"
#include "platform/colours.h"
#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/text.h"
#include "platform/window.h"
#include "platform/wipe.h"
#include "resource_ids.h"
#include "vault/record_ops.h"
#include "vault/storable.h"

#include <windows.h>

#include <array>
#include <optional>

namespace addentry {

const char kMiniHelpText[] =
    "Mini Help\r\n\r\n"
    "This function will randomly generate what is considered a secure password then insert into the password text "
    "fields.\r\n"
    "What is commonly considered a secure password is a combo of upper and lower case chars, numbers and a lenght "
    "of at least 8 chars.";

namespace {

// Pixels at 96 dpi. The fields stand one under the other, each with its label
// above it; the error labels stand to their right, the buttons along the bottom.
constexpr platform::ControlPlace kLayout[] = {
    {IDC_AE_FRAME1, 6, 4, 346, 262},        {IDC_AE_LABEL5, 18, 22, 186, 14},     {IDC_AE_TXTID, 18, 37, 186, 21},
    {IDC_AE_LABEL1, 18, 63, 186, 14},       {IDC_AE_TXTURL, 18, 78, 186, 21},     {IDC_AE_LABEL2, 18, 104, 186, 14},
    {IDC_AE_TXTUSERNAME, 18, 119, 186, 21}, {IDC_AE_LABEL3, 18, 145, 186, 14},    {IDC_AE_TXTPSSWD1, 18, 160, 186, 21},
    {IDC_AE_LABEL4, 18, 186, 186, 14},      {IDC_AE_TXTPSSWD2, 18, 201, 186, 21}, {IDC_AE_LBLERROR2, 214, 37, 128, 56},
    {IDC_AE_LBLERROR, 214, 119, 128, 42},   {IDC_AE_COMMAND3, 18, 232, 190, 25}, // wide enough for its caption in
                                                                                 // Tahoma; ends where "?" begins
    {IDC_AE_COMMAND4, 208, 232, 24, 25},    {IDCANCEL, 238, 232, 52, 25},         {IDOK, 296, 232, 46, 25},
};
constexpr int kClientWidth = 358;
constexpr int kClientHeight = 272;
constexpr int kIdentifierMaxLength = 30;

std::wstring field_text(HWND dialog, int id) {
    HWND field = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

void show_label(HWND dialog, int id, bool visible) { ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOW : SW_HIDE); }

// An error label appears beside the fields while the keyboard stays on OK:
// a screen reader is told, so that it reads the error out.
void show_error(HWND dialog, int id) {
    show_label(dialog, id, true);
    platform::announce_shown(GetDlgItem(dialog, id));
}

void on_load(HWND dialog) {
    platform::place_controls(dialog, kLayout);
    platform::set_client_size(dialog, kClientWidth, kClientHeight);
    platform::center_on_screen(dialog);
    platform::keep_clear_of(dialog, ui::find_window(ui::Window::Widget));
    SendDlgItemMessageW(dialog, IDC_AE_TXTID, EM_SETLIMITTEXT, kIdentifierMaxLength, 0);
    // The password fields' own buffers are written over before they go.
    for (int id : {IDC_AE_TXTPSSWD1, IDC_AE_TXTPSSWD2}) platform::wipe_edit_when_destroyed(GetDlgItem(dialog, id));
    platform::add_tooltip(dialog, IDC_AE_COMMAND3, "Generate secure password value...");
    platform::add_tooltip(dialog, IDC_AE_COMMAND4, "Entry to the 'Tallybox' software...");
    platform::add_tooltip(dialog, IDCANCEL, "Cancel action - unload me...");
    platform::add_tooltip(dialog, IDOK, "Save password values...");
    platform::set_accessible_name(GetDlgItem(dialog, IDC_AE_COMMAND4), L"Help on generating a secure password");

    show_label(dialog, IDC_AE_LBLERROR, false); // lblError2 stays as it is: visible
    qlk_access::set_drive_letter_from_program_folder();
    qlk_access::ensure_data_folder(); // an existing folder is the usual "failure"
}

void on_generate(HWND dialog) {
    // Every character comes from its own draw of the system's cryptographic
    // generator: nothing about one password tells anything about the next.
    std::array<std::uint32_t, kPasswordLength> words{};
    if (!platform::random_words(words)) {
        platform::show_message("ERROR: the system's random number generator is not available.\r\n"
                               "No password was generated.");
        return;
    }
    std::size_t next = 0;
    const std::string password = generate_password([&] { return unit_float_from_bits(words[next++ % words.size()]); });
    words.fill(0);
    // The keyboard stays on the button: a screen reader is told of the fields' new text.
    for (int id : {IDC_AE_TXTPSSWD1, IDC_AE_TXTPSSWD2}) {
        platform::set_item_text(dialog, id, password);
        platform::announce_value_changed(GetDlgItem(dialog, id));
    }
}

struct Converted {
    vault::AddFields fields;
    // The field whose text the code page cannot hold: the vault would keep a
    // look-alike or a "?" instead of what the user typed.
    std::optional<std::string_view> inexact;
};

Converted convert_fields(const std::wstring& id, const std::wstring& url, const std::wstring& user,
                         const std::wstring& password1, const std::wstring& password2) {
    Converted result;
    const std::pair<const std::wstring*, std::string_view> order[] = {
        {&id, "identifier name"}, {&url, "URL"}, {&user, "user name"}, {&password1, "password"}};
    std::string* targets[] = {&result.fields.id, &result.fields.url, &result.fields.user, &result.fields.password1};
    for (std::size_t i = 0; i < std::size(order); ++i) {
        platform::AnsiText text = platform::to_ansi_checked(*order[i].first);
        if (!text.exact && !result.inexact) result.inexact = order[i].second;
        *targets[i] = std::move(text.bytes);
    }
    result.fields.password2 = platform::to_ansi(password2);
    return result;
}

void on_add(HWND dialog) {
    show_label(dialog, IDC_AE_LBLERROR, false);
    show_label(dialog, IDC_AE_LBLERROR2, false);
    const std::wstring id = field_text(dialog, IDC_AE_TXTID);
    const std::wstring url = field_text(dialog, IDC_AE_TXTURL);
    const std::wstring user = field_text(dialog, IDC_AE_TXTUSERNAME);
    const std::wstring password1 = field_text(dialog, IDC_AE_TXTPSSWD1);
    const std::wstring password2 = field_text(dialog, IDC_AE_TXTPSSWD2);

    // The labels answer first, on the text as typed; only a record that passes
    // them is checked for what the vault can store.
    if (password1 != password2) {
        show_error(dialog, IDC_AE_LBLERROR);
        return;
    }
    if (url.empty() || user.empty()) {
        show_error(dialog, IDC_AE_LBLERROR2);
        return;
    }
    const Converted converted = convert_fields(id, url, user, password1, password2);
    if (converted.inexact) {
        platform::show_message(vault::unstorable_message(*converted.inexact));
        return;
    }

    ui::MessageBoxReporter reporter;
    vault::VaultContext context = qlk_access::vault_context(reporter);
    switch (vault::add_record(context, converted.fields)) {
    case vault::AddOutcome::Saved: DestroyWindow(dialog); return;
    case vault::AddOutcome::PasswordsDiffer: show_error(dialog, IDC_AE_LBLERROR); return;
    case vault::AddOutcome::UrlOrUserEmpty: show_error(dialog, IDC_AE_LBLERROR2); return;
    case vault::AddOutcome::Refused:    // the message named the field
    case vault::AddOutcome::SaveFailed: // reported; the vault kept its last good content
        return;                         // either way the dialog keeps everything typed
    }
}

HBRUSH on_static_colour(HWND dialog, HDC dc, HWND control) {
    if (control != GetDlgItem(dialog, IDC_AE_LBLERROR) && control != GetDlgItem(dialog, IDC_AE_LBLERROR2))
        return nullptr;
    // Red on the system's face colour; under high contrast the system's own pair.
    if (platform::high_contrast_on()) return platform::use_system_pair(dc, COLOR_BTNTEXT, COLOR_BTNFACE);
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return GetSysColorBrush(COLOR_BTNFACE);
}

INT_PTR CALLBACK Form3_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        ui::track_window(ui::Window::AddEntry, dialog);
        on_load(dialog);
        return TRUE; // the caret goes to the first field of the tab order: txtUserName
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<INT_PTR>(
            on_static_colour(dialog, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam)));
    case WM_COMMAND:
        if (HIWORD(wparam) != BN_CLICKED) break;
        switch (LOWORD(wparam)) {
        case IDOK: on_add(dialog); return TRUE;
        case IDCANCEL: DestroyWindow(dialog); return TRUE; // nothing is written; the typed values go
        case IDC_AE_COMMAND3: on_generate(dialog); return TRUE;
        case IDC_AE_COMMAND4: platform::show_message(kMiniHelpText); return TRUE;
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        if (platform::colours_may_have_changed(message, wparam)) platform::redraw_all(dialog);
        break;
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_NCDESTROY: ui::untrack_window(ui::Window::AddEntry); break;
    }
    return FALSE;
}

} // namespace

void load_Form3() {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FORM3), nullptr, Form3_proc, 0);
}

} // namespace addentry
