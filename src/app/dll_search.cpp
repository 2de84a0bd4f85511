// Where the DLLs of the program come from, and what happens when one cannot
// be loaded. The program often runs from a folder others can write to (a
// stick, Downloads), and Windows looks there first for any DLL that is not one
// of its known DLLs. The exe imports at load only known DLLs (KERNEL32,
// msvcrt) and every other system DLL at its first call, through delay-import
// libraries (src/platform/CMakeLists.txt): by then the search below is in
// force, for our loads and for those of the system DLLs themselves.
#include "platform/dialogs.h"
#include "widget/menu_host.h"

#include <windows.h>

#include <delayimp.h>

#include <atomic>
#include <string>

namespace {

constexpr UINT kExitCode = 1;

// Before the C runtime's own start-up work: setting up the stack-protector
// cookie asks the system for a crypto provider, which loads its DLLs
// (advapi32.dll, crypt32.dll, bcrypt.dll) by name. Priority 101 runs ahead of
// every constructor without one; wWinMain would come too late for it.
[[gnu::constructor(101)]] void search_system32_only() {
    // Without the restriction every later load would search the program's
    // folder first, the message box's DLL included: the program ends without
    // a word rather than load anything.
    if (!SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32)) ExitProcess(kExitCode);
    // Windows holds every later load to that, the delay-load imports of its
    // own DLLs included. Wine resolves those of its DLLs by the full search,
    // the program's folder first: uxtheme's msimg32, which it takes when it
    // first draws a themed control, is loaded from System32 here, so that
    // uxtheme finds it loaded.
    LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Every window of the process leaves the screen: the box below waits for an
// answer without limit, and meanwhile this thread runs no message loop, so no
// lock, idle limit or pulled stick could close a window that shows a password.
BOOL CALLBACK hide_if_ours(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
    return TRUE;
}

DWORD WINAPI tell_failure(void* text) {
    platform::show_message(*static_cast<const std::string*>(text));
    return 0;
}

// A system DLL that cannot be loaded, or that lacks a function the program
// calls: without this hook the delay-load helper raises an exception nobody
// handles, and the process dies with a password on the clipboard and the
// print file on disk. The traces and the windows go first, then the user is
// told which DLL, then the program ends.
FARPROC WINAPI on_delay_load_failure(unsigned notice, PDelayLoadInfo info) {
    static std::atomic<bool> failing{false};
    // A failure while this one is handled (the clipboard and the message box
    // need user32 themselves) ends at once: what could be removed is gone.
    if (failing.exchange(true)) ExitProcess(kExitCode);
    // The print file first, with KERNEL32 alone: should the failing DLL be
    // needed on the way, the failure above ends the program with it gone.
    widget::remove_traces();
    EnumWindows(hide_if_ours, 0);
    const std::string dll = info && info->szDll ? info->szDll : "a system DLL";
    const std::string text = notice == dliFailGetProc
                                 ? "ERROR: " + dll + " lacks a function that Quillock calls.\r\nQuillock ends now."
                                 : "ERROR: Windows could not load " + dll + ".\r\nQuillock ends now.";
    // On a thread of its own: a message box's loop here would hand this
    // thread's messages to windows whose handlers may call the missing DLL.
    if (HANDLE thread = CreateThread(nullptr, 0, tell_failure, const_cast<std::string*>(&text), 0, nullptr)) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    } // no thread: the program ends without the message
    ExitProcess(kExitCode);
}

} // namespace

// The delay-load helper's failure hook (delayimp.h); the definition here takes
// the place of the run-time library's empty one.
PfnDliHook __pfnDliFailureHook2 = on_delay_load_failure;
