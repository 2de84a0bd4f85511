#include "platform/accessible.h"

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>

#include <memory>

#ifndef EVENT_OBJECT_LIVEREGIONCHANGED
#define EVENT_OBJECT_LIVEREGIONCHANGED 0x8019
#endif

namespace platform {
namespace {

bool is_self(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object of a window's client area with some of its answers
// replaced. Every other question goes to the standard object. It is one COM
// object: every interface it hands out is its own, so that each answers the
// same IUnknown and asking any of them for IAccessible gives these answers.
// Once the window has gone, nothing is done on it: every question is refused
// as a reader expects of an object that no longer exists.
class FactsObject final : public IAccessible, public IOleWindow {
public:
    FactsObject(IAccessible* standard, HWND window, AccessibleFacts facts)
        : standard_(standard), window_(window), facts_(std::move(facts)) {}
    FactsObject(const FactsObject&) = delete;
    FactsObject& operator=(const FactsObject&) = delete;

    // IUnknown. A reader walks the children through get_accChildCount and
    // get_accChild: the standard object's IEnumVARIANT, handed out here,
    // would be another object's (its QueryInterface answers as the system's
    // proxy, without these answers), so it is refused.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IDispatch) || id == __uuidof(IAccessible))
            *object = static_cast<IAccessible*>(this);
        else if (id == __uuidof(IOleWindow))
            *object = static_cast<IOleWindow*>(this);
        else
            *object = nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // IOleWindow: the window the object belongs to (WindowFromAccessibleObject asks).
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = nullptr;
        if (gone()) return CO_E_OBJNOTCONNECTED;
        *window = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch: readers call IAccessible directly.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible: the facts for the object itself.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* text) override {
        return answer(facts_.name, child, text, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return answer(facts_.description, child, text, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return answer(facts_.keyboard_shortcut, child, text, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* text) override {
        return answer(facts_.default_action, child, text, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!facts_.role || !is_self(child)) return ask(&IAccessible::get_accRole, child, role);
        if (gone()) return CO_E_OBJNOTCONNECTED;
        if (!role) return E_INVALIDARG;
        role->vt = VT_I4;
        role->lVal = facts_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!facts_.default_action_message || !is_self(child)) return ask(&IAccessible::accDoDefaultAction, child);
        if (gone()) return CO_E_OBJNOTCONNECTED;
        // Posted: the action may run a menu's loop, which must not run inside a reader's call.
        return PostMessageW(window_, facts_.default_action_message, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the standard object's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        return ask(&IAccessible::get_accParent, parent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        return ask(&IAccessible::get_accChildCount, count);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return ask(&IAccessible::get_accChild, child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return ask(&IAccessible::get_accValue, child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return ask(&IAccessible::get_accState, child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return ask(&IAccessible::get_accHelp, child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return ask(&IAccessible::get_accHelpTopic, file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return ask(&IAccessible::get_accFocus, child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return ask(&IAccessible::get_accSelection, children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return ask(&IAccessible::accSelect, flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
        return ask(&IAccessible::accLocation, left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
        return ask(&IAccessible::accNavigate, direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        return ask(&IAccessible::accHitTest, x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return ask(&IAccessible::put_accValue, child, value);
    }

private:
    ~FactsObject() { standard_->Release(); }

    // A reader may keep the object long after the window has gone.
    bool gone() const { return !IsWindow(window_); }

    // The standard object's answer, while the window lives.
    template <typename... Parameters, typename... Arguments>
    HRESULT ask(HRESULT (STDMETHODCALLTYPE IAccessible::*question)(Parameters...), Arguments... arguments) {
        if (gone()) return CO_E_OBJNOTCONNECTED;
        return (standard_->*question)(arguments...);
    }

    using TextQuestion = HRESULT (STDMETHODCALLTYPE IAccessible::*)(VARIANT, BSTR*);
    HRESULT answer(const std::wstring& ours, VARIANT child, BSTR* text, TextQuestion standard) {
        if (ours.empty() || !is_self(child)) return ask(standard, child, text);
        if (gone()) return CO_E_OBJNOTCONNECTED;
        if (!text) return E_INVALIDARG;
        *text = SysAllocStringLen(ours.data(), static_cast<UINT>(ours.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    }

    LONG references_ = 1;
    IAccessible* standard_; // owned: one reference
    HWND window_;
    AccessibleFacts facts_;
};

// The object is handed to another process through COM, which must be set
// up on the window's thread. Set up once and kept for the thread's life:
// a reader may ask again at any time. A thread set up otherwise already
// (RPC_E_CHANGED_MODE) serves as it is.
void set_up_com_once() {
    thread_local const bool set_up = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        return true;
    }();
    (void)set_up;
}

LRESULT CALLBACK named_control_proc(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* facts = reinterpret_cast<AccessibleFacts*>(data);
    if (LRESULT result = 0; message == WM_GETOBJECT && answer_get_object(control, wparam, lparam, *facts, &result))
        return result;
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, named_control_proc, 0);
        delete facts;
    }
    return DefSubclassProc(control, message, wparam, lparam);
}

void notify(DWORD event, HWND window) { NotifyWinEvent(event, window, OBJID_CLIENT, CHILDID_SELF); }

} // namespace

bool answer_get_object(HWND window, WPARAM wparam, LPARAM lparam, const AccessibleFacts& facts, LRESULT* result) {
    // The object id comes as a 32-bit value in the low half of lparam.
    if (static_cast<LONG>(static_cast<DWORD>(lparam)) != OBJID_CLIENT) return false;
    set_up_com_once();
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                         reinterpret_cast<void**>(&standard))) ||
        !standard)
        return false;
    auto* object = new FactsObject(standard, window, facts);
    const LRESULT reference = LresultFromObject(__uuidof(IAccessible), wparam, static_cast<IAccessible*>(object));
    object->Release(); // the reference holds its own count; a failed one none
    if (FAILED(reference)) return false;
    *result = reference;
    return true;
}

void set_accessible_facts(HWND control, AccessibleFacts facts) {
    auto kept = std::make_unique<AccessibleFacts>(std::move(facts));
    if (control && SetWindowSubclass(control, named_control_proc, 0, reinterpret_cast<DWORD_PTR>(kept.get())))
        kept.release(); // deleted at the control's WM_NCDESTROY
}

void set_accessible_name(HWND control, const std::wstring& name) { set_accessible_facts(control, {.name = name}); }

void announce_shown(HWND label) {
    // An alert is what MSAA readers announce of an object that was not
    // focused; a live-region change is what newer readers listen to.
    notify(EVENT_SYSTEM_ALERT, label);
    notify(EVENT_OBJECT_LIVEREGIONCHANGED, label);
}

void announce_value_changed(HWND field) {
    notify(EVENT_OBJECT_VALUECHANGE, field);
    notify(EVENT_OBJECT_LIVEREGIONCHANGED, field);
}

} // namespace platform
