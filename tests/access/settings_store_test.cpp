// The settings store against the real registry: what is stored, how it reads back, how it fails,
// and where a standard user's settings go.
#include "access/lock_setting.h"
#include "access/seal_setting.h"
#include "access/settings_store.h"
#include "platform/unique_handle.h"
#include "standard_user.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <tuple>

using qlk_access::SettingsError;
namespace MRegistry = qlk_access::MRegistry;

namespace {

constexpr char kApp[] = "QLKStoreTest";

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { forget_both(); }
    void TearDown() override {
        test_support::allow_writes(HKEY_LOCAL_MACHINE, kTree);
        test_support::allow_writes(HKEY_CURRENT_USER, kTree);
        forget_both();
    }
    static void forget_both() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kTree);
        RegDeleteTreeW(HKEY_CURRENT_USER, kTree);
    }
    static constexpr wchar_t kTree[] = L"SOFTWARE\\QLKStoreTest";

    struct Raw {
        DWORD type = 0;
        std::string data;
        bool found = false;
    };
    // The value as a reader of the ANSI value sees it on a Western (1252)
    // system, whatever this system's code page: the registry keeps wide text.
    static Raw raw_value(const char* section, const char* key, HKEY root = HKEY_LOCAL_MACHINE) {
        platform::unique_hkey hkey;
        const std::wstring path = std::wstring(kTree) + L"\\" + wide(section);
        Raw raw;
        if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, hkey.put()) != ERROR_SUCCESS) return raw;
        DWORD size = 0;
        if (RegQueryValueExW(hkey.get(), wide(key).c_str(), nullptr, &raw.type, nullptr, &size) != ERROR_SUCCESS)
            return raw;
        std::wstring data(size / sizeof(wchar_t), L'\0');
        RegQueryValueExW(hkey.get(), wide(key).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size);
        raw.found = true;
        raw.data = western(data);
        return raw;
    }
    static void set_raw(const char* section, const char* key, DWORD type, const void* data, DWORD size,
                        HKEY root = HKEY_LOCAL_MACHINE) {
        platform::unique_hkey hkey;
        const std::wstring path = std::wstring(kTree) + L"\\" + wide(section);
        ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, hkey.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(hkey.get(), wide(key).c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    static std::wstring wide(const std::string& western_bytes) {
        std::wstring text(western_bytes.size(), L'\0');
        text.resize(static_cast<size_t>(MultiByteToWideChar(1252, 0, western_bytes.data(),
                                                            static_cast<int>(western_bytes.size()), text.data(),
                                                            static_cast<int>(text.size()))));
        return text;
    }
    static std::string western(const std::wstring& text) {
        std::string bytes(text.size() * 2 + 1, '\0');
        bytes.resize(
            static_cast<size_t>(WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                                    static_cast<int>(bytes.size()), nullptr, nullptr)));
        return bytes;
    }
    static SettingsError error_of(void (*call)()) {
        try {
            call();
        } catch (const SettingsError& e) {
            return e;
        }
        ADD_FAILURE() << "no error raised";
        return SettingsError(0, "");
    }
};

TEST_F(SettingsStore, StoresAnsiStringWithItsTerminatingNul) {
    MRegistry::SaveString(kApp, "Config", "ID", "\xDA\xDB\xDC pass");
    const Raw raw = raw_value("Config", "ID");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(raw.data, std::string("\xDA\xDB\xDC pass", 8) + '\0');
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "\xDA\xDB\xDC pass");

    MRegistry::SaveString(kApp, "Config", "Empty", "");
    EXPECT_EQ(raw_value("Config", "Empty").data, std::string(1, '\0'));
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "Empty", "default"), "");
}

TEST_F(SettingsStore, MissingKeyPathOrValueGivesTheDefault) {
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID", "fallback"), "fallback");
    MRegistry::SaveString(kApp, "Config", "Other", "x");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID", "fallback"), "fallback");
}

TEST_F(SettingsStore, ZeroSizeStringReadsAsEmpty) {
    set_raw("Config", "Zero", REG_SZ, L"", 0);
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "Zero", "fallback"), "");
}

TEST_F(SettingsStore, ApplicationAndSectionAreTrimmedButTheKeyIsNot) {
    MRegistry::SaveString("  QLKStoreTest ", " Config  ", "ID", "trimmed");
    EXPECT_EQ(raw_value("Config", "ID").data, std::string("trimmed", 7) + '\0');
    MRegistry::SaveString(kApp, "Config", " ID", "spaced");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "trimmed");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", " ID"), "spaced");
}

TEST_F(SettingsStore, EmptyNamesFailInOrderAndWriteNothing) {
    struct Case {
        void (*call)();
        std::uint32_t number;
        const char* text;
    };
    const Case cases[] = {
        {[] { MRegistry::SaveString("   ", "", "", "v"); }, 0x800403E8, "AppName may not be empty"},
        {[] { MRegistry::SaveString(kApp, "  ", "", "v"); }, 0x800403E9, "Section may not be empty"},
        {[] { MRegistry::SaveString(kApp, "Config", " ", "v"); }, 0x800403EA, "Key may not be empty"},
        {[] { MRegistry::GetString("", "Config", "ID"); }, 0x800403E8, "AppName may not be empty"},
        {[] { MRegistry::GetString(kApp, "", "ID"); }, 0x800403E9, "Section may not be empty"},
        {[] { MRegistry::GetString(kApp, "Config", ""); }, 0x800403EA, "Key may not be empty"},
    };
    for (const auto& c : cases) {
        const SettingsError e = error_of(c.call);
        EXPECT_EQ(e.number(), c.number);
        EXPECT_STREQ(e.what(), c.text);
    }
    platform::unique_hkey hkey;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kTree, 0, KEY_READ, hkey.put()), ERROR_SUCCESS);
}

TEST_F(SettingsStore, ValueOfAnotherTypeIsAnErrorCarryingItsTypeAndTheNextCallWorks) {
    const DWORD number = 42;
    set_raw("Config", "FontSize", REG_DWORD, &number, sizeof number);
    const SettingsError e = error_of([] { MRegistry::GetString(kApp, "Config", "FontSize"); });
    EXPECT_EQ(e.number(), 0x800407D0u + REG_DWORD);
    EXPECT_STREQ(e.what(), "Registry data not a string");
    EXPECT_EQ(e.user_message(), "ERROR: Registry data not a string (error 0x800407D4)");

    MRegistry::SaveString(kApp, "Config", "FontSize", "12");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "FontSize"), "12");
}

TEST_F(SettingsStore, WriteFailureCarriesTheSystemErrorCode) {
    // A value name longer than the registry allows cannot be written.
    const std::string long_key(20000, 'k');
    try {
        MRegistry::SaveString(kApp, "Config", long_key, "v");
        FAIL() << "no error raised";
    } catch (const SettingsError& e) {
        EXPECT_STREQ(e.what(), "Could not set key value");
        EXPECT_GT(e.number(), 0x800407D0u);
    }
    MRegistry::SaveString(kApp, "Config", "ID", "after");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "after");
}

// A standard account (or an administrator without elevation) may read but
// not write HKLM\SOFTWARE. Its settings go to its own copy of the key under
// HKCU, which is read first; the machine-wide value stays for everyone else.
class StandardUser : public SettingsStore {
protected:
    static void become_standard_user() {
        ASSERT_TRUE(test_support::deny_writes(HKEY_LOCAL_MACHINE, kTree, {L"Config", L"Fresh"}));
    }
    static void become_administrator() { ASSERT_TRUE(test_support::allow_writes(HKEY_LOCAL_MACHINE, kTree)); }
};

TEST_F(StandardUser, RefusedMachineWideWritesGoToTheUsersOwnCopyOfTheKey) {
    MRegistry::SaveString(kApp, "Config", "ID", "admin's");
    become_standard_user();
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"Config", "ID", "\xDA\xDB\xDC pass"}, // a key path the administrator made
        {"Config", "BackColor", "16711680"},
        {"Config", "Empty", ""},
        {"Fresh", "FontSize", "8.25"}, // one without values
    };
    for (const auto& c : cases) {
        MRegistry::SaveString(kApp, c.section, c.key, c.value);
        const Raw own = raw_value(c.section, c.key, HKEY_CURRENT_USER);
        EXPECT_EQ(own.type, static_cast<DWORD>(REG_SZ)) << c.key;
        EXPECT_EQ(own.data, std::string(c.value) + '\0') << c.key << ": the bytes with the terminating NUL";
        EXPECT_EQ(MRegistry::GetString(kApp, c.section, c.key, "default"), c.value) << c.key;
    }
    EXPECT_EQ(raw_value("Config", "ID").data, std::string("admin's") + '\0') << "the machine-wide value stays";
    EXPECT_FALSE(raw_value("Fresh", "FontSize").found);
    EXPECT_FALSE(raw_value("Config", "BackColor").found);
}

TEST_F(StandardUser, AnAdministratorsValueIsInForceForAUserWithNoCopyOfTheirOwn) {
    MRegistry::SaveString(kApp, "Config", "FontSize", "12");
    MRegistry::SaveString(kApp, "Config", "ForeColor", "255");
    become_standard_user();
    MRegistry::SaveString(kApp, "Config", "ForeColor", "65280");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "FontSize"), "12");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ForeColor"), "65280");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "BackColor", "none"), "none");
}

TEST_F(StandardUser, AMachineWideWriteRemovesTheUsersCopySoTheValueWrittenLastIsInForce) {
    become_standard_user();
    MRegistry::SaveString(kApp, "Config", "ID", "mine");
    MRegistry::SaveString(kApp, "Config", "Other", "kept");
    become_administrator();
    MRegistry::SaveString(kApp, "Config", "ID", "admin's");
    EXPECT_FALSE(raw_value("Config", "ID", HKEY_CURRENT_USER).found);
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "admin's");
    EXPECT_EQ(raw_value("Config", "Other", HKEY_CURRENT_USER).data, std::string("kept") + '\0')
        << "only the value written goes";
}

TEST_F(StandardUser, TheUsersCopyIsReadFirstAndItsTypeIsChecked) {
    MRegistry::SaveString(kApp, "Config", "ID", "admin's");
    MRegistry::SaveString(kApp, "Config", "FontSize", "12");
    const DWORD number = 14;
    set_raw("Config", "FontSize", REG_DWORD, &number, sizeof number, HKEY_CURRENT_USER);
    set_raw("Config", "ID", REG_SZ, L"", sizeof(wchar_t), HKEY_CURRENT_USER);

    const SettingsError e = error_of([] { MRegistry::GetString(kApp, "Config", "FontSize"); });
    EXPECT_EQ(e.number(), 0x800407D0u + REG_DWORD);
    EXPECT_STREQ(e.what(), "Registry data not a string");
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID", "default"), "") << "an empty copy of one's own counts";
}

TEST_F(StandardUser, WhenBothPlacesRefuseTheErrorIsRaisedAndNothingIsWritten) {
    MRegistry::SaveString(kApp, "Config", "ID", "admin's");
    become_standard_user();
    ASSERT_TRUE(test_support::deny_writes(HKEY_CURRENT_USER, kTree));
    const SettingsError e = error_of([] { MRegistry::SaveString(kApp, "Config", "ID", "mine"); });
    EXPECT_EQ(e.number(), 0x800407D0u + ERROR_ACCESS_DENIED);
    EXPECT_EQ(e.user_message(), "ERROR: Could not open/create registry section (error 0x800407D5)");
    EXPECT_FALSE(raw_value("Config", "ID", HKEY_CURRENT_USER).found);
    EXPECT_EQ(MRegistry::GetString(kApp, "Config", "ID"), "admin's");
}

// LockMinutes as the widget's idle check reads it: a whole number of minutes
// up to a day, 0 for never, anything else the default of ten; a standard
// user's own copy (which README tells them to make with reg add) first,
// unless it is unusable.
TEST(LockMinutes, AWholeNumberOfMinutesUpToADayElseTheDefault) {
    static constexpr char kConfig[] = "SOFTWARE\\Quillock\\Config";
    const auto forget = [] {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteKeyValueA(root, kConfig, "LockMinutes");
    };
    forget();
    EXPECT_EQ(qlk_access::read_lock_minutes(), 10) << "none stored";
    const std::pair<const char*, int> cases[] = {
        {"0", 0},     {"1", 1},   {"1440", 1440}, {" 25 ", 25}, {"007", 7},    {"", 10},
        {"1441", 10}, {"-5", 10}, {"+5", 10},     {"2.5", 10},  {"5 min", 10}, {"99999999999999999999", 10},
    };
    for (const auto& [text, minutes] : cases) {
        MRegistry::SaveString("Quillock", "Config", "LockMinutes", text);
        EXPECT_EQ(qlk_access::read_lock_minutes(), minutes) << '"' << text << '"';
    }
    MRegistry::SaveString("Quillock", "Config", "LockMinutes", "1");
    RegSetKeyValueA(HKEY_CURRENT_USER, kConfig, "LockMinutes", REG_SZ, "3", 2);
    EXPECT_EQ(qlk_access::read_lock_minutes(), 3) << "the user's own copy";
    RegSetKeyValueA(HKEY_CURRENT_USER, kConfig, "LockMinutes", REG_SZ, "abc", 4);
    EXPECT_EQ(qlk_access::read_lock_minutes(), 1) << "an unusable own copy leaves the computer's in force";
    // A number, as a registry editor offers first, in either place, with the text's limits; no other type.
    const std::tuple<HKEY, DWORD, DWORD, int> numbers[] = {{HKEY_CURRENT_USER, REG_DWORD, 5, 5},
                                                           {HKEY_CURRENT_USER, REG_DWORD, 1441, 10},
                                                           {HKEY_LOCAL_MACHINE, REG_DWORD, 0, 0},
                                                           {HKEY_CURRENT_USER, REG_BINARY, 5, 10}};
    for (const auto& [root, type, number, minutes] : numbers) {
        forget();
        RegSetKeyValueA(root, kConfig, "LockMinutes", type, &number, sizeof number);
        EXPECT_EQ(qlk_access::read_lock_minutes(), minutes) << "type " << type << ", " << number;
    }
    forget();
}

// SealVault, read as LockMinutes is: 1 or 0 in text or as a number, the
// user's own usable copy first; anything else leaves the vault as it is.
TEST(SealVault, OneOrZeroInTextOrNumberTheUsersOwnFirstElseMissing) {
    using qlk_access::SealSetting;
    static constexpr char kConfig[] = "SOFTWARE\\Quillock\\Config";
    const auto store = [](HKEY root, DWORD type, const std::string& data) {
        if (type == REG_DWORD) {
            const DWORD number = std::stoul(data);
            RegSetKeyValueA(root, kConfig, "SealVault", type, &number, sizeof number);
        } else {
            RegSetKeyValueA(root, kConfig, "SealVault", type, data.c_str(), static_cast<DWORD>(data.size() + 1));
        }
    };
    const struct {
        std::pair<DWORD, const char*> user, machine; // type 0: not stored there
        SealSetting expected;
    } cases[] = {
        {{0, ""}, {0, ""}, SealSetting::Missing},
        {{0, ""}, {REG_SZ, "1"}, SealSetting::On},
        {{REG_SZ, "0"}, {0, ""}, SealSetting::Off},
        {{0, ""}, {REG_DWORD, "1"}, SealSetting::On},
        {{REG_DWORD, "0"}, {0, ""}, SealSetting::Off},
        {{REG_SZ, "0"}, {REG_SZ, "1"}, SealSetting::Off},
        {{REG_DWORD, "1"}, {REG_SZ, "0"}, SealSetting::On},
        {{REG_SZ, "yes"}, {REG_SZ, "0"}, SealSetting::Off},
        {{REG_DWORD, "2"}, {0, ""}, SealSetting::Missing},
        {{REG_SZ, "01"}, {0, ""}, SealSetting::Missing},
        {{REG_SZ, ""}, {0, ""}, SealSetting::Missing},
        {{REG_BINARY, "1"}, {0, ""}, SealSetting::Missing},
    };
    for (const auto& c : cases) {
        for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteKeyValueA(root, kConfig, "SealVault");
        if (c.user.first) store(HKEY_CURRENT_USER, c.user.first, c.user.second);
        if (c.machine.first) store(HKEY_LOCAL_MACHINE, c.machine.first, c.machine.second);
        EXPECT_EQ(qlk_access::read_seal_setting(), c.expected)
            << "user " << c.user.first << " \"" << c.user.second << "\", computer " << c.machine.first << " \""
            << c.machine.second << '"';
    }
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) RegDeleteKeyValueA(root, kConfig, "SealVault");
}

} // namespace
