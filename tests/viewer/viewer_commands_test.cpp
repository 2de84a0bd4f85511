// The viewer's commands that read the rows: copy to the clipboard, open a
// URL, print, the display toggle and the mini help.
#include "access/print_view.h"
#include "notepad_view.h"
#include "platform/clipboard.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "viewer_test_support.h"

#include <set>

using test_support::ModalWatcher;
using namespace viewer_test;

namespace {

class ViewerCommands : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        write_vault(record_text("mail", "https://mail.example", "ann", "abc") +
                    record_text("bank", "www.bank.example", "bob b", "S3cret!") +
                    record_text("forum", "Http://forum.example", "cy", "pw"));
        open_viewer();
        ASSERT_NE(viewer(), nullptr);
    }
    void TearDown() override {
        close_notepad();
        ViewerTest::TearDown();
    }
    static void close_notepad() {
        for (int i = 0; i < 100; ++i) {
            HWND notepad = FindWindowW(nullptr, L"temp.dat - Notepad");
            if (!notepad) notepad = FindWindowW(L"Notepad", nullptr);
            if (!notepad) return;
            PostMessageW(notepad, WM_CLOSE, 0, 0);
            Sleep(50);
        }
    }
    // Rows by name: bank 0, forum 1, mail 2.
    static constexpr int kBank = 0, kForum = 1, kMail = 2;
};

TEST_F(ViewerCommands, CopyPasswordGivesThePlainPasswordInBothViewsAsExcludedText) {
    for (const char* caption : {"Decrypt Password View", "Encrypt Password View"}) {
        SCOPED_TRACE(caption);
        ASSERT_EQ(toggle_caption(), caption);
        select_row(kMail);
        command(IDM_VW_COPY2CLIPBOARD);
        EXPECT_EQ(clipboard_text(), "abc");
        select_row(kBank);
        command(IDM_VW_COPY2CLIPBOARD);
        EXPECT_EQ(clipboard_text(), "S3cret!");
        EXPECT_TRUE(
            IsClipboardFormatAvailable(RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing")));
        command(IDC_VW_COMMAND3);
    }
}

TEST_F(ViewerCommands, CopyUserNameReplacesTheClipboardExactly) {
    put_on_clipboard("something else");
    select_row(kBank);
    command(IDM_VW_COPYUSERNAME2CLIPBOARD);
    EXPECT_EQ(clipboard_text(), "bob b");
}

TEST_F(ViewerCommands, ShortcutsReachTheCommandsThroughTheMessageLoop) {
    const std::pair<WORD, std::string> keys[] = {{'C', "abc"}, {'U', "ann"}};
    for (const auto& [key, expected] : keys) {
        select_row(kMail);
        SetFocus(list());
        MSG message{list(), WM_KEYDOWN, key, 0, 0, {}};
        BYTE keyboard[256] = {};
        GetKeyboardState(keyboard);
        keyboard[VK_CONTROL] = 0x80;
        SetKeyboardState(keyboard);
        EXPECT_TRUE(ui::translate_for_windows(message));
        keyboard[VK_CONTROL] = 0;
        SetKeyboardState(keyboard);
        test_support::pump_messages(20);
        EXPECT_EQ(clipboard_text(), expected);
    }
}

TEST_F(ViewerCommands, WithNoRowSelectedTheRowCommandsDoNothing) {
    put_on_clipboard("kept");
    select_row(-1);
    ModalWatcher watcher;
    for (int id : {IDM_VW_COPY2CLIPBOARD, IDM_VW_COPYUSERNAME2CLIPBOARD, IDM_VW_URL, IDM_VW_RENAME, IDM_VW_THE_URL,
                   IDM_VW_USERNAME, IDM_VW_CHANGEPASSWORD})
        command(id);
    test_support::pump_messages(50);
    EXPECT_EQ(clipboard_text(), "kept");
    EXPECT_TRUE(watcher.seen().empty()) << "no message and no input box";
}

UINT WINAPI no_format(LPCWSTR) { return 0; }

// A copy that would not be whole is not made, and the user is told: another
// program holds the clipboard open (what it holds stays), or the format that
// keeps the copy out of the clipboard history cannot be placed (it is left empty).
TEST_F(ViewerCommands, ACopyThatCannotBeMadeWhollyIsReportedAndNothingIsCopied) {
    const std::pair<bool, const char*> cases[] = {
        {true,
         "ERROR: the clipboard is in use by another program.\r\nNothing was copied; please try again in a moment."},
        {false, "ERROR: the copy could not be kept out of the clipboard history.\r\nNothing was copied."}};
    for (const auto& [held_elsewhere, message] : cases) {
        put_on_clipboard("kept");
        platform::set_format_registration(held_elsewhere ? nullptr : no_format);
        ModalWatcher watcher;
        select_row(kMail);
        {
            std::optional<ClipboardHeldElsewhere> holder;
            if (held_elsewhere) holder.emplace();
            command(IDM_VW_COPY2CLIPBOARD);
        }
        platform::set_format_registration(nullptr);
        EXPECT_EQ(texts_of(watcher.seen()), std::vector<std::string>{message});
        EXPECT_EQ(clipboard_text(), held_elsewhere ? std::optional<std::string>("kept") : std::nullopt);
        EXPECT_TRUE(IsWindow(viewer()));
    }
}

TEST_F(ViewerCommands, ActivateUrlAcceptsOnlyTheSixPrefixesExactly) {
    const char kError[] =
        "ERROR: To activate an URL into your brower - the name must start with 'www.', 'http://' or 'https://'";
    select_row(kForum); // "Http://..." has a mixed-case scheme
    ModalWatcher watcher;
    command(IDM_VW_URL);
    EXPECT_EQ(texts_of(watcher.seen()), std::vector<std::string>{kError});

    // A double click on the list runs the same command on the selected row.
    watcher.clear_seen();
    NMITEMACTIVATE click{};
    click.hdr = {list(), IDC_VW_LV, static_cast<UINT>(NM_DBLCLK)};
    click.iItem = -1; // anywhere on the list
    SendMessageW(viewer(), WM_NOTIFY, IDC_VW_LV, reinterpret_cast<LPARAM>(&click));
    EXPECT_EQ(texts_of(watcher.seen()), std::vector<std::string>{kError});

    // Accepted ones go to the shell, which opens nothing here and reports nothing.
    watcher.clear_seen();
    for (int row : {kBank, kMail}) {
        select_row(row);
        command(IDM_VW_URL);
    }
    test_support::pump_messages(50);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_TRUE(IsWindow(viewer()));
}

TEST_F(ViewerCommands, DisplayToggleSwitchesTheColumnAndTheCaptionBackAndForth) {
    const std::vector<std::string> plain = {"S3cret!", "pw", "abc"};
    std::vector<std::string> scrambled;
    for (const auto& p : plain) scrambled.push_back(vault::encrypt_text(p));
    auto column = [] {
        std::vector<std::string> values;
        for (const Shown& row : shown_rows()) values.push_back(row.password);
        return values;
    };
    EXPECT_EQ(column(), scrambled);
    command(IDC_VW_COMMAND3);
    EXPECT_EQ(toggle_caption(), "Encrypt Password View");
    EXPECT_EQ(column(), plain);
    command(IDC_VW_COMMAND3);
    EXPECT_EQ(toggle_caption(), "Decrypt Password View");
    EXPECT_EQ(column(), scrambled);
}

TEST_F(ViewerCommands, MiniHelpShowsItsTextAndNothingElse) {
    ModalWatcher watcher;
    command(IDC_VW_COMMAND4);
    EXPECT_EQ(texts_of(watcher.seen()),
              std::vector<std::string>{"Mini Help\r\n\r\nThis 'toggle' button/ function will decrypt or encrypt the "
                                       "view of your password(s) text.\r\nUse to keep decrypted passwords out of the "
                                       "view of others (via a click)!"});
    EXPECT_EQ(toggle_caption(), "Decrypt Password View");
}

// While the vault is sealed the list goes to a folder of the program's own
// in the user's temporary folder, not to the stick; Notepad's title is the same.
TEST_F(ViewerCommands, PrintWritesEveryRowInListOrderOpensNotepadAndCloses) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string on_stick = qlk_access::print_file_path();
    for (const bool sealed : {false, true}) {
        SCOPED_TRACE(sealed ? "sealed" : "on the stick");
        qlk_access::run_state().vault_sealed = sealed;
        const std::string path = sealed ? std::string(temp) + "Tallybox\\temp.dat" : on_stick;
        ASSERT_EQ(qlk_access::print_file_path(), path);
        if (!viewer()) open_viewer();
        write_bytes(path, "an older, longer print file\r\n\r\n\r\n");
        select_row(kMail);
        command(IDM_VW_COPY2CLIPBOARD);
        ModalWatcher watcher;
        command(IDC_VW_COMMAND1);
        EXPECT_EQ(texts_of(watcher.seen()),
                  std::vector<std::string>{"This function will create a temp text file that can be saved and/ or "
                                           "printed.\r\n\r\nThe file will be deleted, at exit of this software, "
                                           "UNLESS you elect to 'Save As' a different file."});
        EXPECT_EQ(read_bytes(path),
                  "Identifer Name: bank   URL: www.bank.example   UserName: bob b   Password: S3cret!\r\n"
                  "Identifer Name: forum   URL: Http://forum.example   UserName: cy   Password: pw\r\n"
                  "Identifer Name: mail   URL: https://mail.example   UserName: ann   Password: abc\r\n");
        EXPECT_EQ(platform::file_exists(on_stick), !sealed);
        EXPECT_EQ(viewer(), nullptr) << "print closes the viewer";
        EXPECT_EQ(clipboard_format_count(), 0);
        HWND notepad = nullptr;
        for (int i = 0; i < 200 && !notepad; ++i, Sleep(25)) notepad = FindWindowW(nullptr, L"temp.dat - Notepad");
        EXPECT_NE(notepad, nullptr) << "Notepad opens the print file";
        close_notepad();
        DeleteFileA(path.c_str());
    }
    qlk_access::run_state().vault_sealed = false;
    RemoveDirectoryA((std::string(temp) + "Tallybox").c_str());
}

// A step-away takes off the screen only what Print showed: the user's own
// temp.dat, in a Notepad that ran before the Print, stays.
TEST_F(ViewerCommands, AStepAwayLeavesTheUsersOwnTempDatOpenedBeforeThePrint) {
    qlk_access::close_print_views(); // what an earlier test printed
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string own = std::string(temp) + "temp.dat";
    write_bytes(own, "the user's notes\r\n");
    const platform::unique_kernel_handle users = platform::start_system_program(L"notepad.exe", own, SW_SHOW);
    ASSERT_EQ(WaitForInputIdle(users.get(), 10'000), 0u) << "its window is up";
    const HWND users_window = FindWindowW(nullptr, L"temp.dat - Notepad");
    ModalWatcher watcher;
    command(IDC_VW_COMMAND1);
    qlk_access::close_print_views();
    EXPECT_TRUE(test_support::survives_its_messages(users.get(), users_window));
    TerminateProcess(users.get(), 0);
    DeleteFileA(own.c_str());
}

TEST_F(ViewerCommands, AnUnwritablePrintFileIsReportedAndTheViewerStays) {
    CreateDirectoryA(qlk_access::print_file_path().c_str(), nullptr); // a folder where the file should be
    ModalWatcher watcher;
    command(IDC_VW_COMMAND1);
    const auto seen = texts_of(watcher.seen());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "ERROR: the print file could not be written.\r\n" + qlk_access::print_file_path() +
                           " may be read-only or in use by another program; the list was not printed.");
    EXPECT_TRUE(IsWindow(viewer()));
    EXPECT_EQ(FindWindowW(nullptr, L"temp.dat - Notepad"), nullptr);
}

} // namespace
