// The owner steps away: a locked or disconnected session, sleep, or the idle
// limit on the program's clock closes the viewer, whatever box it has open,
// and takes the print file along and the program's own copy on the clipboard,
// but not what the user copied elsewhere since. The program's drive going
// away does the same and then ends the run as Exit does. Wine never sends the
// session, power and volume messages, so they reach the widget here as
// Windows sends them.
#include "access/settings_store.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "viewer_test_support.h"
#include "widget/away_watch.h"
#include "widget/drive_watch.h"

#include <dbt.h>
#include <wtsapi32.h>

#include <algorithm>
#include <cctype>
#include <functional>

using namespace viewer_test;

namespace {

constexpr int kInputTextId = 102; // the input box's edit control
constexpr ULONGLONG kMinute = 60'000;
constexpr char kPositionKey[] = "Software\\VB and VBA Program Settings\\QLK\\FormPosInfo";

// The dialog-class windows of a thread that are shown: the forms and the boxes.
std::vector<HWND> shown_dialogs(DWORD thread) {
    std::vector<HWND> found;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM lparam) {
            wchar_t name[8] = {};
            GetClassNameW(window, name, 8);
            if (std::wstring_view(name) == L"#32770" && IsWindowVisible(window))
                reinterpret_cast<std::vector<HWND>*>(lparam)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// On a second thread: waits for a box of the calling thread (a dialog window
// that was not up at the start), types into it when it is an input box, then
// sets off `event` as the owner's absence would while the box is up. A box
// the event leaves open is cancelled here, so that the test goes on, and
// counted; so is any box that comes up after it, until stop().
class EventWhileBoxIsUp {
public:
    explicit EventWhileBoxIsUp(std::function<void()> event)
        : thread_(
              [this, ui = GetCurrentThreadId(), forms = shown_dialogs(GetCurrentThreadId()), event = std::move(event)] {
                  const auto new_box = [&] {
                      for (HWND shown : shown_dialogs(ui))
                          if (std::find(forms.begin(), forms.end(), shown) == forms.end()) return shown;
                      return HWND{};
                  };
                  HWND box = nullptr;
                  for (int i = 0; i < 500 && !(box = new_box()); ++i) Sleep(10);
                  if (!box) return;
                  seen_ = true;
                  Sleep(20); // the box finishes its own set-up
                  if (HWND edit = GetDlgItem(box, kInputTextId)) SetWindowTextW(edit, L"half typed");
                  event();
                  for (int i = 0; i < 500 && IsWindowVisible(box); ++i) Sleep(10);
                  for (HWND up = nullptr; !done_; Sleep(10)) {
                      if (!(up = new_box())) continue;
                      wchar_t text[512] = {};
                      GetDlgItemTextW(up, 0xFFFF, text, 512); // a message box's text
                      if (up == box)
                          left_open_ = true;
                      else
                          followed_ = platform::to_ansi(text);
                      PostMessageW(up, WM_COMMAND, IDCANCEL, 0);
                      for (int i = 0; i < 500 && IsWindowVisible(up); ++i) Sleep(10);
                  }
              }) {}
    ~EventWhileBoxIsUp() { stop(); }
    // Once the command that showed the box has returned: whatever it showed has been seen.
    void stop() {
        done_ = true;
        if (thread_.joinable()) thread_.join();
    }
    bool seen() const { return seen_; }
    bool left_open() const { return left_open_; }
    const std::string& followed() const { return followed_; } // the message of a box after it

private:
    std::atomic<bool> seen_{false}, left_open_{false}, done_{false};
    std::string followed_ = "";
    std::thread thread_;
};

// Counts the dialog-class windows of this thread that are told IDCANCEL
// while they exist: under Wine the destruction of the viewer alone would end
// its box too, returning 0, so this is what shows that each box was cancelled
// on purpose, through its own Cancel handling.
class CancelSpy {
public:
    CancelSpy() { hook_ = SetWindowsHookExW(WH_CALLWNDPROC, on_message, nullptr, GetCurrentThreadId()); }
    ~CancelSpy() {
        UnhookWindowsHookEx(hook_);
        count_ = 0;
    }
    CancelSpy(const CancelSpy&) = delete;
    CancelSpy& operator=(const CancelSpy&) = delete;
    int cancelled() const { return count_; }

private:
    static LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
        if (code == HC_ACTION && sent->message == WM_COMMAND && LOWORD(sent->wParam) == IDCANCEL) {
            wchar_t name[8] = {};
            GetClassNameW(sent->hwnd, name, 8);
            if (std::wstring_view(name) == L"#32770") ++count_;
        }
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static inline int count_ = 0;
    HHOOK hook_ = nullptr;
};

// Counts the timer messages this thread takes from its queue for one window:
// the widget's idle check runs on its timer.
class TimerTicks {
public:
    explicit TimerTicks(HWND window) {
        window_ = window;
        count_ = 0;
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, on_message, nullptr, GetCurrentThreadId());
    }
    ~TimerTicks() { UnhookWindowsHookEx(hook_); }
    TimerTicks(const TimerTicks&) = delete;
    TimerTicks& operator=(const TimerTicks&) = delete;
    int count() const { return count_; }

private:
    static LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) {
        const auto* taken = reinterpret_cast<const MSG*>(lparam);
        if (code == HC_ACTION && wparam == PM_REMOVE && taken->message == WM_TIMER && taken->hwnd == window_) ++count_;
        return CallNextHookEx(nullptr, code, wparam, lparam);
    }
    static inline HWND window_ = nullptr;
    static inline int count_ = 0;
    HHOOK hook_ = nullptr;
};

// The display's new state as Windows sends it: 0 off, 1 on, 2 dimmed; the
// session's display unless it is the console's.
constexpr GUID kSessionDisplay{0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID kConsoleDisplay{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
struct DisplayState {
    GUID setting = kSessionDisplay;
    DWORD length = sizeof(DWORD), state;
};
constexpr DisplayState kDisplayOff{.state = 0}, kDisplayDimmed{.state = 2};
constexpr DisplayState kConsoleOff{.setting = kConsoleDisplay, .state = 0};

// The system's display registration, unless a case refuses the session's.
std::atomic<bool> g_session_display_refused{false};
HPOWERNOTIFY WINAPI register_display(HANDLE recipient, LPCGUID setting, DWORD flags) {
    if (g_session_display_refused && IsEqualGUID(*setting, kSessionDisplay)) return nullptr;
    return RegisterPowerSettingNotification(recipient, setting, flags);
}

// The session's drive letters, as the widget's drive watch reads them.
constexpr DWORD kEveryLetter = (1u << 26) - 1;
std::atomic<DWORD> g_drives{kEveryLetter};
DWORD WINAPI session_drives() { return g_drives; }

// What happens while the owner is away: a message posted to the widget as
// Windows sends it, or the program's clock moved on by `idle` with no input.
// The removal of a volume, `drive` letters after the program's own, is sent,
// as the system broadcasts it: a device event with a structure cannot be posted.
// A network volume's notice carries DBTF_NET; its letter may stay in the
// session's drives or go before the notice.
struct Absence {
    UINT message;
    WPARAM code;
    ULONGLONG idle;
    const DisplayState* display = nullptr;
    int drive = 0;
    WORD volume_flags = 0;
    bool letter_gone = false;
    void happen(HWND widget) const {
        if (letter_gone) g_drives = kEveryLetter & ~(1u << (std::toupper(qlk_access::run_state().drive_letter) - 'A'));
        if (message == WM_DEVICECHANGE) {
            DEV_BROADCAST_VOLUME volume{sizeof volume, DBT_DEVTYP_VOLUME};
            volume.dbcv_unitmask = 1u << ((std::toupper(qlk_access::run_state().drive_letter) - 'A' + drive) % 26);
            volume.dbcv_flags = volume_flags;
            SendMessageW(widget, message, code, reinterpret_cast<LPARAM>(&volume));
        } else if (message) {
            PostMessageW(widget, message, code, reinterpret_cast<LPARAM>(display));
        } else {
            platform::advance_clock(idle);
        }
    }
};
constexpr Absence session(WPARAM code) { return {WM_WTSSESSION_CHANGE, code, 0}; }
constexpr Absence power(WPARAM code) { return {WM_POWERBROADCAST, code, 0}; }
constexpr Absence display(const DisplayState& state) { return {WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, 0, &state}; }
constexpr Absence idle(ULONGLONG milliseconds) { return {0, 0, milliseconds}; }
// Alt+F4 on the widget: the system's close, not a step away.
constexpr Absence widget_closed() { return {WM_SYSCOMMAND, SC_CLOSE, 0}; }
constexpr Absence volume_removed(int drive) { return {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0, nullptr, drive}; }
constexpr Absence network_volume_removed(bool letter_gone) {
    return {WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0, nullptr, 0, DBTF_NET, letter_gone};
}
// The drive letter leaves the session's drives with no notice: the watch's tick finds it gone.
constexpr Absence letter_gone() { return {0, 0, 0, nullptr, 0, 0, true}; }

// The session registration as at logon: refused until the services it needs
// have started, here until its second try.
int g_registrations = 0;
BOOL WINAPI registration_refused_once(HWND, DWORD) { return ++g_registrations > 1; }

constexpr int kViewerClosed = -1;

// The owner's last input, on the program's clock: the test's own, so that
// nothing the machine counts as input (a window appearing under the pointer,
// under Wine) moves it.
std::atomic<ULONGLONG> g_last_input{0};

class ViewerAway : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        platform::set_last_input_source([] { return g_last_input.load(); });
        widget::set_display_registration(register_display);
        widget::set_drive_list(session_drives);
    }
    void TearDown() override {
        platform::allow_boxes(); // after a run that ended
        platform::set_last_input_source(nullptr);
        widget::set_session_registration(nullptr);
        widget::set_display_registration(nullptr);
        widget::set_drive_list(nullptr);
        if (HWND widget = ui::find_window(ui::Window::Widget)) DestroyWindow(widget);
        ViewerTest::TearDown();
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings\\QLK"); // the widget's position
    }
    static bool print_file_exists() {
        return GetFileAttributesA(qlk_access::print_file_path().c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static std::string stored(const char* key) { return qlk_access::MRegistry::GetString("Quillock", "Config", key); }
};

TEST_F(ViewerAway, StepsAwayCloseTheViewerAndCancelItsOpenBox) {
    struct Case {
        const char* what;
        Absence absence;
        int box_command;                            // the viewer command whose box is up meanwhile; 0: none
        bool closes;                                // the viewer closes and the print file goes
        const char* lock_minutes;                   // the stored LockMinutes, if any
        bool user_copied_since;                     // the user cut or copied in another program after the viewer's copy
        bool late_registration;                     // the session registration holds only at its second try
        bool ends_run;                              // every window closes, the widget's position stored
        ui::Window box_window = ui::Window::Viewer; // the window whose command box_command is
        // The system has no notices of the session's display.
        bool session_display_refused = false;
    };
    const Case cases[] = {
        {"session locked, the rename box open", session(WTS_SESSION_LOCK), IDM_VW_RENAME, true},
        {"session locked, registered a second after the start", session(WTS_SESSION_LOCK), 0, true, nullptr, false,
         true},
        {"the screen turned off, the URL box open", display(kDisplayOff), IDM_VW_THE_URL, true},
        {"the widget closed by the system, the user name box open: the run ends", widget_closed(), IDM_VW_USERNAME,
         true, nullptr, false, false, true},
        {"the session's display unknown: the console's turned off", display(kConsoleOff), 0, true, nullptr, false,
         false, false, ui::Window::Viewer, true},
        {"console disconnected, the colour dialog open", session(WTS_CONSOLE_DISCONNECT), IDM_VW_FONTCOLOR, true},
        {"remote session disconnected, the mini help open", session(WTS_REMOTE_DISCONNECT), IDC_VW_COMMAND4, true},
        {"sleep, Print's notice open: nothing is printed", power(PBT_APMSUSPEND), IDC_VW_COMMAND1, true},
        {"ten idle minutes, the password box open", idle(10 * kMinute), IDM_VW_CHANGEPASSWORD, true},
        {"a stored limit of one minute", idle(kMinute), IDM_VW_USERNAME, true, "1"},
        {"idle after the user cut a line in another program: the line stays", idle(10 * kMinute), 0, true, nullptr,
         true},
        {"sleep with the viewer closed: the print file left for Notepad goes", power(PBT_APMSUSPEND), kViewerClosed,
         true},
        {"the program's drive removed, the rename box open: the run ends", volume_removed(0), IDM_VW_RENAME, true,
         nullptr, false, false, true},
        // No window is left to own a box that would follow from the cancelled one.
        {"the drive removed, the gate's box open: no refusal follows", volume_removed(0), IDM_VIEW, true, nullptr,
         false, false, true, ui::Window::MenuHost},
        {"the drive removed, the entry dialog's current password box open", volume_removed(0), IDC_PW_COMMAND3, true,
         nullptr, false, false, true, ui::Window::Password},
        {"the drive removed, the add-entry dialog's help open", volume_removed(0), IDC_AE_COMMAND4, true, nullptr,
         false, false, true, ui::Window::AddEntry},
        {"the program's network drive notified gone, its letter gone too: the run ends", network_volume_removed(true),
         0, true, nullptr, false, false, true},
        {"the program's drive letter gone from the session's drives: the run ends", letter_gone(), 0, true, nullptr,
         false, false, true},
        {"another drive removed", volume_removed(1), 0, false},
        {"the program's network drive notified gone while its letter stays", network_volume_removed(false), 0, false},
        {"the console's screen turned off in a session that has its own", display(kConsoleOff), 0, false},
        {"session unlocked", session(WTS_SESSION_UNLOCK), 0, false},
        {"resumed from sleep", power(PBT_APMRESUMEAUTOMATIC), 0, false},
        {"the screen dimmed", display(kDisplayDimmed), 0, false},
        {"idle, but short of the limit", idle(9 * kMinute), 0, false},
        {"a stored limit of 0: never", idle(3 * 1440 * kMinute), 0, false, "0"},
    };
    const std::string vault = record_text("bank", "www.bank.example", "bob", "S3cret!");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_vault(vault);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillock");
        if (c.lock_minutes) qlk_access::MRegistry::SaveString("Quillock", "Config", "LockMinutes", c.lock_minutes);
        // The owner's last input now, and a fresh widget: its idle time counts from its start.
        g_last_input = platform::clock_ms();
        if (HWND old = ui::find_window(ui::Window::Widget)) DestroyWindow(old);
        g_registrations = 0;
        widget::set_session_registration(c.late_registration ? registration_refused_once : nullptr);
        g_session_display_refused = c.session_display_refused;
        g_drives = kEveryLetter;
        ASSERT_TRUE(ui::load_window(ui::Window::Widget));
        HWND widget = ui::find_window(ui::Window::Widget);
        if (c.late_registration) {
            EXPECT_EQ(g_registrations, 1);
            EXPECT_TRUE(test_support::pump_until([] { return g_registrations == 2; }, 5000)) << "tried again";
        }
        RegDeleteTreeA(HKEY_CURRENT_USER, kPositionKey); // the last widget's close stored it
        ui::show_window(ui::Window::AddEntry);
        HWND add_entry = ui::find_window(ui::Window::AddEntry);
        ASSERT_NE(add_entry, nullptr);
        platform::set_item_text(add_entry, IDC_AE_TXTID, "typed in the add dialog");

        const bool print_box = c.box_command == IDC_VW_COMMAND1;
        if (!print_box) write_bytes(qlk_access::print_file_path(), "Password: S3cret!\r\n");
        const bool viewer_open = c.box_command != kViewerClosed && c.box_window == ui::Window::Viewer;
        if (!viewer_open) {
            put_on_clipboard("the user's own");
        } else {
            ASSERT_NE(open_viewer(), nullptr);
            select_row(0);
            command(IDM_VW_COPY2CLIPBOARD);
            ASSERT_EQ(clipboard_text(), "S3cret!");
            if (c.user_copied_since) put_on_clipboard("the user's own");
        }

        TimerTicks ticks(widget);
        if (c.box_command > 0) {
            if (c.box_window == ui::Window::Password) {
                ui::show_window(ui::Window::Password);
                qlk_access::run_state().computer_name = kStamp; // its load took the computer's
            }
            ui::load_window(c.box_window);
            CancelSpy spy;
            EventWhileBoxIsUp watcher([&] { c.absence.happen(widget); });
            // Returns once its box has ended, and whatever followed.
            SendMessageW(ui::find_window(c.box_window), WM_COMMAND, MAKEWPARAM(c.box_command, 0), 0);
            watcher.stop();
            EXPECT_TRUE(watcher.seen());
            EXPECT_FALSE(watcher.left_open()) << "the box ends with the viewer";
            EXPECT_EQ(watcher.followed(), "") << "a box came up after the cancelled one";
            EXPECT_EQ(spy.cancelled(), 1) << "the box was cancelled before the viewer closed";
        } else {
            c.absence.happen(widget);
        }

        if (c.closes) {
            EXPECT_TRUE(test_support::pump_until(
                [&] { return !viewer() && !print_file_exists() && !(c.ends_run && ui::any_window()); }, 5000));
            EXPECT_EQ(viewer(), nullptr);
            EXPECT_FALSE(print_file_exists());
            if (!viewer_open || c.user_copied_since) {
                EXPECT_EQ(clipboard_text(), "the user's own") << "what the user copied is left alone";
            } else {
                EXPECT_EQ(clipboard_format_count(), 0);
            }
        } else {
            // Until the message has been handled, or the idle check has run since the clock moved on.
            if (c.absence.message)
                test_support::pump_messages(50);
            else
                EXPECT_TRUE(test_support::pump_until([&] { return ticks.count() > 0; }, 5000));
            EXPECT_NE(viewer(), nullptr);
            EXPECT_TRUE(print_file_exists());
        }
        EXPECT_EQ(vault_plain(), vault) << "nothing half typed was saved";
        EXPECT_EQ(stored("ForeColor"), "") << "no colour was chosen";
        if (c.ends_run) {
            EXPECT_FALSE(ui::any_window());
            EXPECT_EQ(
                RegGetValueA(HKEY_CURRENT_USER, kPositionKey, "frmMain.X", RRF_RT_REG_SZ, nullptr, nullptr, nullptr),
                ERROR_SUCCESS);
        } else {
            EXPECT_TRUE(IsWindow(widget));
            EXPECT_EQ(platform::item_text(add_entry, IDC_AE_TXTID), "typed in the add dialog");
        }

        for (HWND open : {viewer(), ui::find_window(ui::Window::Password)})
            if (open) DestroyWindow(open);
        DestroyWindow(add_entry);
        remove_files();
    }
}

} // namespace
