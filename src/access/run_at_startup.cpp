#include "access/run_at_startup.h"

#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/unique_handle.h"

#include <new>

namespace qlk_access {

bool WillRunAtStartup(const std::wstring& name) {
    platform::unique_hkey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExW(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring run_command_line(const std::wstring& name, const std::wstring& folder) {
    return L"\"" + folder + L"\\" + name + L".exe\"";
}

std::string set_run_at_startup_under(HKEY root, const std::wstring& name, const std::wstring& folder, bool enable) {
    try {
        platform::unique_hkey key;
        const LONG opened =
            RegCreateKeyExW(root, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
        if (opened != ERROR_SUCCESS) return "Error " + std::to_string(opened) + " opening key\r\n";
        if (enable) {
            const LONG written = platform::write_registry_string(key.get(), name, run_command_line(name, folder));
            if (written != ERROR_SUCCESS) return "Error " + std::to_string(written) + " setting key\r\n";
        } else {
            RegDeleteValueW(key.get(), name.c_str()); // nothing registered is fine
        }
        return "";
    } catch (const std::bad_alloc&) {
        return "7 Out of memory";
    }
}

void SetRunAtStartup(const std::wstring& name, const std::wstring& folder, bool enable) {
    const std::string message = set_run_at_startup_under(HKEY_CURRENT_USER, name, folder, enable);
    if (!message.empty()) platform::show_message(message);
}

} // namespace qlk_access
