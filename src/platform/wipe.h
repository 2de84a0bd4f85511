#pragma once
// Wiping what held a password before the memory is given back or left to
// others. Every block the program frees with operator delete is zeroed on the
// way (wiping_delete.cpp); these are for what that does not reach: a short
// string's characters inside the string object itself (on the stack, say),
// and buffers that belong to Windows.
#include <windows.h>

#include <string>

namespace platform {

// Zeroes the whole buffer of a string, its unused capacity included, and leaves it empty.
template <typename Char> void wipe(std::basic_string<Char>& text) {
    text.resize(text.capacity());
    SecureZeroMemory(text.data(), text.size() * sizeof(Char));
    text.clear();
}

// Wipes a string when the scope that holds it ends, however it is left.
template <typename Char> class WipeAtExit {
public:
    explicit WipeAtExit(std::basic_string<Char>& text) : text_(text) {}
    WipeAtExit(const WipeAtExit&) = delete;
    WipeAtExit& operator=(const WipeAtExit&) = delete;
    ~WipeAtExit() { wipe(text_); }

private:
    std::basic_string<Char>& text_;
};

// Zeroes the stack below the caller's frame, where the calls it has made left
// their locals: a short string keeps its characters inside the string object,
// on the stack, where no operator delete sees them. For the message loop.
void wipe_stack_below();

// Overwrites the text of an edit control in place: a text of the same length
// fits the control's own buffer, which is then written over, not replaced by
// a new one (the old one would go back to the heap as it was).
void wipe_control_text(HWND control);

// For an edit control that will hold a password: from now on it keeps track
// of the longest text it holds, and just before it is destroyed it writes over
// everything it held, its text buffer and the buffer it keeps for Undo (the
// text that typing, Delete or a paste replaced), which would otherwise go back
// to the heap as they are.
void wipe_edit_when_destroyed(HWND edit);

} // namespace platform
