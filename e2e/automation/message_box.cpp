// The program's message boxes: a "#32770" window titled "Quillock" whose text
// is the static control 0xFFFF.
#include "automation.h"

namespace qlk_auto {
namespace {

constexpr int kMessageTextId = 0xFFFF;

struct ButtonSearch {
    HWND ok = nullptr;
    HWND first = nullptr;
};

BOOL CALLBACK find_ok(HWND child, LPARAM lparam) {
    auto& search = *reinterpret_cast<ButtonSearch*>(lparam);
    if (class_of(child) != L"Button" || !IsWindowVisible(child)) return TRUE;
    if (!search.first) search.first = child;
    std::wstring text;
    if (control_text(child, &text) && (text == L"OK" || text == L"&OK")) {
        search.ok = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

int cmd_message_box(Context& context) {
    Selector selector = context.selector;
    if (selector.class_name.empty()) selector.class_name = L"#32770";
    if (selector.any_title) {
        selector.title = L"Quillock";
        selector.any_title = false;
    }
    HWND box = wait_for_window(selector, context.timeout_ms);
    if (!box) return fail(kNotFound, "no message box");

    std::wstring text;
    HWND label = GetDlgItem(box, kMessageTextId);
    if (!label || !control_text(label, &text)) return fail(kFailed, "the message box has no text");
    write_line(escape(text));

    if (context.args.empty() || context.args[0] != L"ok") return kOk;
    ButtonSearch buttons;
    EnumChildWindows(box, find_ok, reinterpret_cast<LPARAM>(&buttons));
    HWND button = buttons.ok ? buttons.ok : buttons.first;
    if (button)
        PostMessageW(button, BM_CLICK, 0, 0);
    else
        PostMessageW(box, WM_COMMAND, IDOK, 0);

    Selector this_box;
    this_box.hwnd = box;
    return wait_until_gone(this_box, context.timeout_ms) ? kOk : fail(kFailed, "the message box stayed open");
}

} // namespace qlk_auto
