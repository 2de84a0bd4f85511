// What a screen reader reads of a window's controls: each control's
// accessible object as another process gets it (AccessibleObjectFromWindow),
// and the name Windows gives a field by its documented rule, which Wine's
// own rule is looser than.
#include "automation.h"

#include <oleacc.h>

#include <cwctype>

namespace qlk_auto {
namespace {

std::wstring trimmed(std::wstring text) {
    while (!text.empty() && std::iswspace(text.back())) text.pop_back();
    size_t start = 0;
    while (start < text.size() && std::iswspace(text[start])) ++start;
    return text.substr(start);
}

// A control's text as a name: "&" marks the access key and is not read.
std::wstring without_access_marks(const std::wstring& text) {
    std::wstring name;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        name += text[i];
    }
    return trimmed(name);
}

bool is_text_static(HWND window) {
    if (_wcsicmp(class_of(window).c_str(), L"Static") != 0) return false;
    const LONG_PTR type = GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK;
    return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Controls whose text is what the user types or picks, not what they are:
// Windows names them by their label.
bool named_by_label(HWND control) {
    const std::wstring name = class_of(control);
    for (const wchar_t* labelled : {L"Edit", L"ComboBox", L"SysListView32", L"msctls_trackbar32", L"SysTreeView32"})
        if (_wcsicmp(name.c_str(), labelled) == 0) return true;
    return false;
}

// Windows' rule: the nearest static text before the control in z-order
// (GetWindow with GW_HWNDPREV); the search stops at a control that takes the tab.
std::wstring name_by_rule(HWND control) {
    std::wstring text;
    for (HWND before = GetWindow(control, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV)) {
        if (is_text_static(before)) {
            control_text(before, &text);
            return without_access_marks(text);
        }
        if (GetWindowLongPtrW(before, GWL_STYLE) & WS_TABSTOP) break;
    }
    return {};
}

std::wstring taken(BSTR text) {
    std::wstring value = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return value;
}

struct Answers {
    long role = 0;
    std::wstring name, description, shortcut;
};

bool ask(HWND control, Answers* answers) {
    IAccessible* object = nullptr;
    const HRESULT made = AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                    reinterpret_cast<void**>(&object));
    if (FAILED(made) || !object) {
        fail(kFailed, "no accessible object: " + std::to_string(static_cast<unsigned long>(made)));
        return false;
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text))) answers->name = trimmed(taken(text));
    text = nullptr;
    if (SUCCEEDED(object->get_accDescription(self, &text))) answers->description = taken(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accKeyboardShortcut(self, &text))) answers->shortcut = taken(text);
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) answers->role = role.lVal;
    object->Release();
    return true;
}

} // namespace

int cmd_accessible(HWND window) {
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    int code = kOk;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        Answers answers;
        if (!ask(child, &answers)) code = fail(kFailed, "a control answers no accessible object");
        write_line("acc " + std::to_string(GetDlgCtrlID(child)) + " " + std::to_string(answers.role) + "\t" +
                   escape(answers.name) + "\t" + (named_by_label(child) ? escape(name_by_rule(child)) : "-") + "\t" +
                   escape(answers.description) + "\t" + escape(answers.shortcut));
    }
    if (com) CoUninitialize();
    return code;
}

} // namespace qlk_auto
