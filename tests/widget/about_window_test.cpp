// frnAbout as a real window: its texts, its frame, and the links that close it.
#include "platform/window.h"
#include "resource_ids.h"
#include "widget/about_window.h"
#include "widget_test_support.h"

#include <commctrl.h>

using namespace widget_test;

namespace {

void click(HWND control) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    test_support::pump_messages(20);
}

class About : public testing::Test {
protected:
    void TearDown() override { destroy_all_windows(); }
};

TEST_F(About, ShowsTheMakerTheSloganAndTheTwoLinks) {
    HWND about = open(app::Window::About);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(platform::window_text(about), "About us...");
    const struct {
        int id;
        const char* text;
    } labels[] = {
        {IDC_ABOUT_LABEL4, "Quillock Works"},
        {IDC_ABOUT_LABEL5, "Software that stands out from the rest!"},
        {IDC_ABOUT_LABEL3, "Quillock Works on-line support and contact..."},
        {IDC_ABOUT_LABEL1, "quillock.example..."},
    };
    for (const auto& label : labels) EXPECT_EQ(platform::item_text(about, label.id), label.text);
    EXPECT_STREQ(widget::kMakerSite, "https://works.quillock.example/");
    EXPECT_STREQ(widget::kProductSite, "https://quillock.example/");
}

TEST_F(About, IsAFixedToolWindowOfItsLayoutSize) {
    HWND about = open(app::Window::About);
    ASSERT_NE(about, nullptr);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(about, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(about, GWL_EXSTYLE));
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    RECT client{};
    GetClientRect(about, &client);
    EXPECT_EQ(client.right, platform::scale(370));
    EXPECT_EQ(client.bottom, platform::scale(222));
    // The picture starts above the client area: its top is cut off.
    RECT image{};
    GetWindowRect(GetDlgItem(about, IDC_ABOUT_IMAGE1), &image);
    MapWindowPoints(nullptr, about, reinterpret_cast<POINT*>(&image), 2);
    EXPECT_EQ(image.top, platform::scale(-32));
    EXPECT_EQ(image.bottom - image.top, platform::scale(201));
}

TEST_F(About, EachLinkClosesTheWindowAndTheOtherTextsDoNot) {
    const struct {
        int id;
        bool closes;
    } controls[] = {
        {IDC_ABOUT_IMAGE1, true},  {IDC_ABOUT_LABEL3, true},  {IDC_ABOUT_LABEL1, true},
        {IDC_ABOUT_LABEL4, false}, {IDC_ABOUT_LABEL5, false}, {IDC_ABOUT_LINE1, false},
    };
    for (const auto& control : controls) {
        HWND about = open(app::Window::About);
        ASSERT_NE(about, nullptr);
        click(GetDlgItem(about, control.id));
        // The shell opens nothing here; the window closes all the same.
        EXPECT_EQ(app::is_loaded(app::Window::About), !control.closes) << control.id;
    }
}

TEST_F(About, OpeningItAgainBringsTheSameWindowForward) {
    HWND first = open(app::Window::About);
    EXPECT_EQ(open(app::Window::About), first);
}

} // namespace
