#include "platform/clipboard.h"

#include "platform/clock.h"
#include "platform/text.h"
#include "platform/wipe.h"

#include <commctrl.h>

#include <cstring>
#include <utility>
#include <vector>

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

void zero_global(HGLOBAL memory) {
    if (void* bytes = GlobalLock(memory)) {
        SecureZeroMemory(bytes, GlobalSize(memory));
        GlobalUnlock(memory);
    }
}

bool put(UINT format, HGLOBAL memory) {
    if (!memory) return false;
    if (SetClipboardData(format, memory)) return true;
    zero_global(memory);
    GlobalFree(memory);
    return false;
}

// What the clipboard holds is told apart by its sequence number, which moves
// with every change of the content, by anyone. A number taken right after a
// copy of ours therefore names that copy for as long as it stays there. 0 is
// never ours: nothing was copied, or the system does not tell the number.
bool still_holds(DWORD sequence) { return sequence != 0 && GetClipboardSequenceNumber() == sequence; }

// The clipboard's sequence number right after our last copy.
DWORD g_our_sequence = 0;

// The text of our last copy, and the window of ours that owns the clipboard
// with it. Emptying the clipboard frees that memory as it is, in this
// process's heap, so it is zeroed first, at the last moments it is sure to be
// ours: before we empty the clipboard ourselves; when another program empties
// it (the owner hears of it with WM_DESTROYCLIPBOARD, the data still in
// place); and when the owner window is destroyed. Once the owner is gone, the
// system frees the memory whenever this process next opens the clipboard, so
// the handle is let go then and never touched again. Without an owner window
// nothing tells when the memory stops being ours: the handle is not kept.
HGLOBAL g_our_text = nullptr;
HWND g_text_owner = nullptr;

constexpr UINT_PTR kOwnerSubclass = 1;

LRESULT CALLBACK owner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR);

// Zeroes our text while the clipboard still holds it, and lets go of it.
void wipe_our_text() {
    if (g_our_text && still_holds(g_our_sequence)) zero_global(g_our_text);
    g_our_text = nullptr;
    if (g_text_owner) RemoveWindowSubclass(std::exchange(g_text_owner, nullptr), owner_proc, kOwnerSubclass);
}

LRESULT CALLBACK owner_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR, DWORD_PTR) {
    if (message == WM_DESTROYCLIPBOARD || message == WM_DESTROY) wipe_our_text();
    return DefSubclassProc(window, message, wparam, lparam);
}

// Keeps the handle of the text just placed, while `owner` owns the clipboard.
void keep_our_text(HWND owner, HGLOBAL memory) {
    if (owner && SetWindowSubclass(owner, owner_proc, kOwnerSubclass, 0)) {
        g_our_text = memory;
        g_text_owner = owner;
    }
}

// EmptyClipboard, our text wiped first. The clipboard is open.
bool empty_clipboard() {
    wipe_our_text();
    return EmptyClipboard();
}

// Empties the clipboard only while it still holds what `sequence` names.
bool clear_if_still_holds(HWND owner, DWORD sequence) {
    if (!still_holds(sequence)) return false;
    OpenedClipboard clipboard(owner);
    // Checked again while it is open: nobody can change it now.
    return clipboard && still_holds(sequence) && empty_clipboard();
}

// A clearing to come: when it is due on the program's clock, and the
// clipboard's sequence number it expects then.
struct Clearing {
    ULONGLONG due;
    DWORD expected;
};

std::vector<Clearing>& pending_clearings() {
    static std::vector<Clearing> pending;
    return pending;
}

// One short timer runs while clearings are pending and checks the clock: a
// test moves the clock on rather than waiting out the delay.
constexpr UINT kClearingCheckMs = 250;
constexpr ULONGLONG kClearingRetryMs = 1000;
UINT_PTR g_clearing_timer = 0;

void CALLBACK clear_due(HWND, UINT, UINT_PTR, DWORD) {
    auto& pending = pending_clearings();
    const ULONGLONG now = clock_ms();
    std::vector<DWORD> due;
    std::erase_if(pending, [&](const Clearing& clearing) {
        if (clearing.due > now) return false;
        due.push_back(clearing.expected);
        return true;
    });
    // Another program may hold the clipboard open just then: our copy would
    // stay for good if the clearing were dropped.
    for (DWORD expected : due)
        if (!clear_if_still_holds(nullptr, expected) && still_holds(expected))
            pending.push_back({now + kClearingRetryMs, expected});
    if (pending.empty() && g_clearing_timer) KillTimer(nullptr, std::exchange(g_clearing_timer, 0));
}

FormatRegistration g_format_registration = nullptr; // null: the system's

// The marker that keeps the content out of the clipboard history and the
// cloud clipboard. Its data is not looked at; a zero DWORD is what others put there.
bool put_exclusion_marker() {
    const FormatRegistration registration = g_format_registration ? g_format_registration : RegisterClipboardFormatW;
    const UINT format = registration(kExcludeFromHistoryFormat);
    const DWORD zero = 0;
    return format && put(format, global_copy(&zero, sizeof zero));
}

Copy put_text(HWND owner, const std::string& text) {
    OpenedClipboard clipboard(owner);
    if (!clipboard || !empty_clipboard()) return Copy::ClipboardBusy;
    // The marker first: without it the text is not placed, and the clipboard,
    // emptied above, stays empty.
    if (!put_exclusion_marker()) return Copy::NotKeptFromHistory;
    // As wide text: the system offers it to readers of CF_TEXT in their own code page.
    std::wstring wide = to_wide(text);
    const HGLOBAL memory = global_copy(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
    wipe(wide);
    if (!put(CF_UNICODETEXT, memory)) {
        EmptyClipboard(); // the marker alone is no copy
        return Copy::ClipboardBusy;
    }
    keep_our_text(owner, memory);
    return Copy::Made;
}

} // namespace

Copy set_clipboard_text(HWND owner, const std::string& text) {
    const Copy copy = put_text(owner, text);
    if (copy == Copy::Made) g_our_sequence = GetClipboardSequenceNumber(); // read once the clipboard is closed again
    return copy;
}

void set_format_registration(FormatRegistration registration) { g_format_registration = registration; }

bool clear_clipboard(HWND owner) {
    OpenedClipboard clipboard(owner);
    return clipboard && empty_clipboard();
}

bool clear_clipboard_if_ours(HWND owner) { return clear_if_still_holds(owner, g_our_sequence); }

bool clear_clipboard_later(UINT milliseconds) {
    if (!g_clearing_timer) g_clearing_timer = SetTimer(nullptr, 0, kClearingCheckMs, clear_due);
    if (!g_clearing_timer) return false;
    pending_clearings().push_back({clock_ms() + milliseconds, GetClipboardSequenceNumber()});
    return true;
}

} // namespace platform
