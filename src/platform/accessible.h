#pragma once
// What screen readers read of the program's windows, through the interface
// every Windows reader can read (MSAA). Standard controls answer for
// themselves; a label names the field after it in z-order. What they cannot
// say is put here: a custom-drawn window's name and use, a button whose text
// says nothing, and a change that comes without the focus.
#include <windows.h>

#include <string>

namespace platform {

// What a window answers in place of what its standard object would. Empty
// texts, and a role of 0, leave the standard object's answer.
struct AccessibleFacts {
    std::wstring name;
    std::wstring description;
    std::wstring keyboard_shortcut;
    std::wstring default_action;
    long role = 0;
    // Posted to the window when a reader does the default action.
    UINT default_action_message = 0;
};

// For a window's WM_GETOBJECT: answers with the standard object of its client
// area, `facts` laid over it. False (result untouched) for another object, or
// when the object cannot be made: the window passes the message on then.
bool answer_get_object(HWND window, WPARAM wparam, LPARAM lparam, const AccessibleFacts& facts, LRESULT* result);

// What a reader is told of `control` in place of what its standard object
// says, for the control's life; what is seen stays as it is.
void set_accessible_facts(HWND control, AccessibleFacts facts);
// The name a reader announces for `control`, whose own text ("?") stays as
// it is on the screen.
void set_accessible_name(HWND control, const std::wstring& name);

// Tells readers that `label` has just appeared (an error shown): they
// announce it without the user going to it.
void announce_shown(HWND label);
// Tells readers that a command, not the user's typing, has just changed the
// text of `field`, which does not have the keyboard.
void announce_value_changed(HWND field);

} // namespace platform
