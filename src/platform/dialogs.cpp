#include "platform/window_state.h"
#include "platform/dialogs.h"

#include "platform/text.h"
#include "platform/wipe.h"
#include "resource_ids.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace platform {
namespace {

constexpr wchar_t kTitle[] = L"Quillock";

bool g_boxes_ended = false; // the run has ended: no box comes up

struct InputState {
    const InputArgs* args;
    std::wstring answer;
    ~InputState() { wipe(answer); } // it may hold a password
};

INT_PTR CALLBACK input_box_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<InputState*>(lparam);
        lend_window_state(dialog, state);
        // What is typed, a password often, goes with the box, not into freed memory.
        wipe_edit_when_destroyed(GetDlgItem(dialog, IDC_INPUT_TEXT));
        SetWindowTextW(dialog, to_wide(state->args->title).c_str());
        SetDlgItemTextW(dialog, IDC_INPUT_PROMPT, to_wide(state->args->prompt).c_str());
        SetDlgItemTextW(dialog, IDC_INPUT_TEXT, to_wide(state->args->default_text).c_str());
        if (state->args->masked) SendDlgItemMessageW(dialog, IDC_INPUT_TEXT, EM_SETPASSWORDCHAR, kPasswordMask, 0);
        SendDlgItemMessageW(dialog, IDC_INPUT_TEXT, EM_SETSEL, 0, -1);
        SetFocus(GetDlgItem(dialog, IDC_INPUT_TEXT));
        return FALSE; // focus set above
    }
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) {
            auto* state = window_state<InputState>(dialog);
            HWND edit = GetDlgItem(dialog, IDC_INPUT_TEXT);
            std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
            text.resize(static_cast<size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
            state->answer = std::move(text);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wparam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

bool owned_by(HWND window, HWND owner) {
    for (HWND up = GetWindow(window, GW_OWNER); up; up = GetWindow(up, GW_OWNER))
        if (up == owner) return true;
    return false;
}

struct BoxSearch {
    HWND owner; // null: any
    std::vector<HWND> boxes;
};

BOOL CALLBACK collect_owned_box(HWND window, LPARAM lparam) {
    auto* search = reinterpret_cast<BoxSearch*>(lparam);
    wchar_t class_name[8] = {};
    GetClassNameW(window, class_name, 8);
    if (std::wstring_view(class_name) == L"#32770" && (!search->owner || owned_by(window, search->owner)))
        search->boxes.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> boxes_owned_by(HWND owner) {
    BoxSearch search{owner, {}};
    if (const DWORD thread = owner ? GetWindowThreadProcessId(owner, nullptr) : 0)
        EnumThreadWindows(thread, collect_owned_box, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

namespace {

void cancel_boxes(const std::vector<HWND>& boxes) {
    // Top first, so a box that owns another ends after it. Each box ends
    // through its own handling of IDCANCEL (EndDialog with the result its
    // caller reads as "cancelled"), not through the destruction of its owner.
    for (HWND box : boxes)
        if (IsWindow(box))
            SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, IDCANCEL)));
}

} // namespace

void cancel_boxes_owned_by(HWND owner) { cancel_boxes(boxes_owned_by(owner)); }

void end_boxes_for_the_run(const std::vector<HWND>& forms) {
    g_boxes_ended = true;
    BoxSearch search{nullptr, {}};
    EnumThreadWindows(GetCurrentThreadId(), collect_owned_box, reinterpret_cast<LPARAM>(&search));
    std::erase_if(search.boxes, [&](HWND box) { return std::find(forms.begin(), forms.end(), box) != forms.end(); });
    cancel_boxes(search.boxes);
}

void allow_boxes() { g_boxes_ended = false; }

void show_message(const std::string& text) {
    if (g_boxes_ended) return;
    MessageBoxW(GetActiveWindow(), to_wide(text).c_str(), kTitle, MB_OK | MB_SETFOREGROUND);
}

std::optional<AnsiText> input_box_checked(const InputArgs& args) {
    if (g_boxes_ended) return std::nullopt;
    InputState state{&args, {}};
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUTBOX), GetActiveWindow(),
                                           input_box_proc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return to_ansi_checked(state.answer);
}

std::string input_box(const InputArgs& args) { return input_box_checked(args).value_or(AnsiText{}).bytes; }

} // namespace platform
