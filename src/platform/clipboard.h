#pragma once
// The clipboard as the program uses it: plain text (placed as wide text), kept
// out of the system's clipboard history, and emptied when the viewer closes.
#include <windows.h>

#include <string>

namespace platform {

// The registered format that tells the clipboard history and cloud clipboard
// to leave the content alone.
inline constexpr wchar_t kExcludeFromHistoryFormat[] = L"ExcludeClipboardContentFromMonitorProcessing";

// Replaces what the clipboard holds by `text` as CF_UNICODETEXT (plus the exclusion
// marker). False when the clipboard could not be opened (another program
// holds it) or the data could not be placed.
bool set_clipboard_text(HWND owner, const std::string& text);

// Empties the clipboard. False when another program holds it.
bool clear_clipboard(HWND owner);

// Empties the clipboard only while it still holds what set_clipboard_text put
// there last: text copied since, by this program's user from anywhere else,
// stays. True when it was emptied.
bool clear_clipboard_if_ours(HWND owner);

// Empties the clipboard `milliseconds` from now if it still holds what it
// holds now (its sequence number has not moved): whatever anyone copies
// meanwhile is left alone. Runs from the calling thread's message loop, on the
// program's clock (platform/clock.h), within a quarter of a second of its time.
void clear_clipboard_later(UINT milliseconds);

} // namespace platform
