// Where the DLLs of the program come from before wWinMain runs. The program
// often runs from a folder others can write to (a stick, Downloads), and
// Windows looks there first for any DLL that is not one of its known DLLs.
#include <windows.h>

#include <cstddef>

namespace {

// The exe's load-configuration directory. Windows 10 (1607 and later) reads
// DependentLoadFlags from it before the first import is resolved: with
// LOAD_LIBRARY_SEARCH_SYSTEM32 the DLLs the exe imports come from System32
// only. The linker here does not point the PE header at this structure;
// cmake/pe_load_config.sh does, after the link, from the map file.
constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 load_config() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
    config.Size = sizeof config;
    // mingw-w64's header names DependentLoadFlags, the word at offset 78, Reserved1.
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return config;
}
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 78);

// Before the C runtime's own start-up work: setting up the stack-protector
// cookie asks the system for a crypto provider, which loads its DLLs
// (crypt32.dll, bcrypt.dll) by name. Priority 101 runs ahead of every
// constructor without one; wWinMain comes too late for it.
[[gnu::constructor(101)]] void search_system32_only() { SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32); }

} // namespace

// The name the loader's tools and the map file know the structure by.
extern "C" [[gnu::used]] const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = load_config();
