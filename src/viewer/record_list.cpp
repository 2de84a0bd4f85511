// LV: a virtual report list over the viewer's rows. The control keeps no
// texts; it asks for those of the rows it shows, so a vault of any size opens
// at once.
#include "platform/window.h"
#include "viewer/form2.h"

#include <commctrl.h>

namespace viewer {
namespace {

struct Column {
    const wchar_t* header;
    int width; // pixels at 96 dpi
};
// Together they fill the list's width. The machine stamp and any further
// values are held in the rows but have no column.
constexpr Column kColumns[] = {{L"Identifier Name", 163}, {L"URL", 300}, {L"User Name", 163}, {L"Password", 163}};

const std::string* cell_text(const vault::Record& row, int column) {
    switch (column) {
    case 0: return &row.name;
    case 1: return &row.url;
    case 2: return &row.user;
    case 3: return &row.password; // as the display state holds it
    }
    return nullptr;
}

void put_text(const std::string& text, wchar_t* target, int capacity) {
    if (!target || capacity <= 0) return;
    const int written = text.empty() ? 0
                                     : MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                                           target, capacity - 1);
    target[written > 0 ? written : 0] = L'\0';
}

// The list's text order: case-insensitive in the user's locale, as the list
// control's own sort compares.
bool name_less(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_LESS_THAN;
}

} // namespace

void set_up_list(Form2& form) {
    ListView_SetExtendedListViewStyle(form.list, LVS_EX_FULLROWSELECT);
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

void show_rows(Form2& form) {
    if (!form.list) return;
    ListView_SetItemCountEx(form.list, static_cast<int>(form.rows.rows.size()), LVSICF_NOSCROLL);
    ListView_SetItemState(form.list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (form.rows.selected && *form.rows.selected < form.rows.rows.size()) {
        const int index = static_cast<int>(*form.rows.selected);
        ListView_SetItemState(form.list, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetSelectionMark(form.list, index);
    }
    InvalidateRect(form.list, nullptr, TRUE);
}

void sync_selection(Form2& form) {
    if (!form.list) return;
    const int index = ListView_GetNextItem(form.list, -1, LVNI_SELECTED);
    if (index >= 0 && static_cast<std::size_t>(index) < form.rows.rows.size())
        form.rows.selected = static_cast<std::size_t>(index);
    else
        form.rows.selected.reset();
}

void sort_rows(Form2& form) {
    apply_order(form.rows.rows, form.rows.selected, sorted_order(form.rows.rows, name_less));
}

bool on_list_notify(Form2& form, const NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        auto& item = const_cast<NMLVDISPINFOW&>(reinterpret_cast<const NMLVDISPINFOW&>(header)).item;
        if (!(item.mask & LVIF_TEXT)) return true;
        const std::string* text = nullptr;
        if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < form.rows.rows.size())
            text = cell_text(form.rows.rows[static_cast<std::size_t>(item.iItem)], item.iSubItem);
        put_text(text ? *text : std::string(), item.pszText, item.cchTextMax);
        return true;
    }
    case LVN_BEGINLABELEDITW:
    case LVN_BEGINLABELEDITA:
        // An identifier name changes only through "Change the Identifer Name".
        result = TRUE;
        return true;
    case NM_RCLICK: {
        // The File menu at the pointer; its commands act on the selected row,
        // which the press has just made the one under the pointer.
        POINT at;
        GetCursorPos(&at);
        if (HMENU file = GetSubMenu(GetMenu(form.window), 0))
            TrackPopupMenu(file, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, form.window, nullptr);
        return true;
    }
    case NM_DBLCLK: activate_url(form); return true;
    }
    return false;
}

} // namespace viewer
