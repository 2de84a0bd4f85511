#pragma once
// A window's own state object, kept in GWLP_USERDATA: attached when the window
// is created, found from the handle in every handler, and taken back at
// WM_NCDESTROY, so that nothing reaches it after the window has gone.
#include <windows.h>

#include <memory>

namespace platform {

template <typename State> State* window_state(HWND window) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The window owns the state from now on; detach_window_state gives it back.
template <typename State> State* attach_window_state(HWND window, std::unique_ptr<State> state) {
    State* held = state.release();
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(held));
    return held;
}

// State that lives elsewhere (a modal dialog's caller): the window only points to it.
template <typename State> void lend_window_state(HWND window, State* state) {
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

// For WM_NCDESTROY: the window lets go of its state, which goes with the result.
template <typename State> std::unique_ptr<State> detach_window_state(HWND window) {
    return std::unique_ptr<State>(reinterpret_cast<State*>(SetWindowLongPtrW(window, GWLP_USERDATA, 0)));
}

} // namespace platform
