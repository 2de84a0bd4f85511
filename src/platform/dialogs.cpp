#include "platform/window_state.h"
#include "platform/dialogs.h"

#include "platform/text.h"
#include "platform/wipe.h"
#include "resource_ids.h"

#include <windows.h>

namespace platform {
namespace {

constexpr wchar_t kTitle[] = L"Quillock";

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
    case WM_DESTROY:
        // What was typed, a password often, goes with the box, not into freed memory.
        wipe_control_text(GetDlgItem(dialog, IDC_INPUT_TEXT));
        break;
    }
    return FALSE;
}

} // namespace

void show_message(const std::string& text) {
    MessageBoxW(GetActiveWindow(), to_wide(text).c_str(), kTitle, MB_OK | MB_SETFOREGROUND);
}

std::optional<AnsiText> input_box_checked(const InputArgs& args) {
    InputState state{&args, {}};
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUTBOX), GetActiveWindow(),
                                           input_box_proc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return to_ansi_checked(state.answer);
}

std::string input_box(const InputArgs& args) { return input_box_checked(args).value_or(AnsiText{}).bytes; }

} // namespace platform
