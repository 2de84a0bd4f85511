#pragma once
// Live heap bytes of the benchmark process, counted by its own operator new
// and delete: the memory a load holds at its peak, on every platform.
#include <cstddef>

namespace vault_bench {

std::size_t heap_now();
std::size_t heap_peak();
void reset_heap_peak(); // the peak starts again from what is live now

} // namespace vault_bench
