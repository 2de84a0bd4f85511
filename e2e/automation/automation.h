// qlk_auto: drives and reads another process's windows for the end-to-end
// scenarios. Results go to stdout one value or record a line, for shell
// scripts to read with `read`: a record begins with its kind ("window",
// "child", "rect"), then fields split on spaces, a text last after a tab.
// Texts are escaped (escaping.cpp), so that every value is one line.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace qlk_auto {

// Exit codes the scripts rely on.
enum Exit : int { kOk = 0, kNotFound = 1, kUsage = 2, kFailed = 3 };

// Which top-level window a command works on.
struct Selector {
    std::wstring title; // exact caption, or its beginning when title_is_prefix
    bool title_is_prefix = false;
    bool any_title = true;   // no -t/-P given
    std::wstring class_name; // empty: any class
    HWND hwnd = nullptr;     // -w: this window, nothing searched
    DWORD pid = 0;           // 0: any process
    wchar_t drive = 0;       // 0: any; else the drive letter of the process's image path
    bool include_hidden = false;
};

struct Context {
    Selector selector;
    DWORD timeout_ms = 5000;
    std::vector<std::wstring> args; // the command's own arguments
};

// Output (output.cpp). In serve mode every line is tagged "o " (output) or
// "e " (error) so that one stream carries both.
void set_serve_mode(bool on);
void write_line(std::string_view utf8);
void write_result(int code);            // serve mode: ends the answer to one command
std::string rect_fields(const RECT& r); // "LEFT TOP RIGHT BOTTOM"
std::string hex_handle(HWND hwnd);
int fail(int code, std::string_view message); // message to stderr, returns code

// Escaping (escaping.cpp): backslash, CR, LF, tab and other control characters
// become \\ \r \n \t \xHH, so that every value is one line and texts can be
// compared exactly; unescape() is its reverse.
std::string escape(std::wstring_view text);
std::wstring unescape(std::wstring_view text);
std::string to_utf8(std::wstring_view text);
std::wstring from_utf8(std::string_view text);

// Windows (find_windows.cpp)
std::vector<HWND> find_windows(const Selector& selector);
// Polls until a window matches; nullptr after the timeout.
HWND wait_for_window(const Selector& selector, DWORD timeout_ms);
bool wait_until_gone(const Selector& selector, DWORD timeout_ms);
std::wstring window_text(HWND hwnd);
std::wstring class_of(HWND hwnd);
std::string describe_window(HWND hwnd); // "<hwnd> <pid> <visible> <class>\t<title>"
// A control by id: a direct child first, else any descendant (controls inside a container window).
HWND find_control(HWND window, int id);
// Text through WM_GETTEXT, which the system carries across processes.
bool control_text(HWND control, std::wstring* text);
int parse_int(const std::wstring& text, int fallback = -1);

// One command line (options, command, arguments): main.cpp. Commands from stdin: serve.cpp.
int run_command(const std::vector<std::wstring>& argv);
int serve();

// Commands; each returns an exit code.
int cmd_controls(const std::wstring& command, Context& context, HWND window);  // controls.cpp
int cmd_message_box(Context& context);                                         // message_box.cpp
int cmd_region(HWND window);                                                   // region.cpp
int cmd_accessible(HWND window);                                               // accessible.cpp
int cmd_list_view(const std::wstring& command, Context& context, HWND window); // list_view.cpp
int cmd_clipboard(const std::wstring& command, Context& context);              // clipboard.cpp
int cmd_registry(Context& context);                                            // registry.cpp
int cmd_standard_user(const std::wstring& command, Context& context);          // registry.cpp
int cmd_registry_change(const std::wstring& command, Context& context);        // registry.cpp

} // namespace qlk_auto
