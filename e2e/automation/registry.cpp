// A registry value's raw bytes, read through the ANSI call as the program
// itself reads them: stored texts are code-page bytes that a console would
// translate on the way out, hex keeps them exact.
#include "automation.h"
#include "standard_user.h"

#include <cstdio>

namespace qlk_auto {
namespace {

std::string ansi(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

HKEY root_of(const std::wstring& name) {
    if (name == L"HKLM" || name == L"HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (name == L"HKCU" || name == L"HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (name == L"HKU" || name == L"HKEY_USERS") return HKEY_USERS;
    return nullptr;
}

std::string type_name(DWORD type) {
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_EXPAND_SZ: return "REG_EXPAND_SZ";
    case REG_MULTI_SZ: return "REG_MULTI_SZ";
    case REG_DWORD: return "REG_DWORD";
    case REG_QWORD: return "REG_QWORD";
    case REG_BINARY: return "REG_BINARY";
    default: return std::to_string(type);
    }
}

// "HKLM\\SOFTWARE\\QLK" -> the root and the path below it.
bool split_key(const std::wstring& full, HKEY* root, std::wstring* path) {
    const size_t slash = full.find(L'\\');
    *root = root_of(full.substr(0, slash));
    *path = slash == std::wstring::npos ? std::wstring() : full.substr(slash + 1);
    return *root != nullptr;
}

} // namespace

int cmd_standard_user(const std::wstring& command, Context& context) {
    HKEY root = nullptr;
    std::wstring path;
    if (context.args.empty() || !split_key(context.args[0], &root, &path) || path.empty())
        return fail(kUsage, "deny|allow KEY, KEY beginning with HKLM, HKCU or HKU");
    const bool done =
        command == L"deny" ? test_support::deny_writes(root, path) : test_support::allow_writes(root, path);
    return done ? kOk : fail(kFailed, "could not change the key's access list");
}

int cmd_registry(Context& context) {
    if (context.args.size() < 2) return fail(kUsage, "regvalue KEY NAME");
    HKEY root = nullptr;
    std::wstring wide_path;
    if (!split_key(context.args[0], &root, &wide_path)) return fail(kUsage, "KEY begins with HKLM, HKCU or HKU");
    const std::string path = ansi(wide_path);
    const std::string name = ansi(context.args[1]);

    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return fail(kNotFound, "no such key");
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    if (result == ERROR_SUCCESS && size > 0)
        result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return fail(kNotFound, "no such value");

    std::string hex;
    for (unsigned char byte : data.substr(0, size)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    write_line(type_name(type) + " " + std::to_string(size) + " " + (hex.empty() ? "-" : hex));
    return kOk;
}

// The scenarios' own set-up and cleanup, without a reg.exe process each:
// regset writes a text value (REG_SZ), regforget deletes a key with all below
// it (a key that is not there is no failure).
int cmd_registry_change(const std::wstring& command, Context& context) {
    HKEY root = nullptr;
    std::wstring path;
    const bool set = command == L"regset";
    if (context.args.size() < (set ? 3u : 1u) || !split_key(context.args[0], &root, &path) || path.empty())
        return fail(kUsage, "regset KEY NAME TEXT | regforget KEY, KEY beginning with HKLM, HKCU or HKU");
    if (!set) {
        const LONG result = RegDeleteTreeW(root, path.c_str());
        if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND) return fail(kFailed, "could not delete the key");
        RegDeleteKeyW(root, path.c_str());
        return kOk;
    }
    const std::wstring& text = context.args[2];
    const LONG result = RegSetKeyValueW(root, path.c_str(), context.args[1].c_str(), REG_SZ, text.c_str(),
                                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    return result == ERROR_SUCCESS ? kOk : fail(kFailed, "could not set the value");
}

} // namespace qlk_auto
