#pragma once
// The one-copy-per-session guard: a named mutex held for the life of the process.
#include "platform/unique_handle.h"

namespace platform {

class InstanceGuard {
public:
    InstanceGuard();
    // True when another copy of the program held the guard first.
    bool another_is_running() const { return another_; }

private:
    unique_kernel_handle mutex_;
    bool another_ = false;
};

} // namespace platform
