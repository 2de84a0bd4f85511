// The widget's windows as a keyboard user meets them: where the About and
// startup windows open, the About links reached with Tab and opened with
// Enter or Space, and the add-entry dialog opening clear of the widget.
#include "resource_ids.h"
#include "widget_test_support.h"

using namespace widget_test;

namespace {

void press(HWND control, WPARAM key) {
    PostMessageW(control, WM_KEYDOWN, key, 1);
    PostMessageW(control, WM_KEYUP, key, 0xC0000001);
    test_support::pump_messages(50, test_support::Dispatch::AsTheProgram);
}

RECT work_area() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class KeyboardAndPlacement : public testing::Test {
protected:
    void SetUp() override { forget_position(); }
    void TearDown() override {
        destroy_all_windows();
        forget_position();
    }
};

TEST_F(KeyboardAndPlacement, AboutAndStartupWindowsOpenCentredOnTheWorkArea) {
    const RECT work = work_area();
    for (ui::Window window : {ui::Window::About, ui::Window::Startup}) {
        HWND hwnd = open(window);
        ASSERT_NE(hwnd, nullptr);
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        EXPECT_NEAR((rect.left + rect.right) / 2, (work.left + work.right) / 2, 1);
        EXPECT_NEAR((rect.top + rect.bottom) / 2, (work.top + work.bottom) / 2, 1);
        DestroyWindow(hwnd);
    }
}

TEST_F(KeyboardAndPlacement, TabReachesBothAboutLinksAndEnterOrSpaceOpensTheOneWithTheKeyboard) {
    for (WPARAM key : {VK_RETURN, VK_SPACE}) {
        for (int link : {IDC_ABOUT_LABEL3, IDC_ABOUT_LABEL1}) {
            SCOPED_TRACE(testing::Message() << "key " << key << ", link " << link);
            HWND about = open(ui::Window::About);
            ASSERT_NE(about, nullptr);
            SetForegroundWindow(about);
            test_support::pump_messages(50, test_support::Dispatch::AsTheProgram);
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDC_ABOUT_LABEL3)) << "the first link has the keyboard";
            press(GetFocus(), VK_TAB);
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDC_ABOUT_LABEL1));
            press(GetFocus(), VK_TAB);
            EXPECT_EQ(GetFocus(), GetDlgItem(about, IDC_ABOUT_LABEL3)) << "Tab goes round the two links";
            SetFocus(GetDlgItem(about, link));
            press(GetFocus(), key);
            EXPECT_FALSE(ui::is_loaded(ui::Window::About)) << "a link opened closes the window, as a click does";
        }
    }
}

TEST_F(KeyboardAndPlacement, AddEntryDialogOpensBesideTheWidgetAtTheScreensCentre) {
    HWND widget = open(ui::Window::Widget); // no stored position: the screen's centre
    ASSERT_NE(widget, nullptr);
    HWND dialog = open(ui::Window::AddEntry);
    ASSERT_NE(dialog, nullptr);
    RECT widget_place{}, dialog_place{}, overlap{};
    GetWindowRect(widget, &widget_place);
    GetWindowRect(dialog, &dialog_place);
    EXPECT_FALSE(IntersectRect(&overlap, &widget_place, &dialog_place)) << "the widget stays reachable";
    RECT inside{};
    const RECT work = work_area();
    IntersectRect(&inside, &dialog_place, &work);
    EXPECT_TRUE(EqualRect(&inside, &dialog_place)) << "the dialog stays on the work area";
}

} // namespace
