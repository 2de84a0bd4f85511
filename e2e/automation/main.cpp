// qlk_auto [options] COMMAND [ARGS...]
#include "automation.h"

#include <cwchar>

namespace qlk_auto {
namespace {

constexpr char kHelp[] = R"(usage: qlk_auto [options] COMMAND [ARGS...]   or   qlk_auto serve
window options (top-level windows; every window command waits for its window):
  -t TITLE     caption is exactly TITLE          -P PREFIX  caption begins with PREFIX
  -c CLASS     window class (e.g. #32770)        -w HWND    this window (0x... from wait/list)
  -p PID       Windows process id                -d DRIVE   process image on drive DRIVE (e.g. Q)
  -a           hidden windows too                -T MS      timeout in milliseconds (default 5000)
window commands:
  wait | list | gone          print "window HWND PID VISIBLE CLASS<TAB>TITLE" / every match / wait until none
  text [ID] | settext ID TEXT caption or control text (escaped) / set it with WM_SETTEXT
  waittext ID TEXT            wait until the control's text is TEXT; prints the last text on timeout
  click ID | command ID       post BM_CLICK to the control / post WM_COMMAND(ID, BN_CLICKED) to the window
  check ID | state ID         "0|1|2" / "enabled E visible V checked C focused F mask M"
  rect [ID]                   "rect LEFT TOP RIGHT BOTTOM" in screen pixels
  idle                        wait until the window's program waits for input with nothing pending (WaitForInputIdle)
  children                    "child ID VISIBLE CLASS<TAB>TEXT" for each control
  region                      "rect L T R B" for each rectangle (window coordinates); 1 when there is none
  acc                         "acc ID ROLE<TAB>NAME<TAB>RULE<TAB>DESCRIPTION<TAB>SHORTCUT" for each control in
                              z-order: its accessible object's answers, and RULE, the name Windows' label rule gives
                              a field ("-" for a control named by its own text)
  lvrows ID | lvcols ID       "INDEX<TAB>SELECTED<TAB>TEXT0<TAB>TEXT1..." / header texts, one a line
  lvlook ID                   "text COLOUR back COLOUR row HEIGHT" (colours decimal, HEIGHT of row 0 in pixels)
  close | kill | foreground   post WM_CLOSE / end the window's process / SetForegroundWindow
  post MSG [WPARAM [LPARAM]]  post a message with numbers only (a session lock: post 0x2B1 7)
  waitfocus [ID]              wait until the window is in front, active, and it (or control ID) has the keyboard
  waitmenu                    wait until a menu of the window's thread runs its loop and takes keys
other commands:
  msgbox [ok]                 text of the "Quillock" message box (options narrow it); "ok" presses OK
  clipboard | setclip TEXT | clearclip
  regvalue KEY NAME           "TYPE SIZE HEX" of the raw (ANSI) value data, e.g. KEY = HKLM\SOFTWARE\QLK\Config
  regset KEY NAME TEXT        set a text value (REG_SZ), creating the key
  regforget KEY               delete the key and all below it; a missing key is no failure
  deny KEY | allow KEY        play a standard user: Everyone may not set values or create subkeys in KEY
                              (created with its Config section when missing) and its subkeys / undo it
  echo ARGS...                each argument escaped, one a line (a check of the serve protocol)
  computername                the name the program stamps its records with (GetComputerName)
  hold PATH                   opens the file without delete sharing, as a virus scanner does, prints "held"
                              and keeps it open until the process is ended
serve: reads commands from stdin, each as a line with the number of arguments, then one
  escaped argument a line; answers with "o LINE" (output) and "e LINE" (errors) lines and
  "r CODE". One Wine process for a whole scenario instead of one per command.
exit codes: 0 done, 1 not found or timed out, 2 usage, 3 failed
)";

bool parse_options(const std::vector<std::wstring>& argv, size_t* next, Context& context) {
    Selector& s = context.selector;
    size_t i = 0;
    for (; i < argv.size() && argv[i].size() == 2 && argv[i][0] == L'-'; ++i) {
        const wchar_t flag = argv[i][1];
        if (flag == L'a') {
            s.include_hidden = true;
            continue;
        }
        if (i + 1 >= argv.size()) return false;
        const std::wstring value = argv[++i];
        switch (flag) {
        case L't':
        case L'P':
            s.title = value;
            s.title_is_prefix = flag == L'P';
            s.any_title = false;
            break;
        case L'c': s.class_name = value; break;
        case L'w':
            s.hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::wcstoll(value.c_str(), nullptr, 0)));
            break;
        case L'p': s.pid = static_cast<DWORD>(parse_int(value, 0)); break;
        case L'd': s.drive = static_cast<wchar_t>(towupper(value.empty() ? 0 : value[0])); break;
        case L'T': context.timeout_ms = static_cast<DWORD>(parse_int(value, 5000)); break;
        default: return false;
        }
    }
    *next = i;
    return true;
}

int run_window_command(const std::wstring& command, Context& context) {
    const Selector& s = context.selector;
    if (command == L"list") {
        const auto found = find_windows(s);
        for (HWND hwnd : found) write_line("window " + describe_window(hwnd));
        return found.empty() ? kNotFound : kOk;
    }
    if (command == L"gone")
        return wait_until_gone(s, context.timeout_ms) ? kOk : fail(kNotFound, "the window is still there");
    HWND window = wait_for_window(s, context.timeout_ms);
    if (!window) return fail(kNotFound, "no such window");
    if (command == L"wait") {
        write_line("window " + describe_window(window));
        return kOk;
    }
    if (command == L"region") return cmd_region(window);
    if (command == L"acc") return cmd_accessible(window);
    if (command == L"lvrows" || command == L"lvcols" || command == L"lvlook")
        return cmd_list_view(command, context, window);
    return cmd_controls(command, context, window);
}

} // namespace

int run_command(const std::vector<std::wstring>& argv) {
    Context context;
    size_t next = 0;
    if (!parse_options(argv, &next, context) || next >= argv.size()) return fail(kUsage, kHelp);
    const std::wstring& command = argv[next];
    context.args.assign(argv.begin() + static_cast<std::ptrdiff_t>(next) + 1, argv.end());

    if (command == L"msgbox") return cmd_message_box(context);
    if (command == L"clipboard" || command == L"setclip" || command == L"clearclip")
        return cmd_clipboard(command, context);
    if (command == L"regvalue") return cmd_registry(context);
    if (command == L"regset" || command == L"regforget") return cmd_registry_change(command, context);
    if (command == L"deny" || command == L"allow") return cmd_standard_user(command, context);
    if (command == L"echo") {
        for (const std::wstring& arg : context.args) write_line(escape(arg));
        return kOk;
    }
    if (command == L"computername") {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (!GetComputerNameW(name, &size)) return fail(kFailed, "GetComputerName failed");
        write_line(escape(name));
        return kOk;
    }
    if (command == L"hold" && context.args.size() == 1) {
        // Moving or deleting it fails while this handle lives; reading it does not.
        const HANDLE file = CreateFileW(context.args[0].c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return fail(kFailed, "the file could not be opened");
        write_line("held");
        Sleep(INFINITE);
    }
    if (command == L"help") {
        write_line(kHelp);
        return kOk;
    }
    return run_window_command(command, context);
}

} // namespace qlk_auto

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == L"serve") return qlk_auto::serve();
    return qlk_auto::run_command(args);
}
