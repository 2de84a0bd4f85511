// The entry-password dialog and the viewer gate, driven in-process as a user would.
#include "access/entry_password.h"
#include "access/entry_password_dialog.h"
#include "access/run_state.h"
#include "access/settings_store.h"
#include "ui/window_registry.h"
#include "modal_watcher.h"
#include "platform/files.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "vault/cipher.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <fstream>

using test_support::ModalWatcher;

namespace {

// Plays a standard user whom the key's security refuses some rights; the
// access list in SDDL form: a deny entry for Everyone, then full access.
void set_key_security(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
}
void deny_everyone(HKEY key, DWORD rights) {
    const std::wstring sddl = L"D:(D;;" + std::to_wstring(rights) + L";;;WD)(A;;KA;;;WD)";
    set_key_security(key, sddl.c_str());
}
void allow_everyone(const char* path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key), ERROR_SUCCESS);
    set_key_security(key, L"D:(A;;KA;;;WD)");
    RegCloseKey(key);
}

const char kWrongPassword[] = "Entry Password Error:\r\nThe entry password is wrong.";

class EntryPasswordDialog : public testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK");
        RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\QLK"); // a user's own copy would come first
        qlk_access::set_drive_letter_from_program_folder();
        qlk_access::ensure_data_folder();
    }
    void TearDown() override {
        for (auto window : {ui::Window::Viewer, ui::Window::Widget, ui::Window::Password})
            if (HWND hwnd = ui::find_window(window)) DestroyWindow(hwnd);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK");
        DeleteFileA(qlk_access::vault_file_path().c_str());
    }

    HWND open_dialog() {
        ui::show_window(ui::Window::Password);
        HWND dialog = ui::find_window(ui::Window::Password);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    static void type(HWND dialog, const char* txt1, const char* txt2 = "") {
        platform::set_item_text(dialog, IDC_PW_TXT1, txt1);
        platform::set_item_text(dialog, IDC_PW_TXT2, txt2);
    }
    static void click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    static wchar_t mask(HWND dialog, int id) {
        return static_cast<wchar_t>(SendDlgItemMessageW(dialog, id, EM_GETPASSWORDCHAR, 0, 0));
    }
};

TEST_F(EntryPasswordDialog, OpensWithItsTextsMaskedFieldsAndTabOrder) {
    HWND dialog = open_dialog();
    EXPECT_EQ(platform::window_text(dialog), "Quillock: enter your entry password...");
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_LABEL1), "Entry Password: ");
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_COMMAND3), "Change the Entry Password...");
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_CHECK1), "Show text in password input field");
    EXPECT_EQ(mask(dialog, IDC_PW_TXT1), L'*');
    EXPECT_EQ(mask(dialog, IDC_PW_TXT2), L'*');

    RECT client, txt2;
    GetClientRect(dialog, &client);
    GetWindowRect(GetDlgItem(dialog, IDC_PW_TXT2), &txt2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&txt2), 2);
    EXPECT_GE(txt2.top, client.bottom) << "txt2 must lie below the visible client area";
    EXPECT_EQ(client.right - client.left, platform::scale(312));
    EXPECT_EQ(client.bottom - client.top, platform::scale(151));

    const int expected_order[] = {IDC_PW_TXT2, IDOK, IDCANCEL, IDC_PW_COMMAND3, IDC_PW_CHECK1, IDC_PW_TXT1};
    HWND control = GetDlgItem(dialog, IDC_PW_TXT1);
    for (int id : expected_order) {
        control = GetNextDlgTabItem(dialog, control, FALSE);
        EXPECT_EQ(GetDlgCtrlID(control), id);
    }
}

TEST_F(EntryPasswordDialog, ShowTextTogglesTheMaskOfBothFields) {
    HWND dialog = open_dialog();
    CheckDlgButton(dialog, IDC_PW_CHECK1, BST_CHECKED);
    click(dialog, IDC_PW_CHECK1);
    EXPECT_EQ(mask(dialog, IDC_PW_TXT1), 0);
    EXPECT_EQ(mask(dialog, IDC_PW_TXT2), 0);
    CheckDlgButton(dialog, IDC_PW_CHECK1, BST_UNCHECKED);
    click(dialog, IDC_PW_CHECK1);
    EXPECT_EQ(mask(dialog, IDC_PW_TXT1), L'*');
    EXPECT_EQ(mask(dialog, IDC_PW_TXT2), L'*');
}

TEST_F(EntryPasswordDialog, RefusesWrongCaseAndIgnoresTheHiddenField) {
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    for (auto [txt1, txt2] : {std::pair{"Marigold", ""}, std::pair{"", "marigold"}, std::pair{"marigold ", ""}}) {
        type(dialog, txt1, txt2);
        click(dialog, IDOK);
        EXPECT_TRUE(ui::is_loaded(ui::Window::Password)) << txt1;
        EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT1), "");
        EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT2), "");
    }
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 3u);
    for (const auto& box : seen) {
        EXPECT_EQ(box.title, "Quillock");
        EXPECT_EQ(box.text, kWrongPassword);
    }
    EXPECT_FALSE(ui::is_loaded(ui::Window::Widget));
}

// An earlier run's list goes wherever it lies: on the stick, or where a
// sealed vault's list goes.
TEST_F(EntryPasswordDialog, LoadDeletesThePrintFileAndEntryCreatesAnEmptyVaultOnce) {
    const std::vector<std::string> places = qlk_access::print_file_places();
    ASSERT_EQ(places.size(), 2u);
    for (const std::string& place : places) {
        CreateDirectoryA(place.substr(0, place.find_last_of('\\')).c_str(), nullptr);
        std::ofstream(place) << "old print";
    }
    HWND dialog = open_dialog();
    for (const std::string& place : places) EXPECT_FALSE(platform::file_exists(place)) << place;
    EXPECT_FALSE(platform::file_exists(qlk_access::vault_file_path()));

    type(dialog, "marigold");
    click(dialog, IDOK);
    EXPECT_FALSE(ui::is_loaded(ui::Window::Password));
    EXPECT_TRUE(ui::is_loaded(ui::Window::Widget));
    ASSERT_TRUE(platform::file_exists(qlk_access::vault_file_path()));
    EXPECT_EQ(std::ifstream(qlk_access::vault_file_path(), std::ios::ate | std::ios::binary).tellg(), 0);
    RemoveDirectoryA(places[1].substr(0, places[1].find_last_of('\\')).c_str());
}

// One that another program keeps in plain text is told of, and left.
TEST_F(EntryPasswordDialog, LoadTellsOfAPrintFileThatAnotherProgramHolds) {
    const std::string path = qlk_access::print_file_path();
    std::ofstream(path) << "old print";
    const HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ModalWatcher watcher;
    open_dialog();
    CloseHandle(holder);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_TRUE(seen[0].text.starts_with("ERROR: the print file could not be deleted.\r\n" + path + " still holds"));
    EXPECT_TRUE(DeleteFileA(path.c_str())) << "it was there";
}

TEST_F(EntryPasswordDialog, EntryLeavesAnExistingVaultUntouched) {
    std::ofstream(qlk_access::vault_file_path(), std::ios::binary) << "\xCD\xC0\xCC:\xDA\r\n";
    HWND dialog = open_dialog();
    type(dialog, "marigold");
    click(dialog, IDOK);
    std::ifstream file(qlk_access::vault_file_path(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "\xCD\xC0\xCC:\xDA\r\n");
}

TEST_F(EntryPasswordDialog, ChangedPasswordIsStoredScrambledAndFillsBothFields) {
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    watcher.answer_input("marigold");
    watcher.answer_input("N3w pass");
    watcher.answer_input("N3w pass");
    click(dialog, IDC_PW_COMMAND3);

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].title, "Current Entry Password...");
    EXPECT_EQ(seen[0].text, "Please enter your CURRENT entry password");
    EXPECT_EQ(seen[1].title, "New Entry Password...");
    EXPECT_EQ(seen[2].title, "New Entry Password AGAIN to confirm...");
    EXPECT_EQ(seen[2].text, "Please enter your new entry password AGAIN");
    for (int i : {0, 1, 2}) EXPECT_EQ(seen[i].mask, L'*') << seen[i].title << " shows the typed password";
    EXPECT_EQ(seen[3].text, "The entry password has been reset - PLEASE REMEMBER IT!");
    EXPECT_EQ(qlk_access::MRegistry::GetString("QLK", "Config", "ID"), vault::encrypt_text("N3w pass"));
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT1), "N3w pass");
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT2), "N3w pass");

    click(dialog, IDOK); // the filled field enters at once
    EXPECT_TRUE(ui::is_loaded(ui::Window::Widget));
}

TEST_F(EntryPasswordDialog, ChangeIsRefusedOnWrongCurrentOrDifferentNewPasswords) {
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    watcher.answer_input("Marigold");
    click(dialog, IDC_PW_COMMAND3);
    watcher.answer_input("marigold");
    watcher.answer_input("one");
    watcher.answer_input("One");
    click(dialog, IDC_PW_COMMAND3);

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[1].text, "Entry Password Error:\r\nThe entry password is not entered the same that has been "
                            "previously registered - action concelled!");
    EXPECT_EQ(seen[5].text, "New Entry Password Error:\r\nThe entry password is not entered the same within the 2 "
                            "'New Entry Password' input screens - please try again.");
    EXPECT_EQ(qlk_access::MRegistry::GetString("QLK", "Config", "ID"), "");
    EXPECT_EQ(qlk_access::run_state().entry_password, "marigold");
}

TEST_F(EntryPasswordDialog, UnstorablePasswordIsReportedAndTheOldOneStaysInForce) {
    // A volatile parent key refuses the lasting key the store creates under it.
    HKEY volatile_key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &volatile_key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(volatile_key);

    HWND dialog = open_dialog();
    ModalWatcher watcher;
    watcher.answer_input("marigold");
    watcher.answer_input("lost");
    watcher.answer_input("lost");
    click(dialog, IDC_PW_COMMAND3);

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].text.rfind("ERROR: Could not open/create registry section (error 0x8004", 0), 0u) << seen[3].text;
    EXPECT_EQ(qlk_access::run_state().entry_password, "marigold");
    EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT1), "");
}

// The comparison is exact, character by character: a character with no form
// in the code page does not match the '?' it would be converted to.
TEST_F(EntryPasswordDialog, ViewerGateReadsTheStoredPasswordAndRefusesOtherAnswers) {
    qlk_access::store_entry_password("g?te");
    ModalWatcher watcher;
    watcher.answer_input("marigold");
    EXPECT_FALSE(qlk_access::ask_viewer_password());
    watcher.answer_input(L"g\u4e2dte");
    EXPECT_FALSE(qlk_access::ask_viewer_password());
    watcher.answer_input("g?te");
    EXPECT_TRUE(qlk_access::ask_viewer_password());
    watcher.cancel_input();
    EXPECT_FALSE(qlk_access::ask_viewer_password());

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 7u);
    EXPECT_EQ(seen[0].title, "Get Master Password");
    EXPECT_EQ(seen[0].text, "Please enter your master entry password");
    EXPECT_EQ(seen[0].mask, L'*');
    EXPECT_EQ(seen[1].text, "Sorry: you have entered the wrong password.");
    EXPECT_EQ(seen[3].text, "Sorry: you have entered the wrong password.");
    EXPECT_EQ(qlk_access::run_state().entry_password, "g?te");

    // The same at the entry check.
    HWND dialog = open_dialog();
    SetDlgItemTextW(dialog, IDC_PW_TXT1, L"g\u4e2dte");
    click(dialog, IDOK);
    EXPECT_FALSE(ui::is_loaded(ui::Window::Widget));
    EXPECT_EQ(watcher.seen().back().text, kWrongPassword);
    type(dialog, "g?te");
    click(dialog, IDOK);
    EXPECT_TRUE(ui::is_loaded(ui::Window::Widget));
}

TEST_F(EntryPasswordDialog, ViewerGateOpensNothingWhenTheStoreCannotBeRead) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK\\Config", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    const DWORD number = 7;
    RegSetValueExA(key, "ID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(key);

    ModalWatcher watcher;
    EXPECT_FALSE(qlk_access::ask_viewer_password());
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, "ERROR: Registry data not a string (error 0x800407D4)");
}

// An entry password must come back from the store as typed: an accented
// letter would come back as another letter, a character the code page lacks
// as '?', locking the user out or letting any look-alike in; an empty one as
// the default "marigold", which the gate and the next start would then want.
TEST_F(EntryPasswordDialog, ANewPasswordTheStoreCannotHoldIsRefusedAndTheOldOneStays) {
    const std::string unstorable =
        "New Entry Password Error:\r\nThe new entry password holds a character that cannot be stored (a letter with "
        "an accent, or one outside the system's code page) - the entry password was not changed. Please choose one "
        "without such characters.";
    const std::pair<std::wstring, std::string> refused[] = {
        {L"caf\u00e9", unstorable},
        {L"\u0436\u0436q", unstorable},
        {L"\u00c0bc", unstorable},
        {std::wstring(),
         "New Entry Password Error:\r\nThe new entry password is empty - the entry password was not changed. "
         "Please type the new entry password in both boxes."},
    };
    qlk_access::store_entry_password("old pass");
    HWND dialog = open_dialog();
    for (const auto& [typed, message] : refused) {
        ModalWatcher watcher;
        watcher.answer_input("old pass");
        watcher.answer_input(typed);
        watcher.answer_input(typed);
        click(dialog, IDC_PW_COMMAND3);
        const auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 4u);
        EXPECT_EQ(seen[3].text, message);
        EXPECT_EQ(qlk_access::read_entry_password(), "old pass");
        EXPECT_EQ(qlk_access::run_state().entry_password, "old pass");
        EXPECT_EQ(platform::item_text(dialog, IDC_PW_TXT1), "");
    }
}

// Cancel on either new-password box ends the change: nothing stored, no message.
TEST_F(EntryPasswordDialog, CancelOnANewPasswordBoxChangesNothing) {
    qlk_access::store_entry_password("old pass");
    HWND dialog = open_dialog();
    const std::vector<const char*> cancelled[] = {{nullptr}, {"", nullptr}, {"n3w", nullptr}};
    for (const auto& answers : cancelled) {
        ModalWatcher watcher;
        watcher.answer_input("old pass");
        for (const char* answer : answers) answer ? watcher.answer_input(answer) : watcher.cancel_input();
        click(dialog, IDC_PW_COMMAND3);
        EXPECT_EQ(watcher.seen().size(), 1 + answers.size()) << "no message";
        EXPECT_EQ(qlk_access::read_entry_password(), "old pass");
        EXPECT_EQ(qlk_access::run_state().entry_password, "old pass");
    }
}

// A stored value that cannot be read at start-up (a number instead of text, or
// a key the user may not read) leaves "marigold" in force; the program runs.
TEST_F(EntryPasswordDialog, AStoredPasswordThatCannotBeReadLeavesTheDefaultInForce) {
    for (bool denied : {false, true}) {
        SCOPED_TRACE(denied ? "reading denied" : "a DWORD");
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK\\Config", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &key, nullptr),
                  ERROR_SUCCESS);
        if (denied) {
            RegSetValueExA(key, "ID", 0, REG_SZ, reinterpret_cast<const BYTE*>("\xDA\xDB"), 3);
            deny_everyone(key, KEY_QUERY_VALUE);
        } else {
            const DWORD number = 7;
            RegSetValueExA(key, "ID", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
        }
        RegCloseKey(key);
        HKEY probe = nullptr;
        const LSTATUS read = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK\\Config", 0, KEY_READ, &probe);
        if (read == ERROR_SUCCESS) RegCloseKey(probe);
        EXPECT_EQ(read == ERROR_ACCESS_DENIED, denied) << "the key plays a standard user's";

        HWND dialog = open_dialog();
        ASSERT_NE(dialog, nullptr);
        ModalWatcher watcher;
        type(dialog, "marigold");
        click(dialog, IDOK);
        EXPECT_TRUE(watcher.seen().empty());
        EXPECT_TRUE(ui::is_loaded(ui::Window::Widget));
        DestroyWindow(ui::find_window(ui::Window::Widget));
        if (denied) allow_everyone("SOFTWARE\\QLK\\Config");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QLK");
    }
}

} // namespace
