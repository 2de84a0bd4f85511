// Form2: the window, its load sequence and its closing.
#include "access/run_state.h"
#include "ui/message_box_reporter.h"
#include "ui/window_registry.h"
#include "platform/window_state.h"
#include "platform/accessible.h"
#include "platform/clipboard.h"
#include "platform/colours.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "vault/vault_store.h"
#include "viewer/close_box.h"
#include "viewer/form2.h"
#include "viewer/viewer_window.h"

#include <windowsx.h>

#include <algorithm>
#include <new>

namespace viewer {
namespace {

// Command3 ends where "?" begins; Label2, below the buttons, is wide enough
// for its caption in Tahoma.
constexpr platform::ControlPlace kLayout[] = {
    {IDC_VW_LABEL3, 8, 0, 289, 13},       {IDC_VW_LABEL1, 8, 16, 678, 13},      {IDC_VW_LV, 8, 32, 793, 289},
    {IDC_VW_COMMAND1, 304, 328, 153, 25}, {IDC_VW_COMMAND3, 464, 328, 152, 25}, {IDC_VW_COMMAND4, 616, 328, 17, 25},
    {IDC_VW_COMMAND2, 648, 328, 153, 25}, {IDC_VW_LABEL2, 192, 360, 128, 13},
};
constexpr int kClientWidth = 810;
constexpr int kClientHeight = 378; // Label2 shows below the buttons

// Set when a load ended because its window was closed from outside: the exit
// sequence, or the owner stepping away, closes it while a large vault loads.
// The gate's show step follows at once and must not open the viewer again.
// (Should the show step's own load be the one cut short, the next gate's
// first load is passed over and its show step loads.)
bool g_load_cut_short = false;

// What the window keeps in GWLP_USERDATA: its share of the state.
using Holder = std::shared_ptr<Form2>;

class LoadReporter final : public vault::Reporter {
public:
    explicit LoadReporter(const Form2& form) : form_(form) {}
    void show_message(std::string_view text) override { boxes_.show_message(text); }
    // A window closed meanwhile (the exit sequence, for one) stops the load.
    // The vault was left scrambled before the pumping began, so nothing is
    // left half done.
    bool pump_events() override { return boxes_.pump_events() && form_.window; }

private:
    const Form2& form_;
    ui::MessageBoxReporter boxes_;
};

// The help labels were drawn for a narrower dialog font than most systems
// have now: one that would cut its sentence short grows to the right, up to
// the list's right edge, instead of hiding the rest below its lower edge.
void fit_label_width(HWND dialog, int id) {
    HWND label = GetDlgItem(dialog, id);
    const std::wstring text = platform::to_wide(platform::window_text(label));
    RECT place;
    GetWindowRect(label, &place);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
    platform::window_dc dc(label);
    platform::selected_object font(dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
    const int right_limit = platform::scale(801);
    const int width = std::min<int>(extent.cx + 2, right_limit - place.left);
    if (width > place.right - place.left)
        SetWindowPos(label, nullptr, 0, 0, width, place.bottom - place.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void on_init(HWND dialog, const Holder& holder) {
    Form2& form = *holder;
    form.window = dialog;
    form.list = GetDlgItem(dialog, IDC_VW_LV);
    platform::attach_window_state(dialog, std::make_unique<Holder>(holder));
    ui::track_window(ui::Window::Viewer, dialog,
                     LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDA_FORM2)));

    platform::place_controls(dialog, kLayout);
    platform::set_client_size(dialog, kClientWidth, kClientHeight);
    platform::center_on_screen(dialog);
    fit_label_width(dialog, IDC_VW_LABEL3);
    fit_label_width(dialog, IDC_VW_LABEL1);
    platform::add_tooltip(dialog, IDC_VW_COMMAND1, "Create to print list...");
    platform::add_tooltip(dialog, IDC_VW_COMMAND3, "Toggle: Decrypt/ Encrypt Password View...");
    platform::add_tooltip(dialog, IDC_VW_COMMAND4, "Entry to the 'Tallybox' software...");
    platform::add_tooltip(dialog, IDC_VW_COMMAND2, "Unload me...");
    platform::set_accessible_name(GetDlgItem(dialog, IDC_VW_COMMAND4), L"Help on decrypting the password view");
    set_up_list(form);
}

// The load sequence; the window is hidden while it runs. Every step that
// fails is passed over, and the sequence reports nothing of its own.
void run_load_sequence(const Holder& holder) {
    Form2& form = *holder;
    qlk_access::set_drive_letter_from_program_folder();
    qlk_access::ensure_data_folder();
    SetCloseBoxEnabled(form.window, false);

    LoadReporter reporter(form);
    vault::VaultContext context = qlk_access::vault_context(reporter);
    vault::LoadResult loaded;
    form.loading = true;
    loaded = vault::load_vault(context);
    form.loading = false;
    // Cut short while it read, or closed while the last messages were up.
    if (loaded.status == vault::LoadStatus::Abandoned || !form.window) {
        g_load_cut_short = true;
        return;
    }
    if (loaded.status != vault::LoadStatus::Accepted) {
        close_viewer(form);
        return;
    }

    try {
        form.rows = vault::rows_from_load(std::move(loaded));
        if (!form.rows.rows.empty()) form.rows.selected = 0; // the first record of the file
        sort_rows(form);
    } catch (const std::bad_alloc&) {
        // The records were read but there is no memory to list them: the
        // viewer closes as for a vault that is too large to open.
        form.rows = {};
        form.order = {};
        reporter.show_message(vault::kTooLargeMessage);
        close_viewer(form);
        return;
    }
    show_rows(form);
    apply_stored_appearance(form);
}

bool run_command(Form2& form, int command) {
    switch (command) {
    case IDM_VW_COPY2CLIPBOARD: copy_password(form); return true;
    case IDM_VW_COPYUSERNAME2CLIPBOARD: copy_user_name(form); return true;
    case IDM_VW_URL: activate_url(form); return true;
    case IDC_VW_COMMAND1: print_list(form); return true;
    case IDC_VW_COMMAND3: toggle_display(form); return true;
    case IDC_VW_COMMAND4: mini_help(); return true;
    case IDC_VW_COMMAND2:
    case IDCANCEL: // Escape closes as "Clear Clipboard && Close" does
        platform::clear_clipboard(form.window);
        close_viewer(form);
        return true;
    case IDOK: return true; // Enter: the viewer has no default button
    }
    return run_edit_command(form, command) || run_appearance_command(form, command);
}

// Whatever closes the viewer, the clipboard goes empty first; the close is
// never refused. A failure to empty it is not reported. A close for the
// owner's absence empties it only while it still holds the viewer's own copy:
// what the user copied elsewhere stays.
void close_with_cause(HWND dialog, ui::CloseCause cause) {
    if (cause == ui::CloseCause::OwnerAway)
        platform::clear_clipboard_if_ours(dialog);
    else
        platform::clear_clipboard(dialog);
    DestroyWindow(dialog);
}

INT_PTR CALLBACK Form2_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: on_init(dialog, *reinterpret_cast<const Holder*>(lparam)); return TRUE;
    case WM_WINDOWPOSCHANGING:
        // A second "View Passwords" while the vault loads finds the window
        // loaded and shows it: it stays hidden until its rows are there.
        if (auto form = form_of(dialog); form && form->loading)
            reinterpret_cast<WINDOWPOS*>(lparam)->flags &= ~SWP_SHOWWINDOW;
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wparam) > 1) break; // 0: a menu item or a button click, 1: a shortcut
        if (auto form = form_of(dialog); form && !form->loading && run_command(*form, LOWORD(wparam))) return TRUE;
        break;
    case WM_CONTEXTMENU:
        // From the keyboard (no point): a right press comes as LV's NM_RCLICK.
        if (auto form = form_of(dialog); form && !form->loading && reinterpret_cast<HWND>(wparam) == form->list &&
                                         GET_X_LPARAM(lparam) == -1 && GET_Y_LPARAM(lparam) == -1) {
            pop_up_row_menu_by_keyboard(*form);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        if (auto form = form_of(dialog)) {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            LRESULT result = 0;
            if (header->hwndFrom == form->list && on_list_notify(*form, *header, result)) {
                SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
                return TRUE;
            }
        }
        break;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lparam) == GetDlgItem(dialog, IDC_VW_LABEL2)) {
            const auto dc = reinterpret_cast<HDC>(wparam);
            // Red on the system's face colour; under high contrast the system's own pair.
            SetTextColor(dc, platform::high_contrast_on() ? GetSysColor(COLOR_BTNTEXT) : RGB(255, 0, 0));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        if (auto form = form_of(dialog); form && platform::colours_may_have_changed(message, wparam)) {
            // The list, a common control, learns of new system colours only from its window.
            if (message == WM_SYSCOLORCHANGE) SendMessageW(form->list, WM_SYSCOLORCHANGE, 0, 0);
            show_list_colours(*form);
            platform::redraw_all(dialog);
        }
        break;
    case WM_CLOSE: close_with_cause(dialog, ui::CloseCause::Asked); return TRUE;
    case ui::kCloseWithCause: close_with_cause(dialog, static_cast<ui::CloseCause>(wparam)); return TRUE;
    case WM_NCDESTROY: {
        const std::unique_ptr<Holder> holder = platform::detach_window_state<Holder>(dialog);
        ui::untrack_window(ui::Window::Viewer);
        if (holder) {
            (*holder)->window = nullptr;
            (*holder)->list = nullptr;
        }
        platform::release_hidden_owner(dialog);
        break;
    }
    }
    return FALSE;
}

} // namespace

std::shared_ptr<Form2> form_of(HWND window) {
    const Holder* holder = platform::window_state<Holder>(window);
    return holder ? *holder : nullptr;
}

void close_viewer(const Form2& form) {
    if (form.window) SendMessageW(form.window, WM_CLOSE, 0, 0);
}

void load_Form2() {
    if (std::exchange(g_load_cut_short, false)) return;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    auto holder = std::make_shared<Form2>();
    // Kept out of the taskbar by its owner.
    HWND owner = platform::create_hidden_owner();
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FORM2), owner, Form2_proc, reinterpret_cast<LPARAM>(&holder));
    if (!dialog) {
        if (owner) DestroyWindow(owner);
        return;
    }
    run_load_sequence(holder);
}

} // namespace viewer
