// Form2 itself: its layout, its rows after loading, the load's outcomes, the
// greyed close box and what every close does, driven in-process.
#include "reader_view.h"
#include "viewer/close_box.h"
#include "viewer_test_support.h"

#include <map>

using test_support::ModalWatcher;
using namespace viewer_test;

namespace {

class ViewerWindow : public ViewerTest {};

const std::string kThree = record_text("charlie", "https://c.example", "carl", "abc") +
                           record_text("alpha", "www.alpha.example", "al", "pw1") +
                           record_text("bravo", "ftp://b", "bob", "Secret9");

RECT client_place(HWND dialog, int id) {
    RECT rect;
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string menu_text(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return platform::to_ansi(text);
}

TEST_F(ViewerWindow, OpensCentredWithItsLayoutTextsAndFixedFrame) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(platform::window_text(dialog), "Password viewer");

    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, platform::scale(810));
    EXPECT_EQ(client.bottom, platform::scale(378)) << "room for Label2 below the buttons";
    RECT window;
    GetWindowRect(dialog, &window);
    const int screen_middle = GetSystemMetrics(SM_CXSCREEN) / 2;
    EXPECT_NEAR((window.left + window.right) / 2, screen_middle, 2);

    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "a fixed dialog frame";
    const bool tool_window = GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_TOOLWINDOW;
    EXPECT_TRUE(tool_window || GetWindow(dialog, GW_OWNER) != nullptr) << "kept out of the taskbar";
    EXPECT_FALSE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);

    struct Expected {
        int id;
        int left, top, width, height;
        const char* text;
    };
    const Expected controls[] = {
        {IDC_VW_LV, 8, 32, 793, 289, ""},
        {IDC_VW_COMMAND1, 304, 328, 153, 25, "Print"},
        {IDC_VW_COMMAND3, 464, 328, 152, 25, "Decrypt Password View"}, // ends where "?" begins
        {IDC_VW_COMMAND4, 616, 328, 17, 25, "?"},
        {IDC_VW_COMMAND2, 648, 328, 153, 25, "Clear Clipboard && Close"},
        {IDC_VW_LABEL2, 192, 360, 128, 13, "Double-Click item to run"},
    };
    for (const Expected& c : controls) {
        SCOPED_TRACE(c.id);
        const RECT r = client_place(dialog, c.id);
        EXPECT_EQ(r.left, platform::scale(c.left));
        EXPECT_EQ(r.top, platform::scale(c.top));
        EXPECT_EQ(r.right - r.left, platform::scale(c.width));
        EXPECT_EQ(r.bottom - r.top, platform::scale(c.height));
        if (c.id != IDC_VW_LV) {
            EXPECT_EQ(platform::item_text(dialog, c.id), c.text);
        }
    }
    // The help labels keep their places; they may grow to the right to show all their text.
    EXPECT_EQ(platform::item_text(dialog, IDC_VW_LABEL3),
              "Select and Right-Click 'Idenifier Name' item for editing menu...");
    EXPECT_EQ(platform::item_text(dialog, IDC_VW_LABEL1),
              "If the URL text starts with 'www.', http://' or 'https://' - double click the IDENTIFER NAME to "
              "activate it's URL within your default web browser...");
    for (auto [id, left, top, width] : {std::tuple{IDC_VW_LABEL3, 8, 0, 289}, std::tuple{IDC_VW_LABEL1, 8, 16, 678}}) {
        const RECT r = client_place(dialog, id);
        EXPECT_EQ(r.left, platform::scale(left));
        EXPECT_EQ(r.top, platform::scale(top));
        EXPECT_GE(r.right - r.left, platform::scale(width));
        EXPECT_LE(r.right, platform::scale(801));
    }
    EXPECT_LE(client_place(dialog, IDC_VW_LABEL2).bottom, client.bottom) << "Label2 can be seen";
    RECT overlap;
    const RECT toggle = client_place(dialog, IDC_VW_COMMAND3), help = client_place(dialog, IDC_VW_COMMAND4);
    EXPECT_FALSE(IntersectRect(&overlap, &toggle, &help)) << "the buttons do not overlap";
}

TEST_F(ViewerWindow, MenuBarHoldsTheThreeMenusWithTheirItemsAndShortcuts) {
    write_vault(kThree);
    HMENU bar = GetMenu(open_viewer());
    ASSERT_NE(bar, nullptr);
    const std::vector<std::pair<std::string, std::vector<std::string>>> menus = {
        {"File",
         {"Copy Password into clipboard\tCtrl+C", "Copy Username into clipboard\tCtrl+U", "",
          "Activate URL into default browser..."}},
        {"Edit",
         {"Change the Identifer Name", "Change the URL", "Change the User Name", "Change the Password",
          "Delete selected item\tCtrl+D"}},
        {"Configuration", {"Font Size", "Font Color", "Background Color"}},
    };
    ASSERT_EQ(GetMenuItemCount(bar), 3);
    for (int m = 0; m < 3; ++m) {
        EXPECT_EQ(menu_text(bar, m), menus[m].first);
        HMENU menu = GetSubMenu(bar, m);
        ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(menus[m].second.size()));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            EXPECT_EQ(menu_text(menu, i), menus[m].second[i]);
            const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
            if (!(state & MF_SEPARATOR)) {
                EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED)) << "always available";
            }
        }
    }
    EXPECT_TRUE(GetMenuState(GetSubMenu(bar, 0), 2, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(ViewerWindow, ListIsAVirtualReportListWithFourColumnsAndNoInPlaceEdit) {
    write_vault(kThree);
    open_viewer();
    const LONG style = GetWindowLongW(list(), GWL_STYLE);
    EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
    EXPECT_TRUE(style & LVS_OWNERDATA);
    EXPECT_TRUE(style & LVS_SINGLESEL);
    const auto reader = test_support::accessible_object(list());
    EXPECT_EQ(test_support::name_of(reader.get()), L"Passwords") << "a name of its own, not the hint above it";

    HWND header = ListView_GetHeader(list());
    ASSERT_EQ(Header_GetItemCount(header), 4) << "stamp and extra values have no column";
    const std::pair<const char*, int> columns[] = {
        {"Identifier Name", 163}, {"URL", 300}, {"User Name", 163}, {"Password", 163}};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = text;
        column.cchTextMax = 64;
        ASSERT_TRUE(ListView_GetColumn(list(), i, &column));
        EXPECT_EQ(platform::to_ansi(text), columns[i].first);
        EXPECT_EQ(column.cx, platform::scale(columns[i].second));
    }

    // A second click on the selected row's text, or a direct request, starts no edit.
    EXPECT_EQ(ListView_EditLabel(list(), selected_row()), nullptr);
    EXPECT_EQ(ListView_GetEditControl(list()), nullptr);
    EXPECT_EQ(cell(selected_row(), 0), "charlie");
}

TEST_F(ViewerWindow, RowsAreSortedByNameWithTheFirstRecordSelectedAndPasswordsScrambled) {
    write_vault(kThree + "NAM:delta\r\nURL:u\r\nUSE:d\r\nPAS:x\r\nIDN:" + kStamp + "\r\nURL:extra value\r\n" +
                record_text("echo", "e", std::string(300, 'u'), std::string(500, 'p')));
    const std::string before = vault_bytes();
    open_viewer();
    const std::vector<Shown> expected = {
        {"alpha", "www.alpha.example", "al", vault::encrypt_text("pw1")},
        {"bravo", "ftp://b", "bob", vault::encrypt_text("Secret9")},
        {"charlie", "https://c.example", "carl", "\xDA\xDB\xDC"}, // abc scrambled: codes 218, 219, 220
        {"delta", "u", "d", vault::encrypt_text("x")},
        // A 300-character user name and a 500-character password, cut where the list's room ends.
        {"echo", "e", std::string(259, 'u'), vault::encrypt_text(std::string(259, 'p'))},
    };
    EXPECT_EQ(shown_rows(), expected);
    EXPECT_EQ(selected_row(), 2) << "the first record of the file, charlie";
    EXPECT_EQ(cell(3, 4), "") << "the stamp is held but not shown";
    EXPECT_EQ(toggle_caption(), "Decrypt Password View");
    EXPECT_EQ(vault_bytes(), before) << "a scrambled vault is read, not written";
}

TEST_F(ViewerWindow, TypingANameSelectsTheNextRowThatBeginsWithIt) {
    write_vault(kThree);
    open_viewer();
    LVFINDINFOW find{};
    find.flags = LVFI_PARTIAL | LVFI_WRAP;
    find.psz = L"BR";
    EXPECT_EQ(ListView_FindItem(list(), -1, &find), 1);
    find.psz = L"al";
    EXPECT_EQ(ListView_FindItem(list(), 1, &find), 0) << "wraps round to the top";
    find.flags = LVFI_STRING;
    find.psz = L"alp";
    EXPECT_EQ(ListView_FindItem(list(), -1, &find), -1) << "a whole-name search wants the whole name";
    find.psz = L"ALPHA";
    EXPECT_EQ(ListView_FindItem(list(), -1, &find), 0);

    SetFocus(list());
    SendMessageW(list(), WM_CHAR, L'b', 1); // a repeat count of one, as a key press gives
    EXPECT_EQ(selected_row(), 1);
}

TEST_F(ViewerWindow, ButtonsCarryTheirToolTips) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    std::map<int, std::string> tips;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wstring(name) != TOOLTIPS_CLASSW) return TRUE;
            auto& found = *reinterpret_cast<std::map<int, std::string>*>(out);
            for (int i = 0; i < static_cast<int>(SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0)); ++i) {
                wchar_t text[256] = {};
                TTTOOLINFOW info{};
                info.cbSize = sizeof info;
                info.lpszText = text;
                if (SendMessageW(window, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)))
                    found[GetDlgCtrlID(reinterpret_cast<HWND>(info.uId))] = platform::to_ansi(text);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&tips));
    (void)dialog;
    const std::map<int, std::string> expected = {
        {IDC_VW_COMMAND1, "Create to print list..."},
        {IDC_VW_COMMAND3, "Toggle: Decrypt/ Encrypt Password View..."},
        {IDC_VW_COMMAND4, "Entry to the 'Tallybox' software..."},
        {IDC_VW_COMMAND2, "Unload me..."},
    };
    for (const auto& [id, text] : expected) EXPECT_EQ(tips[id], text) << id;
}

TEST_F(ViewerWindow, SortIgnoresLetterCaseAndKeepsFileOrderForEqualNames) {
    write_vault(record_text("beta", "u", "first", "p") + record_text("Alpha", "u", "a", "p") +
                record_text("BETA", "u", "second", "p") + record_text("alpha2", "u", "a2", "p"));
    open_viewer();
    const std::vector<Shown> rows = shown_rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].name, "Alpha");
    EXPECT_EQ(rows[1].name, "alpha2");
    EXPECT_EQ(rows[2].user, "first");
    EXPECT_EQ(rows[3].user, "second");
    EXPECT_EQ(selected_row(), 2);
}

TEST_F(ViewerWindow, RefusedVaultsCloseBeforeShowingAndTheGateRunsTheLoadTwice) {
    struct Case {
        const char* what;
        std::optional<std::string> plain; // nullopt: no vault file
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"missing", std::nullopt, {kMissing, kMissing, kMissing, kMissing}},
        {"empty", "", {kRejected, kRejected}},
        {"foreign stamp",
         record_text("a", "u", "n", "p", "OTHERBOX") + record_text("b", "u", "n", "p"),
         {kRejected, kRejected}},
        {"first record without stamp",
         "NAM:a\r\nURL:u\r\nUSE:n\r\nPAS:p\r\n" + record_text("b", "u", "n", "p"),
         {kRejected, kRejected}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        remove_files();
        if (c.plain) write_vault(*c.plain);
        const std::string before = c.plain ? vault_bytes() : std::string();
        put_on_clipboard("held before");
        ModalWatcher watcher;
        EXPECT_EQ(open_viewer(), nullptr);
        EXPECT_EQ(texts_of(watcher.seen()), c.messages);
        EXPECT_EQ(clipboard_text(), std::nullopt) << "every close empties the clipboard";
        if (c.plain) {
            EXPECT_EQ(vault_bytes(), before) << "the vault stays scrambled and whole";
        }
    }
}

TEST_F(ViewerWindow, CloseBoxIsGreyedAndTheWindowMenuHoldsNoCloseCommand) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    HMENU system = GetSystemMenu(dialog, FALSE);
    EXPECT_EQ(GetMenuState(system, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    const UINT state = GetMenuState(system, viewer::kDisabledCloseId, MF_BYCOMMAND);
    ASSERT_NE(state, static_cast<UINT>(-1));
    EXPECT_EQ(state & (MF_GRAYED | MF_DISABLED), static_cast<UINT>(MF_GRAYED | MF_DISABLED));

    // The close box does nothing.
    RECT frame;
    GetWindowRect(dialog, &frame);
    const LPARAM at = MAKELPARAM(frame.right - 8, frame.top + 8);
    SendMessageW(dialog, WM_NCLBUTTONDOWN, HTCLOSE, at);
    SendMessageW(dialog, WM_NCLBUTTONUP, HTCLOSE, at);
    test_support::pump_messages(50);
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(ViewerWindow, SetCloseBoxEnabledReportsEachOutcome) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    HMENU system = GetSystemMenu(dialog, FALSE);
    struct Step {
        HWND window;
        bool enabled;
        std::int16_t result;
        bool close_command_after;
    };
    const Step steps[] = {
        {nullptr, true, -1, false}, // no window
        {dialog, false, 0, false},  // already disabled: no SC_CLOSE item left to change
        {dialog, true, 0, true},    // enabled again: identifier and state restored
        {dialog, true, 0, true},    // nothing with -10 left: nothing changes
        {dialog, false, 0, false},  // and greyed once more
    };
    for (const Step& step : steps) {
        EXPECT_EQ(viewer::SetCloseBoxEnabled(step.window, step.enabled), step.result);
        const UINT close_state = GetMenuState(system, SC_CLOSE, MF_BYCOMMAND);
        EXPECT_EQ(close_state != static_cast<UINT>(-1), step.close_command_after);
        if (step.close_command_after) {
            EXPECT_EQ(close_state & (MF_GRAYED | MF_DISABLED), 0u);
        }
    }
}

TEST_F(ViewerWindow, ClearClipboardAndCloseEmptiesWhatAnotherProgramPutThere) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    put_on_clipboard("from another program");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_VW_COMMAND2, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_VW_COMMAND2)));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(clipboard_format_count(), 0);
}

TEST_F(ViewerWindow, AnyCloseEmptiesTheClipboardEscapeIncluded) {
    write_vault(kThree);
    for (bool escape : {true, false}) {
        HWND dialog = open_viewer();
        put_on_clipboard("copied meanwhile");
        if (escape)
            command(IDCANCEL); // Escape in a dialog: as "Clear Clipboard && Close"
        else
            ui::close_window(ui::Window::Viewer); // as the exit sequence closes it
        EXPECT_FALSE(IsWindow(dialog)) << escape;
        EXPECT_EQ(clipboard_format_count(), 0) << escape;
    }
}

TEST_F(ViewerWindow, OpeningAgainShowsTheOpenViewerWithItsRowsAsTheyStand) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    select_row(0);
    command(IDC_VW_COMMAND3);                        // plain view
    write_vault(record_text("zulu", "u", "z", "p")); // the file changes; the open list does not reload
    EXPECT_EQ(open_viewer(), dialog);
    EXPECT_EQ(selected_row(), 0);
    EXPECT_EQ(cell(0, 3), "pw1");
    EXPECT_EQ(ListView_GetItemCount(list()), 3);
}

// The popup of a right press is modal: a second thread reads it and dismisses it.
TEST_F(ViewerWindow, RightPressOverTheListPopsUpTheFileMenuAndOtherButtonsDoNot) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    HMENU file = GetSubMenu(GetMenu(dialog), 0);
    for (auto [down, up, pops] :
         {std::tuple{WM_RBUTTONDOWN, WM_RBUTTONUP, true}, std::tuple{WM_LBUTTONDOWN, WM_LBUTTONUP, false},
          std::tuple{WM_MBUTTONDOWN, WM_MBUTTONUP, false}}) {
        SCOPED_TRACE(down);
        std::atomic<HMENU> seen{nullptr};
        std::atomic<bool> stop{false};
        std::thread closer([&] {
            while (!stop) {
                if (HWND popup = FindWindowW(L"#32768", nullptr); popup && IsWindowVisible(popup)) {
                    seen = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
                    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                    PostMessageW(dialog, WM_CANCELMODE, 0, 0);
                }
                Sleep(10);
            }
        });
        RECT row;
        ListView_GetItemRect(list(), 1, &row, LVIR_BOUNDS);
        const LPARAM at = MAKELPARAM(row.left + 20, (row.top + row.bottom) / 2);
        POINT screen{row.left + 20, (row.top + row.bottom) / 2};
        ClientToScreen(list(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageW(list(), down, down == WM_RBUTTONDOWN ? MK_RBUTTON : 0, at);
        PostMessageW(list(), up, 0, at);
        test_support::pump_messages(400);
        stop = true;
        closer.join();
        EXPECT_EQ(seen.load() == file, pops);
    }
}

// Presses a mouse button at a point of the list as the user does; a second
// thread answers the File menu that a right press pops up with `menu_keys`.
void press_on_list(HWND dialog, HWND list, POINT at, bool right, std::vector<WPARAM> menu_keys) {
    std::atomic<bool> stop{false};
    std::thread answerer([&] {
        while (!stop) {
            if (HWND popup = FindWindowW(L"#32768", nullptr); popup && IsWindowVisible(popup)) {
                for (WPARAM key : menu_keys) PostMessageW(popup, WM_KEYDOWN, key, 0);
                // The menu reads Return as the character its key-down becomes:
                // an Escape posted with the keys would come first.
                Sleep(menu_keys.empty() ? 0 : 200);
                if (IsWindowVisible(popup)) {
                    PostMessageW(popup, WM_KEYDOWN, VK_ESCAPE, 0);
                    PostMessageW(dialog, WM_CANCELMODE, 0, 0);
                }
                return;
            }
            Sleep(10);
        }
    });
    POINT screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    const LPARAM where = MAKELPARAM(at.x, at.y);
    PostMessageW(list, right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN, right ? MK_RBUTTON : MK_LBUTTON, where);
    PostMessageW(list, right ? WM_RBUTTONUP : WM_LBUTTONUP, 0, where);
    test_support::pump_messages(600);
    stop = true;
    answerer.join();
}

POINT middle_of_row(HWND list, int row) {
    RECT rect;
    ListView_GetItemRect(list, row, &rect, LVIR_BOUNDS);
    return {rect.left + 20, (rect.top + rect.bottom) / 2};
}

// While the list holds rows exactly one is selected: a press on the blank
// space below them keeps the selected row, and Ctrl+C copies its password.
TEST_F(ViewerWindow, APressOnBlankSpaceKeepsTheSelectedRow) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    for (bool right : {false, true}) {
        SCOPED_TRACE(right ? "right" : "left");
        select_row(2); // charlie
        POINT blank = middle_of_row(list(), 2);
        blank.y += 60;
        press_on_list(dialog, list(), blank, right, {});
        EXPECT_EQ(selected_row(), 2);
        put_on_clipboard("stale");
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDM_VW_COPY2CLIPBOARD, 1), 0); // Ctrl+C
        EXPECT_EQ(clipboard_text(), "abc");
    }
}

// The File menu of a right press acts on the row under the pointer, which the
// press has selected.
TEST_F(ViewerWindow, CopyPasswordFromTheMenuOfARightPressCopiesThatRow) {
    write_vault(kThree);
    HWND dialog = open_viewer();
    select_row(0);                                                                       // alpha
    press_on_list(dialog, list(), middle_of_row(list(), 1), true, {VK_DOWN, VK_RETURN}); // bravo, first item
    EXPECT_EQ(selected_row(), 1);
    EXPECT_EQ(clipboard_text(), "Secret9");
}

} // namespace
