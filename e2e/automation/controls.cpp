// Commands on one window and its controls.
#include "automation.h"

namespace qlk_auto {
namespace {

HWND control_of(HWND window, const Context& context, size_t index, int* exit_code) {
    const int id = index < context.args.size() ? parse_int(context.args[index]) : -1;
    if (id < 0) {
        *exit_code = fail(kUsage, "a control id is needed");
        return nullptr;
    }
    HWND control = find_control(window, id);
    if (!control) *exit_code = fail(kNotFound, "no control with that id");
    return control;
}

BOOL CALLBACK print_child(HWND child, LPARAM) {
    std::wstring text;
    control_text(child, &text);
    write_line("child " + std::to_string(GetDlgCtrlID(child)) + " " + (IsWindowVisible(child) ? "1" : "0") + " " +
               escape(class_of(child)) + "\t" + escape(text));
    return TRUE;
}

int print_text(HWND window, const Context& context) {
    if (context.args.empty()) {
        write_line(escape(window_text(window)));
        return kOk;
    }
    int code = kOk;
    HWND control = control_of(window, context, 0, &code);
    if (!control) return code;
    std::wstring text;
    if (!control_text(control, &text)) return fail(kFailed, "the window does not answer");
    write_line(escape(text));
    return kOk;
}

int end_process_of(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) return fail(kFailed, "cannot open the process");
    const bool ended = TerminateProcess(process, 1) && WaitForSingleObject(process, 5000) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended ? kOk : fail(kFailed, "the process did not end");
}

// What the window's thread shows to the user now: which window is active and
// has the keyboard, and whether a menu runs its loop.
GUITHREADINFO gui_of(HWND window) {
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui);
    return gui;
}

// Polls `ready` until it holds or the timeout passes: keys sent before the
// program is ready for them go elsewhere, or nowhere.
template <class Ready> int wait_until(const Context& context, Ready ready) {
    const ULONGLONG deadline = GetTickCount64() + context.timeout_ms;
    while (!ready()) {
        if (GetTickCount64() >= deadline) return kNotFound;
        Sleep(10);
    }
    return kOk;
}

} // namespace

int cmd_controls(const std::wstring& command, Context& context, HWND window) {
    int code = kOk;
    if (command == L"text") return print_text(window, context);
    if (command == L"children") {
        EnumChildWindows(window, print_child, 0);
        return kOk;
    }
    if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? kOk : fail(kFailed, "WM_CLOSE not posted");
    if (command == L"kill") return end_process_of(window);
    if (command == L"post") {
        // What the system tells a window without data to point at (a lock: WM_WTSSESSION_CHANGE).
        const int message = context.args.empty() ? -1 : parse_int(context.args[0]);
        if (message < 0) return fail(kUsage, "post MESSAGE [WPARAM [LPARAM]]");
        const auto arg = [&](size_t i) { return i < context.args.size() ? parse_int(context.args[i], 0) : 0; };
        return PostMessageW(window, static_cast<UINT>(message), static_cast<WPARAM>(arg(1)), arg(2))
                   ? kOk
                   : fail(kFailed, "not posted");
    }
    if (command == L"foreground") return SetForegroundWindow(window) ? kOk : fail(kFailed, "not brought forward");
    if (command == L"waitfocus") {
        HWND target = context.args.empty() ? window : control_of(window, context, 0, &code);
        if (!target) return code;
        const auto has_keyboard = [&] {
            const GUITHREADINFO gui = gui_of(window);
            return GetForegroundWindow() == window && gui.hwndActive == window && gui.hwndFocus == target;
        };
        if (wait_until(context, has_keyboard) == kOk) return kOk;
        const GUITHREADINFO gui = gui_of(window);
        return fail(kFailed, "the window does not get the keyboard: foreground " + hex_handle(GetForegroundWindow()) +
                                 ", active " + hex_handle(gui.hwndActive) + ", focus " + hex_handle(gui.hwndFocus) +
                                 ", window " + hex_handle(window));
    }
    if (command == L"waitmenu") {
        if (wait_until(context, [&] { return (gui_of(window).flags & GUI_INMENUMODE) != 0; }) == kOk) return kOk;
        return fail(kFailed, "no menu runs");
    }
    if (command == L"idle") {
        // Set once the window's program has handled what was pending and waits
        // for input: what the showing of its first window brought is done.
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
        if (!process) return fail(kFailed, "cannot open the process");
        const DWORD waited = WaitForInputIdle(process, context.timeout_ms);
        CloseHandle(process);
        return waited == 0 ? kOk : fail(kFailed, "the program does not wait for input");
    }
    if (command == L"rect") {
        HWND target = context.args.empty() ? window : control_of(window, context, 0, &code);
        if (!target) return code;
        RECT r{};
        GetWindowRect(target, &r);
        write_line("rect " + rect_fields(r));
        return kOk;
    }

    HWND control = control_of(window, context, 0, &code);
    if (!control) return code;
    if (command == L"waittext") {
        // Typed keys and the program's own updates arrive after our call returns: poll.
        if (context.args.size() < 2) return fail(kUsage, "waittext ID TEXT");
        const ULONGLONG deadline = GetTickCount64() + context.timeout_ms;
        std::wstring text;
        for (;;) {
            if (control_text(control, &text) && text == context.args[1]) return kOk;
            if (GetTickCount64() >= deadline) break;
            Sleep(20);
        }
        write_line(escape(text));
        return kNotFound;
    }
    if (command == L"settext") {
        if (context.args.size() < 2) return fail(kUsage, "settext ID TEXT");
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(context.args[1].c_str()),
                                   SMTO_ABORTIFHUNG, 2000, &result)
                   ? kOk
                   : fail(kFailed, "the window does not answer");
    }
    // Posted, not sent: a click that opens a modal box would otherwise block us until it closes.
    if (command == L"click") return PostMessageW(control, BM_CLICK, 0, 0) ? kOk : fail(kFailed, "not posted");
    if (command == L"command") {
        const WPARAM wparam = MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED);
        return PostMessageW(window, WM_COMMAND, wparam, reinterpret_cast<LPARAM>(control))
                   ? kOk
                   : fail(kFailed, "not posted");
    }
    if (command == L"check" || command == L"state") {
        DWORD_PTR checked = 0;
        SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &checked);
        if (command == L"check") {
            write_line(std::to_string(checked));
            return kOk;
        }
        DWORD_PTR mask = 0; // an edit's password character
        SendMessageTimeoutW(control, EM_GETPASSWORDCHAR, 0, 0, SMTO_ABORTIFHUNG, 2000, &mask);
        const GUITHREADINFO gui = gui_of(window);
        write_line(std::string("enabled ") + (IsWindowEnabled(control) ? "1" : "0") + " visible " +
                   (IsWindowVisible(control) ? "1" : "0") + " checked " + std::to_string(checked) + " focused " +
                   (gui.hwndFocus == control ? "1" : "0") + " mask " + std::to_string(mask));
        return kOk;
    }
    return fail(kUsage, "unknown command (qlk_auto help)");
}

} // namespace qlk_auto
