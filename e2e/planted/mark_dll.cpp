// A DLL that a scenario puts beside Quillock.exe under the name of a DLL the
// program or the system DLLs it uses look up. When it is loaded into a
// process it leaves its mark (mark.h). It exports nothing, so a process that
// takes it cannot use it: the mark is all it is for.
#include "mark.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) leave_mark(instance);
    return TRUE;
}
