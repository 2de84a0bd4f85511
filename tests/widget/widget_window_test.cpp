// frmMain as a real window: its shape against the shipped skin, its owner,
// and the position it restores and saves.
#include "reader_view.h"
#include "resource_ids.h"
#include "widget_test_support.h"

#include <cstdint>
#include <vector>

using namespace widget_test;

namespace {

// The skin resource read back through GDI as 0x00RRGGBB, rows from the top.
std::vector<std::uint32_t> shipped_skin(int* width, int* height) {
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP size{};
    GetObjectW(bitmap, sizeof size, &size);
    *width = size.bmWidth;
    *height = size.bmHeight;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(*width) * *height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, *width, -*height, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, *height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (auto& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

RECT window_rect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

class Widget : public testing::Test {
protected:
    void SetUp() override { forget_position(); }
    void TearDown() override {
        destroy_all_windows();
        forget_position();
    }
};

TEST_F(Widget, ShapeIsExactlyTheOpaquePixelsOfTheShippedSkin) {
    int width = 0, height = 0;
    const auto skin = shipped_skin(&width, &height);
    ASSERT_EQ(width, 85);
    ASSERT_EQ(height, 85);
    ASSERT_EQ(skin[0], 0xFF0000u) << "the surround is the red key colour";

    HWND widget = open(ui::Window::Widget);
    ASSERT_NE(widget, nullptr);
    const RECT rect = window_rect(widget);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(widget, region), COMPLEXREGION);
    long opaque = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool drawn = skin[static_cast<size_t>(y) * width + x] != 0xFF0000u;
            opaque += drawn;
            ASSERT_EQ(PtInRegion(region, x, y) != FALSE, drawn) << "pixel " << x << "," << y;
        }
    EXPECT_GT(opaque, 1000) << "a drawing, not a speck";
    EXPECT_LT(opaque, width * height / 2) << "the desktop shows around the keys";
    DeleteObject(region);
}

// The shell gives a taskbar button to a shown window that has no owner (or
// has WS_EX_APPWINDOW), and the switcher leaves out tool windows and lists an
// owned one as its root owner's last active popup. No shell runs here, so the
// rule is shown on what the shell reads.
TEST_F(Widget, IsOwnedByAHiddenWindowSoAltTabReachesItAndTheTaskbarDoesNot) {
    HWND widget = open(ui::Window::Widget);
    ASSERT_NE(widget, nullptr);
    const auto ex_style = GetWindowLongPtrW(widget, GWL_EXSTYLE);
    EXPECT_FALSE(ex_style & WS_EX_TOOLWINDOW) << "a tool window is left out of Alt+Tab";
    EXPECT_FALSE(ex_style & WS_EX_APPWINDOW) << "that would put it on the taskbar";
    EXPECT_TRUE(IsWindowVisible(widget));

    HWND owner = GetWindow(widget, GW_OWNER);
    ASSERT_NE(owner, nullptr) << "an unowned window gets a taskbar button";
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_EQ(GetAncestor(widget, GA_ROOTOWNER), owner);
    EXPECT_EQ(GetWindowLongPtrW(owner, GWL_EXSTYLE) & (WS_EX_APPWINDOW | WS_EX_TOOLWINDOW), 0)
        << "a tool window as root owner takes the windows it owns out of Alt+Tab";
    EXPECT_EQ(GetWindowThreadProcessId(owner, nullptr), GetCurrentThreadId());
    EXPECT_EQ(GetLastActivePopup(owner), widget) << "the switcher shows the owner's last active popup";

    DestroyWindow(widget);
    test_support::pump_messages(20);
    EXPECT_FALSE(IsWindow(owner)) << "the owner goes with the widget";
}

TEST_F(Widget, RestoresTheStoredPositionFromTheLeadingNumber) {
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const struct {
        const char *x, *y; // nullptr: nothing stored
        int left, top;
    } cases[] = {
        {"1500", "3000", pixels(1500), pixels(3000)},
        {"1500.6xyz", " 750", pixels(1500.6), pixels(750)},
        {"abc", "", 0, 0},
        {"-15", "-30", pixels(-15), pixels(-30)}, // partly off the screen but shown: left there
        {nullptr, nullptr, GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2},
        {"9999999", "3000", work.right - 85, pixels(3000)}, // no monitor shows it: onto the nearest
        {"-9999999", "-9999999", work.left, work.top},
    };
    for (const auto& c : cases) {
        forget_position();
        if (c.x) store_position_text("frmMain.X", c.x);
        if (c.y) store_position_text("frmMain.Y", c.y);
        HWND widget = open(ui::Window::Widget);
        ASSERT_NE(widget, nullptr);
        const RECT rect = window_rect(widget);
        EXPECT_EQ(rect.left, c.left) << (c.x ? c.x : "-");
        EXPECT_EQ(rect.top, c.top) << (c.y ? c.y : "-");
        DestroyWindow(widget);
    }
}

// The system's close (Alt+F4) ends the run as Exit does: without the widget
// no watch would close the other windows at a lock or a pulled stick.
TEST_F(Widget, ClosingSavesThePositionInWholeTwipsAndEndsTheRun) {
    HWND widget = open(ui::Window::Widget);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(ui::load_window(ui::Window::MenuHost));
    ASSERT_TRUE(ui::load_window(ui::Window::About));
    // Further right than 16-bit twips reach (32767 twips is 2184 pixels at 96 dpi).
    SetWindowPos(widget, nullptr, 2500, 37, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ui::close_window(ui::Window::Widget);
    test_support::pump_messages(20);

    EXPECT_FALSE(ui::is_loaded(ui::Window::Widget));
    EXPECT_EQ(stored_position_text("frmMain.X"), std::to_string(twips(2500)));
    EXPECT_EQ(stored_position_text("frmMain.Y"), std::to_string(twips(37)));
    EXPECT_FALSE(ui::any_window()) << "the About window and the menu host go too";
}

// The widget's accessible object is one COM object: every interface it hands
// out answers the same IUnknown and, asked for IAccessible, the widget's own
// answers. A reader walks its children by count, not by an enumeration. Once
// the widget has gone, the object does nothing on it.
TEST_F(Widget, AccessibleObjectIsOneObjectAndDoesNothingOnceTheWidgetHasGone) {
    HWND widget = open(ui::Window::Widget);
    ASSERT_NE(widget, nullptr);
    HWND skin = GetDlgItem(widget, IDC_WIDGET_SKIN);
    const auto reader = test_support::accessible_object(skin);
    ASSERT_TRUE(reader);
    const auto ask = [](IUnknown* object, REFIID id) {
        IUnknown* answer = nullptr;
        if (FAILED(object->QueryInterface(id, reinterpret_cast<void**>(&answer)))) answer = nullptr;
        return test_support::com_ptr<IUnknown>(answer);
    };
    const auto identity = ask(reader.get(), __uuidof(IUnknown));
    for (const IID& id : {__uuidof(IUnknown), __uuidof(IDispatch), __uuidof(IAccessible), __uuidof(IOleWindow),
                          __uuidof(IEnumVARIANT)}) {
        const auto face = ask(reader.get(), id);
        if (!face) continue;
        SCOPED_TRACE(testing::Message() << "interface " << id.Data1);
        EXPECT_EQ(ask(face.get(), __uuidof(IUnknown)).get(), identity.get());
        const auto again = ask(face.get(), __uuidof(IAccessible));
        EXPECT_EQ(test_support::name_of(static_cast<IAccessible*>(again.get())), L"Quillock");
    }
    EXPECT_FALSE(ask(reader.get(), __uuidof(IEnumVARIANT)));
    const auto window = ask(reader.get(), __uuidof(IOleWindow));
    ASSERT_TRUE(window);
    HWND answered = nullptr;
    EXPECT_EQ(static_cast<IOleWindow*>(window.get())->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, skin);

    DestroyWindow(widget);
    EXPECT_EQ(test_support::name_of(reader.get()), L"");
    EXPECT_EQ(reader->accDoDefaultAction(test_support::self()), CO_E_OBJNOTCONNECTED);
}

} // namespace
