#pragma once
// Windows DLLs that are not among the system's known DLLs, taken from System32
// only. The program often runs from a folder others can write to (a stick,
// Downloads); a DLL of the same name put beside it is never looked at.
#include <windows.h>

namespace platform {

// The entry `name` of the system DLL `dll` (a bare file name such as
// L"wtsapi32.dll"), or null when the DLL or the entry is missing. The DLL
// stays loaded for the rest of the process.
FARPROC system_procedure(const wchar_t* dll, const char* name);

template <typename Function> Function* system_function(const wchar_t* dll, const char* name) {
    // Through a plain function pointer: GCC warns on a direct cast between
    // unrelated function types.
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(system_procedure(dll, name)));
}

} // namespace platform
