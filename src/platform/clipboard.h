#pragma once
// The clipboard as the program uses it: plain text (placed as wide text), kept
// out of the system's clipboard history, and emptied when the viewer closes.
#include <windows.h>

#include <string>

namespace platform {

// The registered format that tells the clipboard history and cloud clipboard
// to leave the content alone.
inline constexpr wchar_t kExcludeFromHistoryFormat[] = L"ExcludeClipboardContentFromMonitorProcessing";

// What a copy came to. A copy that cannot be kept out of the history is not
// made: the clipboard is left empty.
enum class Copy { Made, ClipboardBusy, NotKeptFromHistory };

// Replaces what the clipboard holds by the exclusion marker and then `text` as
// CF_UNICODETEXT. ClipboardBusy when the clipboard could not be opened
// (another program holds it) or the text could not be placed.
Copy set_clipboard_text(HWND owner, const std::string& text);

// The call that registers the marker's format: RegisterClipboardFormatW,
// unless a test puts its own in (nullptr puts it back).
using FormatRegistration = UINT(WINAPI*)(LPCWSTR name);
void set_format_registration(FormatRegistration registration);

// Empties the clipboard. False when another program holds it.
bool clear_clipboard(HWND owner);

// Empties the clipboard only while it still holds what set_clipboard_text put
// there last: text copied since, by this program's user from anywhere else,
// stays. True when it was emptied.
bool clear_clipboard_if_ours(HWND owner);

// Empties the clipboard `milliseconds` from now if it still holds what it
// holds now (its sequence number has not moved): whatever anyone copies
// meanwhile is left alone. While another program holds the clipboard open it
// is tried again each second, for as long as it holds the same content. Runs
// from the calling thread's message loop, on the program's clock
// (platform/clock.h), within a quarter of a second of its time. False when no
// timer could be set: nothing will empty it then.
bool clear_clipboard_later(UINT milliseconds);

} // namespace platform
