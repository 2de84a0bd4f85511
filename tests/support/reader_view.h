#pragma once
// A window as a screen reader reads it: its accessible object, asked for as
// a reader asks (AccessibleObjectFromWindow), and that object's answers.
// Interfaces are named by __uuidof: in mingw-w64's liboleacc the name
// IID_IAccessible is the import stub of oleacc.dll's export, not the GUID.
#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <string>

namespace test_support {

struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
};
template <typename Interface> using com_ptr = std::unique_ptr<Interface, ComRelease>;

// The accessible object of the window's client area; null when there is none.
inline com_ptr<IAccessible> accessible_object(HWND window) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // kept for the thread, as the program keeps it
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
        object = nullptr;
    return com_ptr<IAccessible>(object);
}

inline VARIANT self() {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = CHILDID_SELF;
    return child;
}

// The name a reader announces; empty when the object gives none.
inline std::wstring name_of(IAccessible* object) {
    BSTR text = nullptr;
    std::wstring name;
    if (object && object->get_accName(self(), &text) == S_OK && text) name.assign(text, SysStringLen(text));
    SysFreeString(text);
    return name;
}

// What a reader says the object is (ROLE_SYSTEM_*); 0 when it does not say.
inline long role_of(IAccessible* object) {
    VARIANT role{};
    if (!object || FAILED(object->get_accRole(self(), &role)) || role.vt != VT_I4) return 0;
    return role.lVal;
}

} // namespace test_support
