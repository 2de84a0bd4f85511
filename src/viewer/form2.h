#pragma once
// The state of the password viewer Form2 while its window exists, shared by
// the files that handle its list, its commands and its appearance.
#include "platform/unique_handle.h"
#include "vault/record_ops.h"
#include "viewer/viewer_text.h"

#include <windows.h>

#include <memory>

namespace viewer {

struct Form2 {
    HWND window = nullptr; // null once the window has gone
    HWND list = nullptr;   // LV
    // The working copy of the records, in list order. The control holds no
    // texts of its own: it asks for those of the rows it shows.
    vault::RowList rows;
    // The list's order: the row shown at each place of the list. Sorting a
    // large vault moves only these numbers; the rows themselves take the
    // list's order (which the vault's rewrite writes) before the first
    // command that needs it. Empty while the rows stand in list order.
    std::vector<std::size_t> order;
    bool loading = false; // the load sequence runs; the window must stay hidden
    // The password column shows the passwords plain, or scrambled as the
    // vault holds them. Only the toggle (Command3) and a saved password
    // change, which scrambles them whatever the caption says, set it.
    bool plain_passwords = false;

    platform::unique_hfont list_font;
    double font_points = kDefaultFontPoints;
    COLORREF fore_colour = 0;
    COLORREF back_colour = 0;
    COLORREF custom_colours[16] = {}; // the colour dialog's own sixteen, kept while the viewer is open
};

// The viewer's state for a handler of its window. A handler that shows a
// modal box holds this for its whole run: the window may go meanwhile (the
// exit sequence closes it), the state stays until the handler is done.
std::shared_ptr<Form2> form_of(HWND window);

// Closes the viewer through its own close handling, which empties the clipboard.
void close_viewer(const Form2& form);

// --- LV (record_list.cpp) ----------------------------------------------------
void set_up_list(Form2& form);
// Shows the rows as they stand: their number, the selected row, their texts.
void show_rows(Form2& form);
// The last column takes the width the others leave, beside the vertical
// scroll bar when the rows need one: no horizontal scroll bar while they fit.
void fit_last_column(Form2& form);
// Takes the selected row from the control (the user selects with the mouse).
void sync_selection(Form2& form);
// Ascending by identifier name, the selected row moving along.
void sort_rows(Form2& form);
// Puts the rows themselves in the list's order, for the commands that read
// or write all of them in that order.
void put_rows_in_list_order(Form2& form);
// Shift+F10 or the Menu key in LV: the File menu below the selected row.
void pop_up_row_menu_by_keyboard(Form2& form);
// LV's notifications; true when handled, with the dialog's result in `result`.
bool on_list_notify(Form2& form, const NMHDR& header, LRESULT& result);

// --- Appearance (appearance.cpp) ----------------------------------------------
void set_list_font(Form2& form, double points);
// The chosen colours; the list shows them, or the system's pair while high
// contrast is on (show_list_colours, also for a change of scheme).
void set_list_colours(Form2& form, COLORREF fore, COLORREF back);
void show_list_colours(const Form2& form);
void apply_stored_appearance(Form2& form);
// The Configuration menu; true when `command` was one of its items.
bool run_appearance_command(Form2& form, int command);

// --- Commands (viewer_commands.cpp, edit_commands.cpp) ------------------------
void copy_password(Form2& form);
void copy_user_name(Form2& form);
void activate_url(Form2& form);
void print_list(Form2& form);
void toggle_display(Form2& form);
void mini_help();
// The Edit menu; true when `command` was one of its items.
bool run_edit_command(Form2& form, int command);

} // namespace viewer
