// frmMain as a real window: its shape against the shipped skin, its style, and
// the position it restores and saves.
#include "resource_ids.h"
#include "widget_test_support.h"

#include <commctrl.h>

#include <cstdint>
#include <vector>

using namespace widget_test;

namespace {

constexpr std::uint32_t kRed = 0xFF0000; // 0x00RRGGBB

// The skin resource itself, read back through GDI: rows from the top.
struct Skin {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF; }
};

Skin read_shipped_skin() {
    Skin skin;
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_SKIN), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP size{};
    if (!bitmap || !GetObjectW(bitmap, sizeof size, &size)) return skin;
    skin.width = size.bmWidth;
    skin.height = size.bmHeight;
    skin.pixels.resize(static_cast<size_t>(skin.width) * skin.height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, skin.width, -skin.height, 1, 32, BI_RGB};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, skin.height, skin.pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    return skin;
}

std::string tooltip_text_of(HWND owner) {
    struct Found {
        HWND owner;
        std::wstring text;
    } found{owner, L""};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lparam) -> BOOL {
            auto* f = reinterpret_cast<Found*>(lparam);
            wchar_t name[64] = {};
            GetClassNameW(window, name, 64);
            if (std::wstring(name) != TOOLTIPS_CLASSW || GetWindow(window, GW_OWNER) != f->owner) return TRUE;
            wchar_t text[256] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            if (SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) f->text = text;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return std::string(found.text.begin(), found.text.end());
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
    const Skin skin = read_shipped_skin();
    ASSERT_EQ(skin.width, 85);
    ASSERT_EQ(skin.height, 85);
    ASSERT_EQ(skin.at(0, 0), kRed) << "the surround is the red key colour";

    HWND widget = open(app::Window::Widget);
    ASSERT_NE(widget, nullptr);
    const RECT rect = window_rect(widget);
    EXPECT_EQ(rect.right - rect.left, 85);
    EXPECT_EQ(rect.bottom - rect.top, 85);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetWindowRgn(widget, region), COMPLEXREGION);
    long opaque = 0;
    for (int y = 0; y < skin.height; ++y)
        for (int x = 0; x < skin.width; ++x) {
            const bool drawn = skin.at(x, y) != kRed;
            opaque += drawn;
            ASSERT_EQ(PtInRegion(region, x, y) != FALSE, drawn) << "pixel " << x << "," << y;
        }
    EXPECT_GT(opaque, 1000) << "a drawing, not a speck";
    EXPECT_LT(opaque, 85 * 85 / 2) << "the desktop shows around the keys";

    // The region's own rectangles cover exactly that many pixels, nothing twice.
    std::vector<char> data(GetRegionData(region, 0, nullptr));
    auto* header = reinterpret_cast<RGNDATA*>(data.data());
    ASSERT_GT(GetRegionData(region, static_cast<DWORD>(data.size()), header), 0u);
    const auto* rects = reinterpret_cast<const RECT*>(header->Buffer);
    long area = 0;
    for (DWORD i = 0; i < header->rdh.nCount; ++i)
        area += (rects[i].right - rects[i].left) * (rects[i].bottom - rects[i].top);
    EXPECT_EQ(area, opaque);
    DeleteObject(region);
}

TEST_F(Widget, IsABorderlessToolWindowWithTheSkinTip) {
    HWND widget = open(app::Window::Widget);
    ASSERT_NE(widget, nullptr);
    wchar_t class_name[32] = {}, title[32] = {};
    GetClassNameW(widget, class_name, 32);
    GetWindowTextW(widget, title, 32);
    EXPECT_STREQ(class_name, L"frmMain");
    EXPECT_STREQ(title, L"Quillock");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(widget, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(widget, GWL_EXSTYLE));
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW) << "not in the taskbar";
    EXPECT_FALSE(ex_style & WS_EX_TOPMOST) << "tmOnTop stays off: an ordinary window";
    EXPECT_TRUE(IsWindowVisible(widget));
    EXPECT_EQ(tooltip_text_of(widget), "Double click or right mouse down for the menu...");
    // The skin takes the keyboard when the widget is active, so that Escape reaches it.
    EXPECT_EQ(GetFocus(), GetDlgItem(widget, IDC_WIDGET_SKIN));
}

TEST_F(Widget, RestoresTheStoredPositionFromTheLeadingNumber) {
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT work = monitor.rcWork;
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    const struct {
        const char *x, *y; // nullptr: nothing stored
        int left, top;
    } cases[] = {
        {"1500", "3000", pixels(1500), pixels(3000)},
        {"1500.6xyz", " 750", pixels(1500.6), pixels(750)},
        {"abc", "", 0, 0},
        {"-15", "-30", pixels(-15), pixels(-30)}, // partly off the screen but shown: left there
        {nullptr, nullptr, screen_w / 2, screen_h / 2},
        {"9999999", "3000", work.right - 85, pixels(3000)}, // no monitor shows it: onto the nearest
        {"-9999999", "-9999999", work.left, work.top},
        {"600", "99999", pixels(600), work.bottom - 85},
    };
    for (const auto& c : cases) {
        forget_position();
        if (c.x) store_position_text("frmMain.X", c.x);
        if (c.y) store_position_text("frmMain.Y", c.y);
        HWND widget = open(app::Window::Widget);
        ASSERT_NE(widget, nullptr);
        const RECT rect = window_rect(widget);
        const bool shown = MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
        EXPECT_TRUE(shown) << (c.x ? c.x : "-") << " / " << (c.y ? c.y : "-");
        EXPECT_EQ(rect.left, c.left) << (c.x ? c.x : "-");
        EXPECT_EQ(rect.top, c.top) << (c.y ? c.y : "-");
        DestroyWindow(widget);
    }
}

TEST_F(Widget, ClosingSavesThePositionInWholeTwipsAndClosesOnlyItsMenuHost) {
    HWND widget = open(app::Window::Widget);
    ASSERT_NE(widget, nullptr);
    ASSERT_TRUE(app::load_window(app::Window::MenuHost));
    HWND about = open(app::Window::About);
    ASSERT_NE(about, nullptr);
    // Further right than 16-bit twips reach (32767 twips is 2184 pixels at 96 dpi).
    SetWindowPos(widget, nullptr, 2500, 37, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    app::close_window(app::Window::Widget);
    test_support::pump_messages(20);

    EXPECT_FALSE(app::is_loaded(app::Window::Widget));
    EXPECT_EQ(stored_position_text("frmMain.X"), std::to_string(twips(2500)));
    EXPECT_EQ(stored_position_text("frmMain.Y"), std::to_string(twips(37)));
    EXPECT_TRUE(app::is_loaded(app::Window::About)) << "the system's close command closes no other window";
    EXPECT_FALSE(app::is_loaded(app::Window::MenuHost)) << "the hidden host would keep an invisible run alive";
}

TEST_F(Widget, ASecondShowBringsTheSameWindowForward) {
    HWND first = open(app::Window::Widget);
    HWND second = open(app::Window::Widget);
    EXPECT_EQ(first, second);
}

} // namespace
