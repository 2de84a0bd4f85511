// The widget's windows as a keyboard user meets them: where the About and
// startup windows open, the About links reached with Tab and opened with
// Enter or Space, the add-entry dialog opening clear of the widget, and the
// About window's texts readable in every scheme of colours.
#include "colour_pairs.h"
#include "reader_view.h"
#include "resource_ids.h"
#include "widget_test_support.h"

#include <optional>

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

// A reader hears each About link as a link, and its default action follows
// the link as Enter, Space and a click do (key 0 below).
TEST_F(KeyboardAndPlacement, TabReachesBothAboutLinksAndEnterSpaceOrAReaderOpensTheOneWithTheKeyboard) {
    for (WPARAM key : {VK_RETURN, VK_SPACE, 0}) {
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
            if (key) {
                press(GetFocus(), key);
            } else {
                const auto reader = test_support::accessible_object(GetDlgItem(about, link));
                ASSERT_TRUE(reader);
                EXPECT_EQ(test_support::role_of(reader.get()), ROLE_SYSTEM_LINK);
                EXPECT_EQ(reader->accDoDefaultAction(test_support::self()), S_OK);
                test_support::pump_messages(50, test_support::Dispatch::AsTheProgram);
            }
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

// Every text of the About window reads on the background it is drawn on
// (4.5:1) in the usual scheme, in a high-contrast scheme and in a dark one
// without high contrast, and the window's background is the one its texts
// are drawn on. In the usual scheme it looks as it always has: black on white
// with blue links; under high contrast the links take the system's link colour.
TEST_F(KeyboardAndPlacement, AboutTextsReadOnTheirBackgroundInEveryScheme) {
    const struct {
        const char* scheme;
        bool high_contrast;
        std::initializer_list<std::pair<int, COLORREF>> colours; // high contrast comes with its own
    } schemes[] = {
        {"usual", false, {}},
        {"high contrast", true, {}},
        {"dark", false, {{COLOR_WINDOW, RGB(32, 32, 32)}, {COLOR_WINDOWTEXT, RGB(240, 240, 240)}}},
    };
    for (const auto& scheme : schemes) {
        SCOPED_TRACE(scheme.scheme);
        const bool usual = !scheme.high_contrast && scheme.colours.size() == 0;
        const test_support::SystemColours colours(scheme.colours);
        HWND about = open(ui::Window::About);
        ASSERT_NE(about, nullptr);
        const test_support::HighContrastOn high_contrast(about, scheme.high_contrast);

        const COLORREF window_back = test_support::colours_chosen(about, nullptr, WM_CTLCOLORDLG).back;
        EXPECT_EQ(window_back, GetSysColor(COLOR_WINDOW));
        for (int id : {IDC_ABOUT_LABEL4, IDC_ABOUT_LABEL5, IDC_ABOUT_LABEL3, IDC_ABOUT_LABEL1}) {
            const test_support::ColourPair pair = test_support::colours_chosen(about, GetDlgItem(about, id));
            EXPECT_EQ(pair.back, window_back) << id;
            EXPECT_GE(platform::contrast_ratio(pair.text, pair.back), platform::kReadableContrast) << id;
            const bool link = id == IDC_ABOUT_LABEL3 || id == IDC_ABOUT_LABEL1;
            if (usual) {
                EXPECT_EQ(pair.text, link ? RGB(0, 0, 255) : GetSysColor(COLOR_WINDOWTEXT));
            } else if (scheme.high_contrast) {
                EXPECT_EQ(pair.text, GetSysColor(link ? COLOR_HOTLIGHT : COLOR_WINDOWTEXT)) << id;
            }
        }
        if (usual) {
            EXPECT_EQ(window_back, RGB(255, 255, 255));
        }
        DestroyWindow(about);
    }
}

} // namespace
