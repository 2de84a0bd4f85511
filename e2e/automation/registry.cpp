// A registry value's raw bytes, read through the ANSI call as the program
// itself reads them: stored texts are code-page bytes that a console would
// translate on the way out, hex keeps them exact.
#include "automation.h"

#include <cstdio>

namespace qlk_auto {
namespace {

std::string ansi(const std::wstring &text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

HKEY root_of(const std::wstring &name) {
    if (name == L"HKLM" || name == L"HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (name == L"HKCU" || name == L"HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    if (name == L"HKU" || name == L"HKEY_USERS")
        return HKEY_USERS;
    return nullptr;
}

std::string type_name(DWORD type) {
    switch (type) {
    case REG_SZ:
        return "REG_SZ";
    case REG_EXPAND_SZ:
        return "REG_EXPAND_SZ";
    case REG_MULTI_SZ:
        return "REG_MULTI_SZ";
    case REG_DWORD:
        return "REG_DWORD";
    case REG_QWORD:
        return "REG_QWORD";
    case REG_BINARY:
        return "REG_BINARY";
    default:
        return std::to_string(type);
    }
}

} // namespace

int cmd_registry(Context &context) {
    if (context.args.size() < 2)
        return fail(kUsage, "regvalue KEY NAME");
    const std::wstring &full = context.args[0];
    const size_t slash = full.find(L'\\');
    HKEY root = root_of(full.substr(0, slash));
    if (!root)
        return fail(kUsage, "KEY begins with HKLM, HKCU or HKU");
    const std::string path = slash == std::wstring::npos ? std::string() : ansi(full.substr(slash + 1));
    const std::string name = ansi(context.args[1]);

    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return fail(kNotFound, "no such key");
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    std::string data(size, '\0');
    if (result == ERROR_SUCCESS && size > 0)
        result = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data.data()), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return fail(kNotFound, "no such value");

    std::string hex;
    for (unsigned char byte : data.substr(0, size)) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    write_line(type_name(type) + " " + std::to_string(size) + " " + (hex.empty() ? "-" : hex));
    return kOk;
}

} // namespace qlk_auto
