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

// Three replacements, each taking what the one before left into the Undo
// buffer: the first puts the text there (next to a deletion the user made
// just before, if any), the second writes filler over as much, the third
// over the longest text the control held, which bounds anything the Undo
// buffer or the text buffer ever held. The copy the control makes of the
// text it replaces is freed by itself at once; the second replacement, of
// the same length, is made in a block of the same size.
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
