// Where the DLLs of the program come from. The program often runs from a
// folder others can write to (a stick, Downloads), and Windows looks there
// first for any DLL that is not one of its known DLLs. The exe imports at load
// only known DLLs (KERNEL32, msvcrt) and every other system DLL at its first
// call, through delay-import libraries (src/platform/CMakeLists.txt): by then
// the search below is in force, for our loads and for those of the system
// DLLs themselves.
#include <windows.h>

namespace {

// Before the C runtime's own start-up work: setting up the stack-protector
// cookie asks the system for a crypto provider, which loads its DLLs
// (advapi32.dll, crypt32.dll, bcrypt.dll) by name. Priority 101 runs ahead of
// every constructor without one; wWinMain would come too late for it.
[[gnu::constructor(101)]] void search_system32_only() {
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Windows holds every later load to that, the delay-load imports of its
    // own DLLs included. Wine resolves those of its DLLs by the full search,
    // the program's folder first: uxtheme's msimg32, which it takes when it
    // first draws a themed control, is loaded from System32 here, so that
    // uxtheme finds it loaded.
    LoadLibraryExW(L"msimg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

} // namespace
