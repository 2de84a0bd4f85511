// LV: a virtual report list over the viewer's rows. The control keeps no
// texts; it asks for those of the rows it shows, so a vault of any size opens
// at once.
#include "platform/accessible.h"
#include "platform/text.h"
#include "platform/window.h"
#include "vault/cipher.h"
#include "viewer/form2.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

namespace viewer {
namespace {

struct Column {
    const wchar_t* header;
    int width; // pixels at 96 dpi
};
// Together they fill the list's width. The machine stamp and any further
// values are held in the rows but have no column.
constexpr Column kColumns[] = {{L"Identifier Name", 163}, {L"URL", 300}, {L"User Name", 163}, {L"Password", 163}};

std::string cell_text(const Form2& form, std::size_t row, int column) {
    const vault::RecordTable& rows = form.rows.rows;
    switch (column) {
    case 0: return rows.name(row);
    case 1: return rows.value(row, vault::Field::Url);
    case 2: return rows.value(row, vault::Field::User);
    case 3: {
        std::string password = rows.value(row, vault::Field::Password);
        return form.plain_passwords ? password : vault::encrypt_text(password);
    }
    }
    return {};
}

// The list asks for as many characters as it draws (260 when it paints a
// cell); a longer value shows cut, as far as it fits. The program's code page
// has one character a byte, so the cut is made on the bytes: a conversion
// into a buffer too small for the whole text would give nothing at all.
void put_text(std::string_view text, wchar_t* target, int capacity) {
    if (!target || capacity <= 0) return;
    const int length = static_cast<int>(std::min<std::size_t>(text.size(), static_cast<std::size_t>(capacity - 1)));
    const int written =
        length == 0 ? 0 : MultiByteToWideChar(platform::program_code_page(), 0, text.data(), length, target, length);
    target[written > 0 ? written : 0] = L'\0';
}

// The list's text order: case-insensitive in the user's locale, as the list
// control's own sort compares, taken character by character. Comparing whole
// names through the system costs microseconds a call: too slow for 100k rows.
const CollationRanks& system_ranks() {
    static const CollationRanks ranks = collation_ranks([](int a, int b) {
        const std::wstring one = platform::to_wide(std::string(1, static_cast<char>(a)));
        const std::wstring other = platform::to_wide(std::string(1, static_cast<char>(b)));
        return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, one.data(), static_cast<int>(one.size()),
                              other.data(), static_cast<int>(other.size())) -
               CSTR_EQUAL;
    });
    return ranks;
}

// The row shown at a place of the list.
std::size_t row_at(const Form2& form, std::size_t place) { return form.order.empty() ? place : form.order[place]; }

// The list place of the selected row, if any.
std::optional<int> selected_place(const Form2& form) {
    const std::optional<std::size_t>& selected = form.rows.selected;
    if (!selected || *selected >= form.rows.rows.size()) return std::nullopt;
    if (form.order.empty()) return static_cast<int>(*selected);
    const auto found = std::find(form.order.begin(), form.order.end(), *selected);
    if (found == form.order.end()) return std::nullopt;
    return static_cast<int>(found - form.order.begin());
}

// A press on blank space below the rows takes the selection from every row
// but leaves the focus box on the row that had it: that row is selected again,
// so that a command never finds the list without a selected row (nor copies
// nothing while an older password stays on the clipboard).
void keep_a_row_selected(HWND list) {
    if (ListView_GetNextItem(list, -1, LVNI_SELECTED) >= 0) return;
    if (const int focused = ListView_GetNextItem(list, -1, LVNI_FOCUSED); focused >= 0)
        ListView_SetItemState(list, focused, LVIS_SELECTED, LVIS_SELECTED);
}

// The File menu at a screen point; its commands act on the selected row.
void pop_up_file_menu(const Form2& form, POINT at) {
    if (HMENU file = GetSubMenu(GetMenu(form.window), 0))
        TrackPopupMenu(file, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form.window, nullptr);
}

} // namespace

void pop_up_row_menu_by_keyboard(Form2& form) {
    const int place = ListView_GetNextItem(form.list, -1, LVNI_SELECTED);
    if (place < 0) return;
    ListView_EnsureVisible(form.list, place, FALSE);
    RECT row{};
    if (!ListView_GetItemRect(form.list, place, &row, LVIR_LABEL)) return;
    POINT at{row.left, row.bottom};
    ClientToScreen(form.list, &at);
    pop_up_file_menu(form, at);
}

void set_up_list(Form2& form) {
    ListView_SetExtendedListViewStyle(form.list, LVS_EX_FULLROWSELECT);
    // By Windows' label rule a reader would announce the list by the long
    // hint above it; it gets a short name of its own, and nothing seen changes.
    platform::set_accessible_name(form.list, L"Passwords");
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = const_cast<wchar_t*>(kColumns[i].header);
        column.cx = platform::scale(kColumns[i].width);
        column.iSubItem = i;
        ListView_InsertColumn(form.list, i, &column);
    }
    set_list_font(form, kDefaultFontPoints);
    set_list_colours(form, GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW));
}

void fit_last_column(Form2& form) {
    if (!form.list) return;
    constexpr int last = static_cast<int>(std::size(kColumns)) - 1;
    RECT client{};
    GetClientRect(form.list, &client); // without the vertical scroll bar when it shows
    int others = 0;
    for (int i = 0; i < last; ++i) others += ListView_GetColumnWidth(form.list, i);
    const int room = client.right - others;
    if (room > 0 && room != ListView_GetColumnWidth(form.list, last)) ListView_SetColumnWidth(form.list, last, room);
}

void show_rows(Form2& form) {
    if (!form.list) return;
    ListView_SetItemCountEx(form.list, static_cast<int>(form.rows.rows.size()), LVSICF_NOSCROLL);
    fit_last_column(form);
    // Only the row that has a state is cleared (the list selects one row at
    // most): asking for all rows would visit every row of the list. Looking
    // for the selected row visits every row too when there is none, as on a
    // fresh list: 2 ms of a 100k-row opening under Wine. The count is kept.
    if (ListView_GetSelectedCount(form.list) > 0) {
        if (const int selected = ListView_GetNextItem(form.list, -1, LVNI_SELECTED); selected >= 0)
            ListView_SetItemState(form.list, selected, 0, LVIS_SELECTED);
    }
    if (const int focused = ListView_GetNextItem(form.list, -1, LVNI_FOCUSED); focused >= 0)
        ListView_SetItemState(form.list, focused, 0, LVIS_FOCUSED);
    if (const std::optional<int> place = selected_place(form)) {
        const int index = *place;
        ListView_SetItemState(form.list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetSelectionMark(form.list, index);
    }
    InvalidateRect(form.list, nullptr, TRUE);
}

void sync_selection(Form2& form) {
    if (!form.list) return;
    const int index = ListView_GetNextItem(form.list, -1, LVNI_SELECTED);
    if (index >= 0 && static_cast<std::size_t>(index) < form.rows.rows.size())
        form.rows.selected = form.order.empty() ? static_cast<std::size_t>(index) : form.order[index];
    else
        form.rows.selected.reset();
}

void sort_rows(Form2& form) {
    form.order.clear();
    if (form.rows.rows.size() < 2) return;
    form.order = sorted_order(form.rows.rows, system_ranks());
}

void put_rows_in_list_order(Form2& form) {
    if (form.order.empty()) return;
    form.rows.opener = new_place(form.order, form.rows.opener); // it still goes first in the file
    apply_order(form.rows.rows, form.rows.selected, form.order);
    form.order.clear();
}

bool on_list_notify(Form2& form, const NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
        if (!(item.mask & LVIF_TEXT)) return true;
        std::string text;
        if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < form.rows.rows.size())
            text = cell_text(form, row_at(form, static_cast<std::size_t>(item.iItem)), item.iSubItem);
        put_text(text, item.pszText, item.cchTextMax);
        return true;
    }
    case LVN_BEGINLABELEDITW:
    case LVN_BEGINLABELEDITA:
        // An identifier name changes only through "Change the Identifer Name".
        result = TRUE;
        return true;
    case NM_CLICK:
    case NM_RDBLCLK: keep_a_row_selected(form.list); return false;
    case NM_RCLICK: {
        // The File menu at the pointer, for the row that the press has just
        // selected. Handled: the list sends no WM_CONTEXTMENU after it.
        keep_a_row_selected(form.list);
        POINT at;
        GetCursorPos(&at);
        pop_up_file_menu(form, at);
        result = TRUE;
        return true;
    }
    case LVN_ODFINDITEMW: {
        // Typing in the list selects the next row whose name begins with
        // what was typed, as the list does when it holds its own texts.
        const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
        result = -1;
        if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return true;
        const std::string typed = platform::to_ansi(find.lvfi.psz);
        const bool whole = !(find.lvfi.flags & LVFI_PARTIAL);
        const std::size_t count = form.rows.rows.size();
        const std::size_t start =
            find.iStart > 0 ? std::min<std::size_t>(static_cast<std::size_t>(find.iStart), count) : 0;
        const std::size_t tries = (find.lvfi.flags & LVFI_WRAP) ? count : count - start;
        for (std::size_t i = 0; i < tries; ++i) {
            const std::size_t place = (start + i) % count;
            if (matches_by_ranks(form.rows.rows.name(row_at(form, place)), typed, whole, system_ranks())) {
                result = static_cast<LRESULT>(place);
                break;
            }
        }
        return true;
    }
    case NM_DBLCLK:
        keep_a_row_selected(form.list);
        activate_url(form);
        return true;
    }
    return false;
}

} // namespace viewer
