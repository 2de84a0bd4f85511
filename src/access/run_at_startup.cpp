#include "access/run_at_startup.h"

#include "platform/dialogs.h"
#include "platform/unique_handle.h"

#include <new>

namespace qlk_access {

bool WillRunAtStartup(const std::string& name) {
    platform::unique_hkey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string run_command_line(const std::string& name, const std::string& folder) {
    return "\"" + folder + "\\" + name + ".exe\"";
}

std::string set_run_at_startup_under(HKEY root, const std::string& name, const std::string& folder, bool enable) {
    try {
        platform::unique_hkey key;
        const LONG opened =
            RegCreateKeyExA(root, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.put(), nullptr);
        if (opened != ERROR_SUCCESS) return "Error " + std::to_string(opened) + " opening key\r\n";
        if (enable) {
            const std::string data = run_command_line(name, folder);
            const LONG written =
                RegSetValueExA(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
            if (written != ERROR_SUCCESS) return "Error " + std::to_string(written) + " setting key\r\n";
        } else {
            RegDeleteValueA(key.get(), name.c_str()); // nothing registered is fine
        }
        return "";
    } catch (const std::bad_alloc&) {
        return "7 Out of memory";
    }
}

void SetRunAtStartup(const std::string& name, const std::string& folder, bool enable) {
    const std::string message = set_run_at_startup_under(HKEY_CURRENT_USER, name, folder, enable);
    if (!message.empty()) platform::show_message(message);
}

} // namespace qlk_access
