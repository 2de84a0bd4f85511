#pragma once
// A machine with less memory, for one test at a time: while an
// AllocationLimit lives, every allocation larger than its limit fails with
// std::bad_alloc, as operator new does when the memory is not there.
#include <cstddef>

namespace vault_test {

class AllocationLimit {
public:
    explicit AllocationLimit(std::size_t largest_bytes);
    ~AllocationLimit();
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;
};

} // namespace vault_test
