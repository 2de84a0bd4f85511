// The program's operator delete, in every form: each block is zeroed before it
// goes back to the heap, so that a string or a vector that held a password
// leaves nothing in freed memory for a memory dump, a crash report or a
// process with debug rights to find.
//
// Compiled into every Windows program that links the platform layer as an
// object of its own (src/platform/CMakeLists.txt): as a member of a static
// library it would be linked only where something needed it first, and the
// C++ library's own operator delete would take its place.
//
// Blocks come from the C++ library's operator new, that is from malloc, which
// tells their size (_msize). Over-aligned blocks are allocated here too, with
// their size in front, as _aligned_malloc keeps no size one could ask for.
#include <windows.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

void wipe_and_free(void* block, std::size_t size) noexcept {
    if (!block) return;
    SecureZeroMemory(block, size);
    std::free(block);
}

void wipe_and_free(void* block) noexcept {
    if (block) wipe_and_free(block, _msize(block));
}

// Room in front of an over-aligned block: its size, kept at the alignment.
std::size_t front_of(std::align_val_t alignment) {
    return std::max(static_cast<std::size_t>(alignment), sizeof(std::size_t));
}

void wipe_and_free_aligned(void* block, std::align_val_t alignment) noexcept {
    if (!block) return;
    unsigned char* start = static_cast<unsigned char*>(block) - front_of(alignment);
    std::size_t size = 0;
    std::memcpy(&size, static_cast<unsigned char*>(block) - sizeof size, sizeof size);
    SecureZeroMemory(start, front_of(alignment) + size);
    _aligned_free(start);
}

} // namespace

void operator delete(void* block) noexcept { wipe_and_free(block); }
void operator delete[](void* block) noexcept { wipe_and_free(block); }
void operator delete(void* block, std::size_t size) noexcept { wipe_and_free(block, size); }
void operator delete[](void* block, std::size_t size) noexcept { wipe_and_free(block, size); }
void operator delete(void* block, const std::nothrow_t&) noexcept { wipe_and_free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { wipe_and_free(block); }

// The C++ library's array and nothrow forms of the aligned new call this one.
void* operator new(std::size_t size, std::align_val_t alignment) {
    const std::size_t front = front_of(alignment);
    if (size > SIZE_MAX - front) throw std::bad_alloc();
    for (;;) {
        if (auto* start = static_cast<unsigned char*>(_aligned_malloc(front + size, front))) {
            std::memcpy(start + front - sizeof size, &size, sizeof size);
            return start + front;
        }
        const std::new_handler handler = std::get_new_handler();
        if (!handler) throw std::bad_alloc();
        handler();
    }
}

void operator delete(void* block, std::align_val_t alignment) noexcept { wipe_and_free_aligned(block, alignment); }
void operator delete[](void* block, std::align_val_t alignment) noexcept { wipe_and_free_aligned(block, alignment); }
void operator delete(void* block, std::size_t, std::align_val_t alignment) noexcept {
    wipe_and_free_aligned(block, alignment);
}
void operator delete[](void* block, std::size_t, std::align_val_t alignment) noexcept {
    wipe_and_free_aligned(block, alignment);
}
void operator delete(void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    wipe_and_free_aligned(block, alignment);
}
void operator delete[](void* block, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    wipe_and_free_aligned(block, alignment);
}
