// The settings store against the real registry: what is stored, how it reads back, how it fails.
#include "access/settings_store.h"
#include "platform/unique_handle.h"

#include <gtest/gtest.h>
#include <windows.h>

using qlk_access::SettingsError;
namespace MRegistry = qlk_access::MRegistry;

namespace {

constexpr char kApp[] = "QLKStoreTest";

class SettingsStore : public testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLKStoreTest"); }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLKStoreTest"); }

    struct Raw {
        DWORD type = 0;
        std::string data;
    };
    static Raw raw_value(const char* section, const char* key) {
        platform::unique_hkey hkey;
        const std::string path = std::string("SOFTWARE\\QLKStoreTest\\") + section;
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, hkey.put()), ERROR_SUCCESS);
        Raw raw;
        DWORD size = 0;
        RegQueryValueExA(hkey.get(), key, nullptr, &raw.type, nullptr, &size);
        raw.data.resize(size);
        RegQueryValueExA(hkey.get(), key, nullptr, nullptr, reinterpret_cast<BYTE*>(raw.data.data()), &size);
        return raw;
    }
    static void set_raw(const char* section, const char* key, DWORD type, const void* data, DWORD size) {
        platform::unique_hkey hkey;
        const std::string path = std::string("SOFTWARE\\QLKStoreTest\\") + section;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  hkey.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(hkey.get(), key, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
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
    set_raw("Config", "Zero", REG_SZ, "", 0);
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
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLKStoreTest", 0, KEY_READ, hkey.put()), ERROR_SUCCESS);
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

} // namespace
