// The add-entry dialog Form3, driven in-process as a user would, with the
// vault in the data folder of a drive mapped to a fresh temporary folder.
#include "access/run_state.h"
#include "addentry/add_entry_dialog.h"
#include "addentry/password_generator.h"
#include "ui/window_registry.h"
#include "colour_pairs.h"
#include "generator_stats.h"
#include "modal_watcher.h"
#include "platform/random.h"
#include "platform/text.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "vault/cipher.h"
#include "vault/reporter.h"
#include "vault/vault_format.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

using test_support::ModalWatcher;

namespace {

constexpr char kStamp[] = "QLKTESTBOX";
// A vault that already holds one record, as the file keeps it at rest.
const std::string kOneRecordPlain =
    "NAM:mail\r\nURL:https://mail.example\r\nUSE:ann\r\nPAS:pw1\r\nIDN:QLKTESTBOX\r\n\r\n";

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class AddEntryDialog : public testing::Test {
protected:
    void SetUp() override {
        qlk_access::run_state().computer_name = kStamp;
        qlk_access::set_drive_letter_from_program_folder();
        qlk_access::ensure_data_folder();
        remove_vault();
    }
    void TearDown() override {
        if (HWND hwnd = ui::find_window(ui::Window::AddEntry)) DestroyWindow(hwnd);
        remove_vault();
    }
    static void remove_vault() {
        SetFileAttributesA(qlk_access::vault_file_path().c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(qlk_access::vault_file_path().c_str());
        DeleteFileA((qlk_access::data_folder_path() + "\\my_passwordsX.dat").c_str());
    }

    HWND open_dialog() {
        ui::show_window(ui::Window::AddEntry);
        HWND dialog = ui::find_window(ui::Window::AddEntry);
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }
    struct Typed {
        std::wstring id, url, user, password1, password2;
    };
    static void type(HWND dialog, const Typed& t) {
        SetDlgItemTextW(dialog, IDC_AE_TXTID, t.id.c_str());
        SetDlgItemTextW(dialog, IDC_AE_TXTURL, t.url.c_str());
        SetDlgItemTextW(dialog, IDC_AE_TXTUSERNAME, t.user.c_str());
        SetDlgItemTextW(dialog, IDC_AE_TXTPSSWD1, t.password1.c_str());
        SetDlgItemTextW(dialog, IDC_AE_TXTPSSWD2, t.password2.c_str());
    }
    static std::wstring text(HWND dialog, int id) {
        wchar_t buffer[512] = {};
        GetDlgItemTextW(dialog, id, buffer, 512);
        return buffer;
    }
    static void expect_kept(HWND dialog, const Typed& t) {
        EXPECT_EQ(text(dialog, IDC_AE_TXTID), t.id);
        EXPECT_EQ(text(dialog, IDC_AE_TXTURL), t.url);
        EXPECT_EQ(text(dialog, IDC_AE_TXTUSERNAME), t.user);
        EXPECT_EQ(text(dialog, IDC_AE_TXTPSSWD1), t.password1);
        EXPECT_EQ(text(dialog, IDC_AE_TXTPSSWD2), t.password2);
    }
    static void click(HWND dialog, int id) { SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    static bool visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }
    static std::string vault_bytes() { return read_bytes(qlk_access::vault_file_path()); }
};

// The tool tips of the dialog, by control id.
std::map<int, std::string> tooltips_of(HWND dialog) {
    struct Found {
        HWND dialog;
        std::map<int, std::string> tips;
    } found{dialog, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM lparam) -> BOOL {
            auto& f = *reinterpret_cast<Found*>(lparam);
            wchar_t class_name[64] = {};
            GetClassNameW(window, class_name, 64);
            if (std::wstring(class_name) != TOOLTIPS_CLASSW || GetWindow(window, GW_OWNER) != f.dialog) return TRUE;
            const auto count = SendMessageW(window, TTM_GETTOOLCOUNT, 0, 0);
            for (int i = 0; i < count; ++i) {
                wchar_t tip[256] = {};
                TTTOOLINFOW info{};
                info.cbSize = sizeof info;
                info.lpszText = tip;
                if (SendMessageW(window, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)))
                    f.tips[GetDlgCtrlID(reinterpret_cast<HWND>(info.uId))] = platform::to_ansi(tip);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.tips;
}

TEST_F(AddEntryDialog, OpensWithItsTextsLabelsAndSize) {
    HWND dialog = open_dialog();
    EXPECT_EQ(platform::window_text(dialog), "Add URL, Username  and Password values to your list...");
    const std::pair<int, const char*> texts[] = {
        {IDC_AE_FRAME1, "Add values:  "},
        {IDC_AE_LABEL5, "Indentifer Name:"},
        {IDC_AE_LABEL1, "URL that values are used for:"},
        {IDC_AE_LABEL2, "Username:  "},
        {IDC_AE_LABEL3, "Password:  "},
        {IDC_AE_LABEL4, "Password Again - Conformation:  "},
        {IDC_AE_LBLERROR2, "ERROR: the URL and/ or Username text field is vacant of text!"},
        {IDC_AE_LBLERROR, "ERROR: the password text fields do not match!"},
        {IDC_AE_COMMAND3, "Generate secure password value..."},
        {IDC_AE_COMMAND4, "?"},
        {IDCANCEL, "Cancel"},
        {IDOK, "OK"},
        {IDC_AE_TXTID, ""},
        {IDC_AE_TXTURL, ""},
        {IDC_AE_TXTUSERNAME, ""},
        {IDC_AE_TXTPSSWD1, ""},
        {IDC_AE_TXTPSSWD2, ""},
    };
    for (auto [id, expected] : texts) EXPECT_EQ(platform::item_text(dialog, id), expected) << id;

    EXPECT_TRUE(visible(dialog, IDC_AE_LBLERROR2));
    EXPECT_FALSE(visible(dialog, IDC_AE_LBLERROR));
    for (int id : {IDC_AE_TXTPSSWD1, IDC_AE_TXTPSSWD2})
        EXPECT_EQ(SendDlgItemMessageW(dialog, id, EM_GETPASSWORDCHAR, 0, 0), 0) << "password fields show their text";

    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, platform::scale(358));
    EXPECT_EQ(client.bottom, platform::scale(272));
    // Every control lies inside the client area.
    for (auto [id, expected] : texts) {
        RECT r;
        GetWindowRect(GetDlgItem(dialog, id), &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << id;
    }

    const std::map<int, std::string> expected_tips = {
        {IDC_AE_COMMAND3, "Generate secure password value..."},
        {IDC_AE_COMMAND4, "Entry to the 'Tallybox' software..."},
        {IDCANCEL, "Cancel action - unload me..."},
        {IDOK, "Save password values..."},
    };
    EXPECT_EQ(tooltips_of(dialog), expected_tips);
}

// Red on the face colour; under high contrast the system's pair, which reads;
// red again once it is off.
TEST_F(AddEntryDialog, ErrorLabelsAreRedOutsideHighContrast) {
    HWND dialog = open_dialog();
    auto chosen = [&](int id) { return test_support::colours_chosen(dialog, GetDlgItem(dialog, id)); };
    for (bool high_contrast : {false, true, false}) {
        const test_support::HighContrastOn contrast(dialog, high_contrast);
        for (int id : {IDC_AE_LBLERROR, IDC_AE_LBLERROR2}) {
            const test_support::ColourPair pair = chosen(id);
            EXPECT_EQ(pair.back, GetSysColor(COLOR_BTNFACE)) << id;
            EXPECT_EQ(pair.text, high_contrast ? GetSysColor(COLOR_BTNTEXT) : RGB(255, 0, 0)) << id;
            if (high_contrast) {
                EXPECT_GE(platform::contrast_ratio(pair.text, pair.back), platform::kReadableContrast);
            }
        }
        EXPECT_EQ(chosen(IDC_AE_LABEL1).text, GetSysColor(COLOR_WINDOWTEXT))
            << "the field labels keep the normal colour";
    }
}

// What appears while the keyboard stays on a button is told to screen readers
// through the events they hook.
TEST_F(AddEntryDialog, ErrorsAndGeneratedPasswordsAreToldToScreenReaders) {
    static std::vector<std::pair<DWORD, HWND>> events;
    events.clear();
    HWINEVENTHOOK hook = SetWinEventHook(
        EVENT_SYSTEM_ALERT, EVENT_OBJECT_VALUECHANGE, nullptr,
        [](HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
            if (object == OBJID_CLIENT && child == CHILDID_SELF) events.emplace_back(event, window);
        },
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    HWND dialog = open_dialog();
    auto told = [&](DWORD event, int id) {
        test_support::pump_messages();
        const std::pair<DWORD, HWND> wanted{event, GetDlgItem(dialog, id)};
        return std::find(events.begin(), events.end(), wanted) != events.end();
    };
    const struct {
        const char* what;
        Typed typed;
        int button;
        DWORD event;
        std::vector<int> told_of;
    } cases[] = {
        {"passwords differ", {L"id", L"u", L"n", L"a", L"b"}, IDOK, EVENT_SYSTEM_ALERT, {IDC_AE_LBLERROR}},
        {"empty URL", {L"id", L"", L"n", L"p", L"p"}, IDOK, EVENT_SYSTEM_ALERT, {IDC_AE_LBLERROR2}},
        {"generated", {}, IDC_AE_COMMAND3, EVENT_OBJECT_VALUECHANGE, {IDC_AE_TXTPSSWD1, IDC_AE_TXTPSSWD2}},
    };
    for (const auto& c : cases) {
        type(dialog, c.typed);
        test_support::pump_messages();
        events.clear();
        click(dialog, c.button);
        for (int id : c.told_of) EXPECT_TRUE(told(c.event, id)) << c.what << ": " << id;
    }
    UnhookWinEvent(hook);
}

TEST_F(AddEntryDialog, TabOrderStartsInTheUserName) {
    HWND dialog = open_dialog();
    test_support::pump_messages();
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_AE_TXTUSERNAME));
    const int order[] = {
        IDOK,         IDC_AE_TXTPSSWD1,  IDC_AE_TXTPSSWD2, IDC_AE_TXTURL, IDCANCEL, IDC_AE_COMMAND3, IDC_AE_COMMAND4,
        IDC_AE_TXTID, IDC_AE_TXTUSERNAME};
    HWND control = GetDlgItem(dialog, IDC_AE_TXTUSERNAME);
    for (int id : order) {
        control = GetNextDlgTabItem(dialog, control, FALSE);
        EXPECT_EQ(GetDlgCtrlID(control), id);
    }
}

TEST_F(AddEntryDialog, IdentifierTakesThirtyCharactersOthersNoLimit) {
    HWND dialog = open_dialog();
    auto type_chars = [&](int id, int count) {
        HWND field = GetDlgItem(dialog, id);
        SetFocus(field);
        for (int i = 0; i < count; ++i) SendMessageW(field, WM_CHAR, L'a' + i % 26, 0);
        return text(dialog, id).size();
    };
    EXPECT_EQ(type_chars(IDC_AE_TXTID, 31), 30u);
    for (int id : {IDC_AE_TXTURL, IDC_AE_TXTUSERNAME, IDC_AE_TXTPSSWD1, IDC_AE_TXTPSSWD2})
        EXPECT_EQ(type_chars(id, 200), 200u) << id;
}

// Each failed check shows its label, writes nothing and keeps every field.
TEST_F(AddEntryDialog, ValidationShowsTheLabelsInOrder) {
    struct Case {
        const char* what;
        Typed typed;
        bool lbl_error, lbl_error2;
    };
    const Case cases[] = {
        {"passwords differ in case", {L"id", L"u", L"n", L"Secret", L"secret"}, true, false},
        {"passwords differ and the URL is empty: the passwords come first", {L"", L"", L"n", L"a", L"b"}, true, false},
        {"one password box empty", {L"id", L"u", L"n", L"a", L""}, true, false},
        {"empty URL", {L"id", L"", L"n", L"p", L"p"}, false, true},
        {"empty user name", {L"id", L"u", L"", L"p", L"p"}, false, true},
        {"everything empty", {}, false, true},
    };
    write_bytes(qlk_access::vault_file_path(), vault::encryption_pass(kOneRecordPlain));
    const std::string before = vault_bytes();
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    for (const Case& c : cases) {
        type(dialog, c.typed);
        click(dialog, IDOK);
        ASSERT_TRUE(ui::is_loaded(ui::Window::AddEntry)) << c.what;
        EXPECT_EQ(visible(dialog, IDC_AE_LBLERROR), c.lbl_error) << c.what;
        EXPECT_EQ(visible(dialog, IDC_AE_LBLERROR2), c.lbl_error2) << c.what;
        expect_kept(dialog, c.typed);
        EXPECT_EQ(vault_bytes(), before) << c.what;
    }
    EXPECT_TRUE(watcher.seen().empty()) << "validation speaks through the labels only";
}

TEST_F(AddEntryDialog, GenerateFillsBothFieldsWithTenPoolCharacters) {
    HWND dialog = open_dialog();
    type(dialog, {L"", L"", L"", L"typed before", L"other"});
    click(dialog, IDC_AE_COMMAND3);
    const std::string first = platform::item_text(dialog, IDC_AE_TXTPSSWD1);
    EXPECT_EQ(platform::item_text(dialog, IDC_AE_TXTPSSWD2), first);
    ASSERT_EQ(first.size(), 10u);
    for (char c : first) EXPECT_NE(addentry::kPasswordPool.find(c), std::string_view::npos) << first;

    click(dialog, IDC_AE_COMMAND3);
    const std::string second = platform::item_text(dialog, IDC_AE_TXTPSSWD1);
    EXPECT_EQ(platform::item_text(dialog, IDC_AE_TXTPSSWD2), second);
    EXPECT_NE(second, first) << "each click draws afresh";
}

// Every character of a click has its own draw: over many clicks the button's
// passwords hold about as many different characters as ten independent draws
// from the pool give (9.4 on average), not one repeated ten times, and no two
// clicks give the same password.
TEST_F(AddEntryDialog, EachGenerateClickDrawsTenFreshCharacters) {
    HWND dialog = open_dialog();
    constexpr int kClicks = 200;
    std::set<std::string> passwords;
    int distinct_characters = 0, most_repeated = 0;
    for (int i = 0; i < kClicks; ++i) {
        click(dialog, IDC_AE_COMMAND3);
        const std::string password = platform::item_text(dialog, IDC_AE_TXTPSSWD1);
        ASSERT_EQ(password.size(), 10u);
        passwords.insert(password);
        std::map<char, int> counts;
        for (char c : password) ++counts[c];
        distinct_characters += static_cast<int>(counts.size());
        for (const auto& [c, n] : counts) most_repeated = std::max(most_repeated, n);
    }
    EXPECT_EQ(passwords.size(), static_cast<std::size_t>(kClicks));
    EXPECT_GT(distinct_characters, kClicks * 85 / 10) << "about 9.4 different characters a password";
    EXPECT_LT(most_repeated, 7) << "one character seven times in a password: a draw shared between places";
}

// The system generator behind the button gives the draw rule's character mix.
TEST_F(AddEntryDialog, SystemGeneratorGivesTheCharacterMix) {
    std::uint32_t words[1000];
    std::size_t next = std::size(words);
    addentry::test::check_password_mix(
        [&] {
            if (next == std::size(words)) {
                EXPECT_TRUE(platform::random_words(words));
                next = 0;
            }
            return addentry::unit_float_from_bits(words[next++]);
        },
        20000);
}

TEST_F(AddEntryDialog, CancelWritesNothingAndTheNextOpeningStartsEmpty) {
    write_bytes(qlk_access::vault_file_path(), vault::encryption_pass(kOneRecordPlain));
    const std::string before = vault_bytes();
    HWND dialog = open_dialog();
    type(dialog, {L"bank", L"https://bank.example", L"bob", L"pw", L"pw"});
    click(dialog, IDCANCEL);
    EXPECT_FALSE(ui::is_loaded(ui::Window::AddEntry));
    EXPECT_EQ(vault_bytes(), before);

    dialog = open_dialog();
    expect_kept(dialog, {});
    EXPECT_TRUE(visible(dialog, IDC_AE_LBLERROR2));
    EXPECT_FALSE(visible(dialog, IDC_AE_LBLERROR));
}

TEST_F(AddEntryDialog, ShowingAgainBringsTheOpenDialogForwardWithItsFields) {
    HWND dialog = open_dialog();
    const Typed typed{L"x", L"y", L"z", L"p", L"q"};
    type(dialog, typed);
    click(dialog, IDOK); // lblError now shows: set-up must not run again and hide it
    EXPECT_EQ(open_dialog(), dialog);
    expect_kept(dialog, typed);
    EXPECT_TRUE(visible(dialog, IDC_AE_LBLERROR));
}

TEST_F(AddEntryDialog, MiniHelpShowsItsTextAndChangesNothing) {
    HWND dialog = open_dialog();
    const Typed typed{L"x", L"y", L"z", L"p", L"p"};
    type(dialog, typed);
    ModalWatcher watcher;
    click(dialog, IDC_AE_COMMAND4);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Quillock");
    EXPECT_EQ(seen[0].text,
              "Mini Help\r\n\r\nThis function will randomly generate what is considered a secure password "
              "then insert into the password text fields.\r\nWhat is commonly considered a secure "
              "password is a combo of upper and lower case chars, numbers and a lenght of at least 8 "
              "chars.");
    expect_kept(dialog, typed);
}

TEST_F(AddEntryDialog, AddAppendsTheStampedRecordAndAnEmptyLine) {
    qlk_access::ensure_vault_file(); // the empty vault of a first run
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    type(dialog, {L"", L" ", L"ann", L"", L""}); // empty name and password, a URL of one space
    click(dialog, IDOK);
    EXPECT_FALSE(ui::is_loaded(ui::Window::AddEntry)) << "a successful add closes the dialog";
    const std::string first = "NAM:\r\nURL: \r\nUSE:ann\r\nPAS:\r\nIDN:QLKTESTBOX\r\n\r\n";
    EXPECT_EQ(vault::decryption_pass(vault_bytes()), first);
    EXPECT_EQ(vault_bytes(), vault::encryption_pass(first)) << "the file is scrambled at rest";

    dialog = open_dialog();
    type(dialog, {L"Bank, main", L"https://bank.example", L"Bob", L"Pa55word!", L"Pa55word!"});
    click(dialog, IDOK);
    EXPECT_FALSE(ui::is_loaded(ui::Window::AddEntry));
    const std::string both = first + "NAM:Bank, main\r\nURL:https://bank.example\r\nUSE:Bob\r\nPAS:Pa55word!\r\n"
                                     "IDN:QLKTESTBOX\r\n\r\n";
    EXPECT_EQ(vault_bytes(), vault::encryption_pass(both));
    EXPECT_EQ(vault_bytes().find("Pa55word"), std::string::npos);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_FALSE(qlk_access::file_exists(qlk_access::data_folder_path() + "\\my_passwordsX.dat"));
}

TEST_F(AddEntryDialog, MissingVaultIsReportedThenWrittenWithTheRecord) {
    HWND dialog = open_dialog();
    ModalWatcher watcher;
    type(dialog, {L"n", L"u", L"user", L"p", L"p"});
    click(dialog, IDOK);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, vault::kMissingMessage);
    EXPECT_FALSE(ui::is_loaded(ui::Window::AddEntry));
    EXPECT_EQ(vault::decryption_pass(vault_bytes()), "NAM:n\r\nURL:u\r\nUSE:user\r\nPAS:p\r\nIDN:QLKTESTBOX\r\n\r\n");
}

// A character the vault would not give back as typed is refused with a message
// naming the field; nothing is written and the dialog keeps every value.
TEST_F(AddEntryDialog, RefusesCharactersTheVaultCannotStore) {
    struct Case {
        Typed typed;
        const char* field;
    };
    const Case cases[] = {
        {{L"Caf\u00e9", L"u", L"n", L"p", L"p"}, "identifier name"}, // a byte of the scrambled block
        {{L"n", L"http://\u03a9.example", L"n", L"p", L"p"}, "URL"}, // not in the code page at all
        {{L"n", L"u", L"J\u00f6rg", L"p", L"p"}, "user name"},
        {{L"n", L"u", L"n", L"\u0101bc", L"\u0101bc"}, "password"}, // best fit would store a plain "a"
        {{L"n", L"u", L"n", L"\u00c0", L"\u00c0"}, "password"},
    };
    write_bytes(qlk_access::vault_file_path(), vault::encryption_pass(kOneRecordPlain));
    const std::string before = vault_bytes();
    HWND dialog = open_dialog();
    for (const Case& c : cases) {
        ModalWatcher watcher;
        type(dialog, c.typed);
        click(dialog, IDOK);
        const auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u) << c.field;
        EXPECT_TRUE(seen[0].text.starts_with("ERROR: ")) << seen[0].text;
        EXPECT_NE(seen[0].text.find(std::string("the ") + c.field + " "), std::string::npos) << seen[0].text;
        ASSERT_TRUE(ui::is_loaded(ui::Window::AddEntry));
        expect_kept(dialog, c.typed);
        EXPECT_EQ(vault_bytes(), before);
    }
}

TEST_F(AddEntryDialog, ReadOnlyVaultKeepsItsBytesAndTheDialogItsValues) {
    write_bytes(qlk_access::vault_file_path(), vault::encryption_pass(kOneRecordPlain));
    const std::string before = vault_bytes();
    SetFileAttributesA(qlk_access::vault_file_path().c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(GetFileAttributesA(qlk_access::vault_file_path().c_str()) & FILE_ATTRIBUTE_READONLY);
    HWND dialog = open_dialog();
    const Typed typed{L"bank", L"https://bank.example", L"bob", L"pw", L"pw"};
    type(dialog, typed);
    ModalWatcher watcher;
    click(dialog, IDOK);
    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, vault::kSaveFailedMessage);
    ASSERT_TRUE(ui::is_loaded(ui::Window::AddEntry));
    expect_kept(dialog, typed);
    EXPECT_EQ(vault_bytes(), before);
    EXPECT_FALSE(visible(dialog, IDC_AE_LBLERROR));
    EXPECT_FALSE(visible(dialog, IDC_AE_LBLERROR2));

    // Once the file can be written again, the same values are saved.
    SetFileAttributesA(qlk_access::vault_file_path().c_str(), FILE_ATTRIBUTE_NORMAL);
    click(dialog, IDOK);
    EXPECT_FALSE(ui::is_loaded(ui::Window::AddEntry));
    EXPECT_EQ(vault::decryption_pass(vault_bytes()),
              kOneRecordPlain + "NAM:bank\r\nURL:https://bank.example\r\nUSE:bob\r\nPAS:pw\r\nIDN:QLKTESTBOX\r\n\r\n");
}

} // namespace
