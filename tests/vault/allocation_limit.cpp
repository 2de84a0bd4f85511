#include "allocation_limit.h"

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {
std::atomic<std::size_t> g_largest{std::numeric_limits<std::size_t>::max()};
} // namespace

namespace vault_test {
AllocationLimit::AllocationLimit(std::size_t largest_bytes) { g_largest = largest_bytes; }
AllocationLimit::~AllocationLimit() { g_largest = std::numeric_limits<std::size_t>::max(); }
} // namespace vault_test

// The test program's own operator new and delete, over malloc and free.
void* operator new(std::size_t size) {
    if (size > g_largest) throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
