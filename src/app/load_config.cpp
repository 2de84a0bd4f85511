// The exe's load-configuration directory. Windows 10 (1607 and later) reads
// DependentLoadFlags from it before the first import is resolved: with
// LOAD_LIBRARY_SEARCH_SYSTEM32 the DLLs the exe imports, and the ones those
// DLLs import in turn, come from System32 only, never from the folder the
// program runs from (a stick, Downloads), which others may write to. That
// covers the start-up, which SetDefaultDllDirectories in wWinMain comes too
// late for.
//
// The linker here does not point the PE header at this structure;
// cmake/pe_load_config.sh does, after the link, from the map file.
#include <windows.h>

#include <cstddef>

namespace {

// mingw-w64's header names DependentLoadFlags, the word at offset 78, Reserved1.
constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 load_config() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 config{};
    config.Size = sizeof config;
    config.Reserved1 = LOAD_LIBRARY_SEARCH_SYSTEM32;
    return config;
}
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 78);

} // namespace

// The name the Windows loader's tools and the map file know it by.
extern "C" [[gnu::used]] const IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = load_config();
