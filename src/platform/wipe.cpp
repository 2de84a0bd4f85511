#include "platform/wipe.h"

#include <commctrl.h>

namespace platform {
namespace {

constexpr wchar_t kFiller = L'\x2022';
constexpr UINT_PTR kWipingEditSubclass = 1;

// Replaces the whole text by `length` filler characters as typing would: the
// text replaced goes into the control's Undo buffer, over what that held.
void replace_all(HWND edit, size_t length) {
    const std::wstring filler(length, kFiller);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(filler.c_str()));
}

// Three replacements, each putting the text it replaces into the Undo
// buffer: the first the text itself (joined to a deletion the user made just
// before, if any), the second as much filler over it, the third filler as
// long as the longest text the control held, which bounds whatever its text
// buffer or its Undo buffer ever held. An edit control may also copy the text
// it replaces into a block of its own that it frees as it is (Wine's does):
// the second replacement, of the same length, asks for a block of that size
// again and fills it with filler.
void write_over_everything(HWND edit, size_t longest) {
    const size_t length = static_cast<size_t>(GetWindowTextLengthW(edit));
    if (length > 0) replace_all(edit, length);
    replace_all(edit, longest);
    replace_all(edit, longest);
}

// The reference data is the longest text seen so far.
LRESULT CALLBACK wiping_edit_proc(HWND edit, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                  DWORD_PTR longest) {
    if (message == WM_GETTEXTLENGTH) return DefSubclassProc(edit, message, wparam, lparam);
    if (message == WM_DESTROY) {
        RemoveWindowSubclass(edit, wiping_edit_proc, id);
        if (longest > 0) write_over_everything(edit, longest);
        return DefSubclassProc(edit, message, wparam, lparam);
    }
    const LRESULT result = DefSubclassProc(edit, message, wparam, lparam);
    // Whatever the message was (a key, a paste, an undo, a text set by the
    // program), the text may have grown.
    const auto length = static_cast<DWORD_PTR>(GetWindowTextLengthW(edit));
    if (length > longest) SetWindowSubclass(edit, wiping_edit_proc, id, length);
    return result;
}

} // namespace

// Far deeper than the handlers and the system's calls beneath them go (a
// copied password's string was found 3 KB below the loop).
[[gnu::noinline]] void wipe_stack_below() {
    unsigned char area[64 * 1024];
    SecureZeroMemory(area, sizeof area);
}

void wipe_control_text(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) return;
    const std::wstring filler(static_cast<size_t>(length), kFiller);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(filler.c_str()));
}

void wipe_edit_when_destroyed(HWND edit) {
    if (edit) SetWindowSubclass(edit, wiping_edit_proc, kWipingEditSubclass, GetWindowTextLengthW(edit));
}

} // namespace platform
