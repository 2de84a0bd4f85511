// The list's font size and colours: the Configuration menu, the colour
// dialog, and the stored settings under "Quillock"\"Config".
#include "access/settings_store.h"
#include "platform/colours.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "viewer/form2.h"

#include <commctrl.h>
#include <commdlg.h>

#include <cmath>
#include <optional>

namespace viewer {
namespace {

constexpr char kApplication[] = "Quillock";
constexpr char kSection[] = "Config";

std::string read_setting(const char* key) {
    try {
        return qlk_access::MRegistry::GetString(kApplication, kSection, key);
    } catch (const qlk_access::SettingsError&) {
        return {}; // an unreadable setting counts as missing
    }
}

// The list already shows the new appearance; a setting that cannot be
// stored (a standard account may not write the machine-wide registry) only
// means the next opening will not have it.
void store_setting(const char* key, const std::string& text) {
    try {
        qlk_access::MRegistry::SaveString(kApplication, kSection, key, text);
    } catch (const qlk_access::SettingsError& error) {
        platform::show_message(error.user_message() +
                               "\r\nThe list shows the new appearance, but it could not be stored for the next "
                               "opening of the viewer.");
    }
}

COLORREF to_colorref(ColourValue colour) { return static_cast<COLORREF>(colour); } // the same byte layout

// The title is set by the hook when the dialog starts.
UINT_PTR CALLBACK colour_dialog_hook(HWND dialog, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        const auto* choose = reinterpret_cast<const CHOOSECOLORW*>(lparam);
        SetWindowTextW(dialog, reinterpret_cast<const wchar_t*>(choose->lCustData));
    }
    return 0;
}

// The standard colour dialog, opening on `initial`; nothing when cancelled.
std::optional<COLORREF> choose_colour(Form2& form, const char* title, COLORREF initial) {
    const std::wstring wide_title = platform::to_wide(title);
    CHOOSECOLORW choose{};
    choose.lStructSize = sizeof choose;
    choose.hwndOwner = form.window;
    choose.rgbResult = initial;
    choose.lpCustColors = form.custom_colours;
    choose.Flags = CC_RGBINIT | CC_ENABLEHOOK | CC_ANYCOLOR;
    choose.lCustData = reinterpret_cast<LPARAM>(wide_title.c_str());
    choose.lpfnHook = colour_dialog_hook;
    if (!ChooseColorW(&choose)) return std::nullopt;
    return choose.rgbResult & kMaxColourValue;
}

void run_colour_item(Form2& form, bool text_colour) {
    const char* title = text_colour ? "Change Font Color" : "Change Background Color";
    const std::optional<COLORREF> chosen =
        choose_colour(form, title, text_colour ? form.fore_colour : form.back_colour);
    if (!chosen || !form.window) return;
    if (text_colour)
        set_list_colours(form, *chosen, form.back_colour);
    else
        set_list_colours(form, form.fore_colour, *chosen);
    // Stored every time, also when the choice equals the current colour.
    store_setting(text_colour ? "ForeColor" : "BackColor", colour_setting_text(*chosen));
}

} // namespace

void set_list_font(Form2& form, double points) {
    if (!form.list) return;
    LOGFONTW font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * platform::screen_dpi() / 72.0));
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcscpy(font.lfFaceName, L"Arial");
    platform::unique_hfont created(CreateFontIndirectW(&font));
    if (!created) return;
    SendMessageW(form.list, WM_SETFONT, reinterpret_cast<WPARAM>(created.get()), TRUE);
    fit_last_column(form);               // taller rows may need the vertical scroll bar
    form.list_font = std::move(created); // the font it replaces is no longer in use
    form.font_points = points;
}

void set_list_colours(Form2& form, COLORREF fore, COLORREF back) {
    if (!form.list) return;
    form.fore_colour = fore;
    form.back_colour = back;
    show_list_colours(form);
}

void show_list_colours(const Form2& form) {
    if (!form.list) return;
    const bool forced = platform::high_contrast_on();
    const COLORREF fore = forced ? GetSysColor(COLOR_WINDOWTEXT) : form.fore_colour;
    const COLORREF back = forced ? GetSysColor(COLOR_WINDOW) : form.back_colour;
    ListView_SetTextColor(form.list, fore);
    ListView_SetTextBkColor(form.list, back);
    ListView_SetBkColor(form.list, back);
    InvalidateRect(form.list, nullptr, TRUE);
}

void apply_stored_appearance(Form2& form) {
    const std::optional<ColourValue> back = colour_from_setting(read_setting("BackColor"));
    const std::optional<ColourValue> fore = colour_from_setting(read_setting("ForeColor"));
    set_list_colours(form, fore ? to_colorref(*fore) : form.fore_colour, back ? to_colorref(*back) : form.back_colour);
    if (const std::optional<double> points = font_points_from_setting(read_setting("FontSize")))
        set_list_font(form, *points);
}

bool run_appearance_command(Form2& form, int command) {
    if (command >= IDM_VW_SMALLERFONT && command <= IDM_VW_EXTREMEFONTSIZE) {
        const FontSizeItem& item = kFontSizes[command - IDM_VW_SMALLERFONT];
        set_list_font(form, item.points);
        store_setting("FontSize", std::string(item.stored));
        return true;
    }
    if (command == IDM_VW_FONTCOLOR || command == IDM_VW_BACKCOLOR) {
        run_colour_item(form, command == IDM_VW_FONTCOLOR);
        return true;
    }
    return false;
}

} // namespace viewer
