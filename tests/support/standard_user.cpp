#include "standard_user.h"

#include <memory>
#include <vector>

namespace test_support {
namespace {

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using Key = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

constexpr REGSAM kAccess = READ_CONTROL | WRITE_DAC | KEY_ENUMERATE_SUB_KEYS;

std::vector<BYTE> everyone_sid() {
    std::vector<BYTE> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    if (!CreateWellKnownSid(WinWorldSid, nullptr, sid.data(), &size)) return {};
    sid.resize(size);
    return sid;
}

bool is_our_entry(const ACE_HEADER* header, PSID everyone) {
    if (header->AceType != ACCESS_DENIED_ACE_TYPE) return false;
    const auto* ace = reinterpret_cast<const ACCESS_DENIED_ACE*>(header);
    return ace->Mask == kDeniedToStandardUsers && EqualSid(const_cast<DWORD*>(&ace->SidStart), everyone);
}

// Rebuilds the key's access list: our deny entry first (deny), then every
// entry it had but ours. A key without an access list lets everyone in, so
// it gets an entry saying so.
bool rewrite_dacl(HKEY key, bool deny) {
    std::vector<BYTE> everyone = everyone_sid();
    if (everyone.empty()) return false;
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    std::vector<BYTE> old_descriptor(size ? size : 1);
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old_descriptor.data(), &size) != ERROR_SUCCESS) return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL old_dacl = nullptr;
    if (!GetSecurityDescriptorDacl(old_descriptor.data(), &present, &old_dacl, &defaulted)) return false;
    if (!present) old_dacl = nullptr;

    std::vector<BYTE> acl_bytes(65532); // the largest access list, DWORD-aligned
    auto* acl = reinterpret_cast<PACL>(acl_bytes.data());
    if (!InitializeAcl(acl, static_cast<DWORD>(acl_bytes.size()), ACL_REVISION)) return false;
    if (deny && !AddAccessDeniedAce(acl, ACL_REVISION, kDeniedToStandardUsers, everyone.data())) return false;
    if (!old_dacl) {
        if (!AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone.data())) return false;
    } else {
        for (DWORD i = 0; i < old_dacl->AceCount; ++i) {
            void* ace = nullptr;
            if (!GetAce(old_dacl, i, &ace)) return false;
            const auto* header = static_cast<const ACE_HEADER*>(ace);
            if (is_our_entry(header, everyone.data())) continue;
            if (!AddAce(acl, ACL_REVISION, MAXDWORD, ace, header->AceSize)) return false;
        }
    }
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE))
        return false;
    return RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
}

bool rewrite_tree(HKEY key, bool deny) {
    bool all = rewrite_dacl(key, deny);
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(std::size(name));
        if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY raw = nullptr;
        if (RegOpenKeyExW(key, name, 0, kAccess, &raw) != ERROR_SUCCESS) {
            all = false;
            continue;
        }
        all = rewrite_tree(Key(raw).get(), deny) && all;
    }
    return all;
}

} // namespace

bool deny_writes(HKEY root, const std::wstring& path, const std::vector<std::wstring>& sections) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, kAccess, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    const Key key(raw);
    for (const std::wstring& section : sections) {
        HKEY made = nullptr;
        if (RegCreateKeyExW(key.get(), section.c_str(), 0, nullptr, 0, KEY_READ, nullptr, &made, nullptr) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(made);
    }
    return rewrite_tree(key.get(), true);
}

bool allow_writes(HKEY root, const std::wstring& path) {
    HKEY raw = nullptr;
    const LONG opened = RegOpenKeyExW(root, path.c_str(), 0, kAccess, &raw);
    if (opened == ERROR_FILE_NOT_FOUND) return true;
    if (opened != ERROR_SUCCESS) return false;
    return rewrite_tree(Key(raw).get(), false);
}

} // namespace test_support
