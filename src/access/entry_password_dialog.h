#pragma once
// frmPassword: the first window of every run. Its load fills the run state;
// the right entry password shows the widget.
namespace platform {
class InstanceGuard;
}

namespace qlk_access {

// The guard that main holds for the life of the process.
void set_instance_guard(const platform::InstanceGuard* guard);
void load_frmPassword();

} // namespace qlk_access
