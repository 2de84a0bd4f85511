#include "platform/system_library.h"

namespace platform {

FARPROC system_procedure(const wchar_t* dll, const char* name) {
    // Each call takes a reference the process keeps; loading an already
    // loaded DLL only counts it.
    HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? GetProcAddress(module, name) : nullptr;
}

} // namespace platform
