#include "widget/about_window.h"

#include "ui/window_registry.h"
#include "platform/accessible.h"
#include "platform/colours.h"
#include "platform/window_state.h"
#include "platform/shell.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "resource_ids.h"

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <shellapi.h>

#include <string>

namespace widget {
namespace {

// Pixels at 96 dpi. Image1 starts above the client area: its top is cut off.
constexpr platform::ControlPlace kLayout[] = {
    {IDC_ABOUT_IMAGE1, 0, -32, 373, 201}, {IDC_ABOUT_LABEL4, 88, 0, 193, 17},   {IDC_ABOUT_LABEL5, 56, 128, 265, 25},
    {IDC_ABOUT_LINE1, 16, 152, 328, 1},   {IDC_ABOUT_LABEL3, 24, 168, 345, 17}, {IDC_ABOUT_LABEL1, 24, 192, 345, 17},
};
constexpr int kClientWidth = 370;
constexpr int kClientHeight = 222;

struct About {
    platform::unique_hbitmap logo;
    platform::unique_hfont name_font; // Label4
    platform::unique_hfont link_font; // Label3, Label1
};

About* about_of(HWND dialog) { return platform::window_state<About>(dialog); }

platform::unique_hfont make_font(const wchar_t* face, int hundredths_of_points, bool underline) {
    const int height = -MulDiv(hundredths_of_points, platform::screen_dpi(), 7200);
    return platform::unique_hfont(CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                              DEFAULT_PITCH | FF_SWISS, face));
}

bool is_link(int id) { return id == IDC_ABOUT_IMAGE1 || id == IDC_ABOUT_LABEL3 || id == IDC_ABOUT_LABEL1; }

// The window draws on the system's window colour, white in the usual scheme,
// so that the system's text colour reads on it in every scheme. The links are
// blue where blue reads on that colour, else in the system's link colour, and
// in the system's link colour whenever high contrast is on.
COLORREF link_colour() {
    constexpr COLORREF kBlue = RGB(0, 0, 255);
    const COLORREF back = GetSysColor(COLOR_WINDOW);
    const bool forced = platform::high_contrast_on();
    for (COLORREF candidate : {kBlue, GetSysColor(COLOR_HOTLIGHT)}) {
        if (forced && candidate == kBlue) continue;
        if (platform::contrast_ratio(candidate, back) >= platform::kReadableContrast) return candidate;
    }
    return GetSysColor(COLOR_WINDOWTEXT);
}

// A text link is followed as a click follows it: by its window, which then closes.
void follow(HWND link) {
    PostMessageW(GetParent(link), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                 reinterpret_cast<LPARAM>(link));
}

// A text link that has the keyboard opens with Enter or Space, as a click
// opens it, and shows a focus rectangle. A screen reader's default action
// follows it too.
LRESULT CALLBACK text_link_proc(HWND link, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_GETDLGCODE:
        if (lparam && reinterpret_cast<const MSG*>(lparam)->message == WM_KEYDOWN &&
            (wparam == VK_RETURN || wparam == VK_SPACE))
            return DLGC_WANTMESSAGE;
        break;
    case WM_KEYDOWN:
        if (wparam == VK_RETURN || wparam == VK_SPACE) {
            follow(link);
            return 0;
        }
        break;
    case platform::kFollowLinkMessage: follow(link); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(link, nullptr, TRUE); break;
    case WM_PAINT:
        if (GetFocus() == link) {
            DefSubclassProc(link, message, wparam, lparam);
            RECT frame{};
            GetClientRect(link, &frame);
            platform::window_dc dc(link);
            DrawFocusRect(dc.get(), &frame);
            return 0;
        }
        break;
    case WM_NCDESTROY: RemoveWindowSubclass(link, text_link_proc, 0); break;
    }
    return DefSubclassProc(link, message, wparam, lparam);
}

// A reader reads a text link as a link (a static text says "text"), and its
// default action follows it.
void make_text_link(HWND link) {
    SetWindowSubclass(link, text_link_proc, 0, 0);
    platform::set_accessible_facts(
        link,
        {.default_action = L"Jump", .role = ROLE_SYSTEM_LINK, .default_action_message = platform::kFollowLinkMessage});
}

// Whether the address opens or not (no browser: the user is told), the window closes.
void open_link(HWND dialog, const char* address) {
    platform::open_web_address(address);
    DestroyWindow(dialog);
}

void on_load(HWND dialog) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    About* state = platform::attach_window_state(dialog, std::make_unique<About>());
    state->logo.reset(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDB_ABOUT_LOGO), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    state->name_font = make_font(L"Microsoft Sans Serif", 975, false);
    state->link_font = make_font(L"MS Sans Serif", 825, true);

    const std::string maker = kMakerName;
    platform::set_item_text(dialog, IDC_ABOUT_LABEL4, maker);
    platform::set_item_text(dialog, IDC_ABOUT_LABEL5, "Software that stands out from the rest!");
    platform::set_item_text(dialog, IDC_ABOUT_LABEL3, maker + " on-line support and contact...");
    platform::set_item_text(dialog, IDC_ABOUT_LABEL1, "quillock.example...");
    SendDlgItemMessageW(dialog, IDC_ABOUT_LABEL4, WM_SETFONT, reinterpret_cast<WPARAM>(state->name_font.get()), 0);
    for (int id : {IDC_ABOUT_LABEL3, IDC_ABOUT_LABEL1})
        SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(state->link_font.get()), 0);

    for (int id : {IDC_ABOUT_LABEL3, IDC_ABOUT_LABEL1}) make_text_link(GetDlgItem(dialog, id));

    platform::place_controls(dialog, kLayout);
    platform::set_client_size(dialog, kClientWidth, kClientHeight);
    platform::center_on_screen(dialog);
    platform::add_tooltip(dialog, IDC_ABOUT_IMAGE1, "Click here to visit " + maker + " on the web...");
}

// Image1 shows the logo stretched to its frame, not in proportion.
void draw_logo(const About& state, const DRAWITEMSTRUCT& item) {
    const RECT& frame = item.rcItem;
    FillRect(item.hDC, &frame, GetSysColorBrush(COLOR_WINDOW));
    BITMAP size{};
    if (!state.logo || !GetObjectW(state.logo.get(), sizeof size, &size)) return;
    platform::unique_memory_dc logo_dc(CreateCompatibleDC(item.hDC));
    const platform::selected_object logo(logo_dc.get(), state.logo.get());
    SetStretchBltMode(item.hDC, HALFTONE);
    SetBrushOrgEx(item.hDC, 0, 0, nullptr);
    StretchBlt(item.hDC, frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, logo_dc.get(), 0, 0,
               size.bmWidth, size.bmHeight, SRCCOPY);
}

INT_PTR CALLBACK frnAbout_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG:
        ui::track_window(ui::Window::About, dialog);
        on_load(dialog);
        return TRUE;
    case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
        const auto dc = reinterpret_cast<HDC>(wparam);
        const HBRUSH back = platform::use_system_pair(dc, COLOR_WINDOWTEXT, COLOR_WINDOW);
        if (is_link(id)) SetTextColor(dc, link_colour());
        if (id == IDC_ABOUT_LINE1) return FALSE; // drawn in its own colour
        return reinterpret_cast<INT_PTR>(back);
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        if (platform::colours_may_have_changed(message, wparam)) platform::redraw_all(dialog);
        return FALSE;
    case WM_DRAWITEM:
        if (wparam == IDC_ABOUT_IMAGE1 && about_of(dialog))
            draw_logo(*about_of(dialog), *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
        return TRUE;
    case WM_SETCURSOR:
        if (is_link(GetDlgCtrlID(reinterpret_cast<HWND>(wparam)))) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDC_ABOUT_IMAGE1:
        case IDC_ABOUT_LABEL3:
            if (HIWORD(wparam) == STN_CLICKED) open_link(dialog, kMakerSite);
            return TRUE;
        case IDC_ABOUT_LABEL1:
            if (HIWORD(wparam) == STN_CLICKED) open_link(dialog, kProductSite);
            return TRUE;
        case IDCANCEL: DestroyWindow(dialog); return TRUE;
        }
        break;
    case WM_CLOSE: DestroyWindow(dialog); return TRUE;
    case WM_NCDESTROY:
        platform::detach_window_state<About>(dialog);
        ui::untrack_window(ui::Window::About);
        break;
    }
    return FALSE;
}

} // namespace

void load_frnAbout() {
    CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRNABOUT), nullptr, frnAbout_proc, 0);
}

} // namespace widget
