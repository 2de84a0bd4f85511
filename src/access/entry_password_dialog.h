#pragma once
// frmPassword: the first window of every run. Its load fills the run state;
// the right entry password shows the widget.
namespace platform {
class DataFolderLock;
class InstanceGuard;
} // namespace platform

namespace qlk_access {

// The guard that main holds for the life of the process.
void set_instance_guard(const platform::InstanceGuard* guard);
// The data folder's lock that main holds for the life of the process; the
// dialog's load takes it before it touches anything in the folder.
void set_data_folder_lock(platform::DataFolderLock* lock);
void load_frmPassword();

} // namespace qlk_access
