#include "platform/clipboard.h"

#include <cstring>
#include <map>

namespace platform {
namespace {

// Another program (a clipboard viewer, a remote-desktop client) may have the
// clipboard open for a moment: try a few times before giving up.
bool open_clipboard(HWND owner) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(10 << attempt);
    }
    return false;
}

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(open_clipboard(owner)) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// Global memory handed to SetClipboardData belongs to the clipboard only once
// the call succeeds; until then it is freed here.
HGLOBAL global_copy(const void* bytes, size_t size) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!memory) return nullptr;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, bytes, size);
        GlobalUnlock(memory);
        return memory;
    }
    GlobalFree(memory);
    return nullptr;
}

bool put(UINT format, HGLOBAL memory) {
    if (!memory) return false;
    if (SetClipboardData(format, memory)) return true;
    GlobalFree(memory);
    return false;
}

// The clipboard's sequence number each pending clearing expects, by timer.
std::map<UINT_PTR, DWORD>& pending_clearings() {
    static std::map<UINT_PTR, DWORD> pending;
    return pending;
}

void CALLBACK clear_if_unchanged(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    auto& pending = pending_clearings();
    const auto found = pending.find(timer);
    if (found == pending.end()) return;
    const DWORD expected = found->second;
    pending.erase(found);
    if (GetClipboardSequenceNumber() == expected) clear_clipboard(nullptr);
}

} // namespace

bool set_clipboard_text(HWND owner, const std::string& text) {
    OpenedClipboard clipboard(owner);
    if (!clipboard || !EmptyClipboard()) return false;
    if (!put(CF_TEXT, global_copy(text.c_str(), text.size() + 1))) return false;
    // The marker's data is not looked at; a zero DWORD is what others put there.
    if (const UINT exclude = RegisterClipboardFormatW(kExcludeFromHistoryFormat)) {
        const DWORD zero = 0;
        put(exclude, global_copy(&zero, sizeof zero));
    }
    return true;
}

bool clear_clipboard(HWND owner) {
    OpenedClipboard clipboard(owner);
    return clipboard && EmptyClipboard();
}

void clear_clipboard_later(UINT milliseconds) {
    const DWORD now = GetClipboardSequenceNumber();
    if (const UINT_PTR timer = SetTimer(nullptr, 0, milliseconds, clear_if_unchanged))
        pending_clearings()[timer] = now;
}

} // namespace platform
