// A DLL that a scenario puts beside Quillock.exe under the name of a DLL the
// program or the system DLLs it uses look up. When it is loaded into a
// process it leaves a mark: an empty file named after itself (bcrypt.dll,
// uxtheme.dll ...) in the folder QLK_MARKS names. It exports nothing, so a
// process that takes it cannot use it: the mark is all it is for.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    wchar_t path[MAX_PATH];
    const DWORD folder = GetEnvironmentVariableW(L"QLK_MARKS", path, MAX_PATH);
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(instance, self, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH || length == 0 || length >= MAX_PATH) return TRUE;
    const wchar_t* name = self;
    for (const wchar_t* c = self; *c; ++c)
        if (*c == L'\\' || *c == L'/') name = c + 1;
    if (lstrlenW(path) + 1 + lstrlenW(name) >= MAX_PATH) return TRUE;
    lstrcatW(path, L"\\");
    lstrcatW(path, name);
    const HANDLE mark = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (mark != INVALID_HANDLE_VALUE) CloseHandle(mark);
    return TRUE;
}
