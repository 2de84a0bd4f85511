// What a scenario puts beside Quillock.exe, built both as a DLL and as a
// program: the DLL under the name of a DLL the program or the system DLLs it
// uses look up, the program as Notepad.exe and www.example.com (to the shell
// a ".com" name is a program). Loaded or started, it leaves a mark: an empty
// file named after itself (bcrypt.dll, Notepad.exe ...) in the folder
// QLK_MARKS names. The DLL exports nothing: the mark is all it is for.
#include <windows.h>

static void leave_mark(HMODULE self_module) {
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

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) leave_mark(instance);
    return TRUE;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    leave_mark(nullptr);
    return 0;
}
