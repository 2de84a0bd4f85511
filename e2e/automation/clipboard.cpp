// The clipboard's Unicode text, as a user pasting it would get it.
#include "automation.h"

#include <cstring>

namespace qlk_auto {
namespace {

// Another process may hold the clipboard for a moment.
bool open_clipboard(DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (!OpenClipboard(nullptr)) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
    return true;
}

int read_text() {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return fail(kNotFound, "no text on the clipboard");
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (!text) return fail(kNotFound, "no text on the clipboard");
    write_line(escape(text));
    GlobalUnlock(data);
    return kOk;
}

int put_text(const std::wstring& text) {
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return fail(kFailed, "out of memory");
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) {
        GlobalFree(memory);
        return fail(kFailed, "the clipboard refused the text");
    }
    return kOk;
}

} // namespace

int cmd_clipboard(const std::wstring& command, Context& context) {
    if (command == L"setclip" && context.args.empty()) return fail(kUsage, "setclip TEXT");
    if (!open_clipboard(context.timeout_ms)) return fail(kFailed, "the clipboard stays busy");
    int code = kOk;
    if (command == L"clipboard")
        code = read_text();
    else if (command == L"setclip")
        code = put_text(context.args[0]);
    else if (!EmptyClipboard())
        code = fail(kFailed, "the clipboard was not emptied");
    CloseClipboard();
    return code;
}

} // namespace qlk_auto
