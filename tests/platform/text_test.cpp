// Text crossing into Windows on any system code page: the program code page,
// and the bytes that reach files, the registry and the clipboard. Run on the
// system's own code page and again on 932 and 65001 (tests/CMakeLists.txt).
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "vault/file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// What the scrambled vault and settings hold: the upper-half bytes a Western
// system shows as these characters.
const std::string kScrambled = "\xCD\xC0\xCC:\xDA\xDB\xDC \xA3\xFD";
const std::wstring kScrambledWide = L"\u00CD\u00C0\u00CC:\u00DA\u00DB\u00DC \u00A3\u00FD";

bool single_byte(UINT code_page) {
    CPINFO info{};
    return GetCPInfo(code_page, &info) && info.MaxCharSize == 1;
}

std::wstring temp_folder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

TEST(ProgramCodePage, IsTheSystemsWhenSingleByteElseWestern) {
    // The code-page runs say which system they meant to be on, so a Wine that
    // ignored the locale would not pass for one.
    if (const char* expected = std::getenv("QLK_EXPECT_ACP")) {
        EXPECT_EQ(GetACP(), std::strtoul(expected, nullptr, 10));
    }
    EXPECT_EQ(platform::program_code_page(), single_byte(GetACP()) ? GetACP() : 1252u);
}

TEST(ProgramCodePage, EveryByteRoundTripsAndForeignCharactersAreRefused) {
    if (platform::program_code_page() != 1252) GTEST_SKIP() << "code page " << platform::program_code_page();
    EXPECT_EQ(platform::to_wide(kScrambled), kScrambledWide);
    for (int byte = 1; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        const platform::AnsiText back = platform::to_ansi_checked(platform::to_wide(one));
        EXPECT_TRUE(back.exact && back.bytes == one) << "byte " << byte;
    }
    const struct {
        const wchar_t* text;
        bool exact;
    } cases[] = {
        {L"tulip42", true},       {L"Caf\u00E9 \u00A3", true}, {L"\u0141ukasz", false},
        {L"\u65E5\u672C", false}, {L"\u20AC", true}, // the euro sign is 0x80 on 1252
    };
    for (const auto& c : cases) EXPECT_EQ(platform::to_ansi_checked(c.text).exact, c.exact) << c.exact;
}

TEST(ProgramCodePage, PathsReachTheFileSystemAsTheirCharacters) {
    const std::wstring folder = temp_folder() + L"qlk-text-\u00C0\u00A3";
    const std::string path = platform::to_ansi(folder);
    RemoveDirectoryW(folder.c_str());
    platform::create_folder(path);
    EXPECT_NE(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);

    const std::string file = path + "\\" + kScrambled.substr(4) + ".dat";
    platform::create_empty_file_if_missing(file);
    EXPECT_TRUE(platform::file_exists(file));
    EXPECT_TRUE(vault::disk_files().write_durable(file, kScrambled));
    const std::wstring wide_file = folder + L"\\" + kScrambledWide.substr(4) + L".dat";
    EXPECT_NE(GetFileAttributesW(wide_file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(vault::disk_files().read_file(file).bytes, kScrambled);
    EXPECT_EQ(platform::wipe_and_delete_file(file), platform::Wiped::Gone);
    EXPECT_EQ(GetFileAttributesW(wide_file.c_str()), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryW(folder.c_str());
}

TEST(ProgramCodePage, RegistryAndClipboardHoldTheCharacters) {
    ASSERT_TRUE(platform::save_setting("QLKTextTest", "Pos", "frmMain.X", kScrambled));
    wchar_t stored[64] = {};
    DWORD size = sizeof stored;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\QLKTextTest\\Pos", L"frmMain.X",
                           RRF_RT_REG_SZ, nullptr, stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), kScrambledWide);
    EXPECT_EQ(platform::get_setting("QLKTextTest", "Pos", "frmMain.X", "none"), kScrambled);
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\QLKTextTest");

    ASSERT_EQ(platform::set_clipboard_text(nullptr, kScrambled), platform::Copy::Made);
    ASSERT_TRUE(OpenClipboard(nullptr));
    const HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const std::wstring text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : L"(none)";
    if (data) GlobalUnlock(data);
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(text, kScrambledWide);
}

} // namespace
