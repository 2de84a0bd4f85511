// Every caption of every window shows whole in the font its control draws
// with: a single-line caption fits the control's width, a word-wrapped label
// its height. Run once at the screen's usual 96 dpi and once at 144 dpi.
#include "access/run_state.h"
#include "ui/window_registry.h"
#include "modal_watcher.h"
#include "platform/dialogs.h"
#include "platform/text.h"
#include "platform/unique_handle.h"
#include "platform/window.h"
#include "viewer_test_support.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

std::wstring class_of(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring caption_of(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The size DrawText gives the caption in the control's own font: one line, or
// wrapped at `width`.
SIZE drawn_size(HWND control, const std::wstring& text, UINT format, int width) {
    platform::window_dc dc(control);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    const platform::selected_object selected(dc.get(), font ? font : GetStockObject(SYSTEM_FONT));
    RECT rect{0, 0, width, 0};
    DrawTextW(dc.get(), text.c_str(), -1, &rect, format | DT_CALCRECT | DT_EXPANDTABS);
    return {rect.right, rect.bottom};
}

int zero_width(HWND control) { return drawn_size(control, L"0", DT_SINGLELINE, 0).cx; }

// What a control leaves for its caption, and how the caption is laid out
// there; false for controls whose text the user types or that show none.
struct TextRoom {
    SIZE room;
    bool wraps;
};
bool text_room(HWND control, TextRoom& out) {
    RECT client{};
    GetClientRect(control, &client);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    const std::wstring kind = class_of(control);
    const int dpi = platform::screen_dpi();
    if (kind == L"Static") {
        const DWORD type = style & SS_TYPEMASK;
        if (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT)
            out = {{client.right, client.bottom}, true};
        else if (type == SS_LEFTNOWORDWRAP || type == SS_SIMPLE)
            out = {{client.right, client.bottom}, false};
        else
            return false; // pictures, frames, owner-drawn
        return true;
    }
    if (kind != L"Button") return false;
    const DWORD type = style & BS_TYPEMASK;
    const bool multiline = style & BS_MULTILINE;
    switch (type) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON: {
        // The button's edge and the focus rectangle inside it.
        const int edge = MulDiv(4, dpi, 96);
        out = {{client.right - 2 * edge, client.bottom - 2 * edge}, multiline};
        return true;
    }
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: {
        // The box, then half a digit's width before the text.
        const int box = MulDiv(12, dpi, 96) + 1 + zero_width(control) / 2;
        out = {{client.right - box, client.bottom}, multiline};
        return true;
    }
    case BS_GROUPBOX:
        // The caption sits in the frame's top line, a little in from either corner.
        out = {{client.right - 2 * zero_width(control), client.bottom}, false};
        return true;
    }
    return false;
}

// "id 'caption' needs WxH, has WxH" for each caption cut short.
std::vector<std::string> cut_captions(HWND window) {
    std::vector<HWND> controls;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::string> cut;
    for (HWND control : controls) {
        // A control placed wholly outside the client area is never seen.
        RECT place{}, seen{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
        if (!IntersectRect(&seen, &place, &client)) continue;
        const std::wstring caption = caption_of(control);
        TextRoom room{};
        if (caption.empty() || !text_room(control, room)) continue;
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
        const bool no_prefix = class_of(control) == L"Static" && (style & SS_NOPREFIX);
        const UINT format = (room.wraps ? DT_WORDBREAK : DT_SINGLELINE) | (no_prefix ? DT_NOPREFIX : 0);
        const SIZE need = drawn_size(control, caption, format, room.room.cx);
        if (need.cx <= room.room.cx && need.cy <= room.room.cy) continue;
        std::string line = "id " + std::to_string(GetDlgCtrlID(control)) + " '" + platform::to_ansi(caption) +
                           "' needs " + std::to_string(need.cx) + "x" + std::to_string(need.cy) + ", has " +
                           std::to_string(room.room.cx) + "x" + std::to_string(room.room.cy);
        // For a wrapped label: the width at which its lines fit its height.
        for (int width = room.room.cx + 1; room.wraps && width <= 3 * room.room.cx; ++width) {
            if (drawn_size(control, caption, format, width).cy > room.room.cy) continue;
            line += "; its lines fit at a width of " + std::to_string(width);
            break;
        }
        cut.push_back(line);
    }
    return cut;
}

// The visible dialog box of the thread, once it is there.
HWND wait_for_box(DWORD thread, const std::atomic<bool>& stop) {
    while (!stop) {
        HWND found = nullptr;
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM out) {
                if (class_of(window) != L"#32770" || !IsWindowVisible(window)) return TRUE;
                *reinterpret_cast<HWND*>(out) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found) return found;
        Sleep(10);
    }
    return nullptr;
}

// Opens a modal box with `open`, measures it from another thread while it
// runs, then closes it with OK.
std::vector<std::string> cut_captions_of_modal(const std::function<void()>& open) {
    std::vector<std::string> cut;
    std::atomic<bool> stop{false};
    std::thread measurer([&, thread = GetCurrentThreadId()] {
        HWND box = wait_for_box(thread, stop);
        if (!box) return;
        Sleep(50); // let the box finish its own set-up
        cut = cut_captions(box);
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
    open();
    stop = true;
    measurer.join();
    return cut;
}

class TextFit : public viewer_test::ViewerTest {
protected:
    void TearDown() override {
        for (auto window :
             {ui::Window::Password, ui::Window::About, ui::Window::Startup, ui::Window::Widget, ui::Window::MenuHost})
            if (HWND hwnd = ui::find_window(window)) DestroyWindow(hwnd);
        ViewerTest::TearDown();
    }
    static HWND shown(ui::Window window) {
        ui::show_window(window);
        test_support::pump_messages(20);
        return ui::find_window(window);
    }
};

std::string listed(const std::vector<std::string>& cut) {
    std::string text;
    for (const std::string& line : cut) text += "\n  " + line;
    return text;
}

TEST_F(TextFit, EveryModelessWindowShowsItsCaptionsWhole) {
    RecordProperty("dpi", platform::screen_dpi());
    write_vault(viewer_test::record_text("Mail account", "https://mail.example.com", "ann.smith", "Blue7-Tide"));
    const struct {
        const char* name;
        ui::Window window;
    } windows[] = {
        {"entry-password dialog", ui::Window::Password},
        {"widget", ui::Window::Widget},
        {"menu host", ui::Window::MenuHost},
        {"About window", ui::Window::About},
        {"startup window", ui::Window::Startup},
        {"add-entry dialog", ui::Window::AddEntry},
        {"viewer", ui::Window::Viewer},
    };
    for (const auto& w : windows) {
        if (w.window == ui::Window::Viewer) {
            qlk_access::run_state().computer_name = viewer_test::kStamp; // the entry dialog set the real one
            ui::load_window(ui::Window::Viewer);                         // as the gate opens it
        }
        HWND window = shown(w.window);
        ASSERT_NE(window, nullptr) << w.name;
        const auto cut = cut_captions(window);
        EXPECT_TRUE(cut.empty()) << w.name << " at " << platform::screen_dpi() << " dpi:" << listed(cut);
    }
}

TEST_F(TextFit, InputAndMessageBoxesShowTheirTextsWhole) {
    const platform::InputArgs inputs[] = {
        {.prompt = "Please enter your master entry password", .title = "Get Master Password", .masked = true},
        {.prompt = "Please enter your new entry password AGAIN", .title = "New Entry Password AGAIN to confirm..."},
        {.prompt = "New Idenifier Name:", .title = "Change name", .default_text = "Mail account"},
    };
    for (const auto& input : inputs) {
        const auto cut = cut_captions_of_modal([&] { platform::input_box(input); });
        EXPECT_TRUE(cut.empty()) << input.title << ":" << listed(cut);
    }
    const auto cut = cut_captions_of_modal([] { platform::show_message(viewer_test::kRejected); });
    EXPECT_TRUE(cut.empty()) << "message box:" << listed(cut);
}

} // namespace
