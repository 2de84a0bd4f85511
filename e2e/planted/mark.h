#pragma once
// What a planted file does when it runs: it leaves a mark, an empty file
// named after itself (bcrypt.dll, Notepad.exe ...) in the folder QLK_MARKS
// names. It calls KERNEL32 alone.
#include <windows.h>

inline void leave_mark(HMODULE self_module) {
    wchar_t path[MAX_PATH];
    const DWORD folder = GetEnvironmentVariableW(L"QLK_MARKS", path, MAX_PATH);
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(self_module, self, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH || length == 0 || length >= MAX_PATH) return;
    const wchar_t* name = self;
    for (const wchar_t* c = self; *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    if (lstrlenW(path) + 1 + lstrlenW(name) >= MAX_PATH) return;
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
}
