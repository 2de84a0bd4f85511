#include "heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#define QLK_BLOCK_SIZE _msize
#else
#include <malloc.h>
#define QLK_BLOCK_SIZE malloc_usable_size
#endif

namespace vault_bench {
namespace {
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};
} // namespace

std::size_t heap_now() { return g_live.load(); }
std::size_t heap_peak() { return g_peak.load(); }
void reset_heap_peak() { g_peak.store(g_live.load()); }

} // namespace vault_bench

using vault_bench::g_live;
using vault_bench::g_peak;

void* operator new(std::size_t size) {
    void* block = std::malloc(size ? size : 1);
    if (!block) throw std::bad_alloc();
    const std::size_t live = g_live.fetch_add(QLK_BLOCK_SIZE(block)) + QLK_BLOCK_SIZE(block);
    std::size_t peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {}
    return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept {
    if (!block) return;
    g_live.fetch_sub(QLK_BLOCK_SIZE(block));
    std::free(block);
}
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t) noexcept { operator delete(block); }
