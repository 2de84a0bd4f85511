#include "platform/instance.h"

namespace platform {

InstanceGuard::InstanceGuard() : mutex_(CreateMutexW(nullptr, FALSE, L"Local\\Quillock.SingleInstance")) {
    another_ = GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace platform
