// The list's columns fill its width beside the vertical scroll bar, so no
// horizontal scroll bar hides the last rows while the columns fit.
#include "viewer_test_support.h"

using namespace viewer_test;

namespace {

class ListColumns : public ViewerTest {
protected:
    static bool has_style(HWND window, LONG style) { return (GetWindowLongW(window, GWL_STYLE) & style) != 0; }
    static int columns_width() {
        int width = 0;
        for (int i = 0; i < 4; ++i) width += ListView_GetColumnWidth(list(), i);
        return width;
    }
    static int client_width() {
        RECT client{};
        GetClientRect(list(), &client);
        return client.right;
    }
};

TEST_F(ListColumns, FillTheRoomBesideTheVerticalScrollBarAtEveryFontSize) {
    const struct {
        int rows;
        int font_command; // 0: the default size
        bool scrolls;
    } cases[] = {
        {3, 0, false},
        {60, 0, true},
        {12, IDM_VW_EXTREMEFONTSIZE, true},
        {60, IDM_VW_SMALLERFONT, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, font command " << c.font_command);
        std::string plain;
        for (int i = 0; i < c.rows; ++i) plain += record_text("name " + std::to_string(100 + i), "url", "user", "pw");
        write_vault(plain);
        ASSERT_NE(open_viewer(), nullptr);
        if (c.font_command) command(c.font_command);
        test_support::pump_messages(50);
        EXPECT_EQ(has_style(list(), WS_VSCROLL), c.scrolls);
        EXPECT_FALSE(has_style(list(), WS_HSCROLL));
        EXPECT_EQ(columns_width(), client_width()) << "the last column takes the room the others leave";
        DestroyWindow(viewer());
        test_support::pump_messages(20);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillock"); // the font size is remembered
    }
}

} // namespace
