// The Edit menu through WM_COMMAND, with the input boxes answered as a user
// would; each change rewrites the vault from the rows.
#include "ui/message_box_reporter.h"
#include "vault/file_system.h"
#include "vault/record_ops.h"
#include "viewer_test_support.h"

using test_support::ModalWatcher;
using namespace viewer_test;

namespace {

const std::string kVault = record_text("mail", "https://mail.example", "ann", "abc") +
                           record_text("bank", "www.bank.example", "bob", "S3cret!") +
                           record_text("forum", "https://forum.example", "cy", "pw", "OTHERBOX");

class ViewerEdit : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        reopen_on(kVault);
        ASSERT_NE(viewer(), nullptr);
    }
    static void reopen_on(const std::string& plain) {
        if (viewer()) DestroyWindow(viewer());
        write_vault(plain);
        open_viewer();
    }
    // What the add-entry dialog does while the viewer is open.
    static void add_meanwhile(const std::string& name, const std::string& password) {
        ui::MessageBoxReporter reporter;
        vault::VaultContext context{vault::vault_paths_for_drive(qlk_access::run_state().drive_letter), kStamp,
                                    vault::disk_files(), reporter};
        ASSERT_EQ(vault::add_record(context, {name, "https://added.example", "dee", password, password}),
                  vault::AddOutcome::Saved);
    }
    static void set_read_only(bool read_only) {
        SetFileAttributesA(qlk_access::vault_file_path().c_str(),
                           read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
    }
    // Rows by name: bank 0, forum 1, mail 2, written in that order: bank is
    // of this computer, so the list's first row passes the stamp check.
    static constexpr int kBank = 0, kForum = 1, kMail = 2;

    static std::string names_in_file() {
        std::string names;
        for (const vault::Record& r : vault_records()) names += r.name + ",";
        return names;
    }
    static vault::Record record_named(const std::string& name) {
        for (const vault::Record& r : vault_records())
            if (r.name == name) return r;
        return {};
    }
};

TEST_F(ViewerEdit, EachChangeAsksWithItsPromptTitleAndCurrentValueThenRewrites) {
    struct Case {
        int command;
        const char* title;
        const char* prompt;
        const char* current; // the default text in the box
        int column;
        const char* answer;
    };
    const Case cases[] = {
        {IDM_VW_RENAME, "Change name", "New Idenifier Name:", "bank", 0, "bank, savings"},
        {IDM_VW_THE_URL, "Change the URL", "New URL:", "www.bank.example", 1, "https://bank.example"},
        {IDM_VW_USERNAME, "Change name", "New User Name:", "bob", 2, "robert"},
        {IDM_VW_CHANGEPASSWORD, "Change password", "New Password:", "S3cret!", 3, "n3w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        select_row(kBank);
        // The watcher reads the box's default text before it types the answer.
        std::string default_text;
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            while (!stop) {
                if (HWND box = FindWindowW(L"#32770", platform::to_wide(c.title).c_str())) {
                    wchar_t text[256] = {};
                    GetDlgItemTextW(box, IDC_INPUT_TEXT, text, 256);
                    if (text[0]) {
                        default_text = platform::to_ansi(text);
                        return;
                    }
                }
                Sleep(2);
            }
        });
        ModalWatcher watcher;
        watcher.answer_input(c.answer);
        command(c.command);
        stop = true;
        reader.join();
        const auto seen = watcher.seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, c.title);
        EXPECT_EQ(seen[0].text, c.prompt);
        EXPECT_EQ(seen[0].mask, 0) << "the Edit menu's boxes show their text";
        EXPECT_EQ(default_text, c.current);
        const std::string expected_cell = c.column == 3 ? vault::encrypt_text(c.answer) : c.answer;
        EXPECT_EQ(cell(kBank, c.column), expected_cell) << "changed in place, not moved";
    }
    EXPECT_EQ(names_in_file(), "bank, savings,forum,mail,") << "list order";
    const vault::Record bank = record_named("bank, savings");
    EXPECT_EQ(bank.url, "https://bank.example");
    EXPECT_EQ(bank.user, "robert");
    EXPECT_EQ(bank.password, "n3w");
    EXPECT_EQ(bank.stamp, kStamp);
    EXPECT_EQ(record_named("forum").stamp, "OTHERBOX") << "each record keeps its own stamp";
    EXPECT_TRUE(vault::is_scrambled(vault_bytes())) << "scrambled at rest";
}

TEST_F(ViewerEdit, CancelOrAnEmptyAnswerChangesNeitherListNorFile) {
    const std::string before = vault_bytes();
    for (bool cancel : {true, false}) {
        for (int id : {IDM_VW_RENAME, IDM_VW_THE_URL, IDM_VW_USERNAME, IDM_VW_CHANGEPASSWORD}) {
            select_row(kMail);
            ModalWatcher watcher;
            if (cancel)
                watcher.cancel_input();
            else
                watcher.answer_input("");
            command(id);
            EXPECT_EQ(watcher.seen().size(), 1u);
        }
    }
    EXPECT_EQ(vault_bytes(), before);
    EXPECT_EQ(cell(kMail, 0), "mail");
}

TEST_F(ViewerEdit, ChangingAPasswordInThePlainViewLeavesTheColumnScrambled) {
    command(IDC_VW_COMMAND3);
    ASSERT_EQ(cell(kMail, 3), "abc");
    select_row(kForum);
    ModalWatcher watcher;
    watcher.answer_input("fresh");
    command(IDM_VW_CHANGEPASSWORD);
    for (int row = 0; row < 3; ++row) EXPECT_NE(vault::decrypt_text(cell(row, 3)), cell(row, 3)) << row;
    EXPECT_EQ(cell(kForum, 3), vault::encrypt_text("fresh"));
    EXPECT_EQ(toggle_caption(), "Encrypt Password View") << "the caption is left as it was";
    EXPECT_EQ(record_named("forum").password, "fresh");

    // Only the toggle changes the column's form: other edits, saved or
    // cancelled, leave it scrambled whatever the caption says.
    const struct {
        int command;
        const char* answer; // null: the box is cancelled
    } edits[] = {{IDM_VW_THE_URL, "https://forum2.example"}, {IDM_VW_RENAME, nullptr}, {IDM_VW_DELETE, nullptr}};
    for (const auto& edit : edits) {
        SCOPED_TRACE(edit.command);
        select_row(kForum);
        ModalWatcher edit_watcher;
        if (edit.answer)
            edit_watcher.answer_input(edit.answer);
        else
            edit_watcher.cancel_input();
        command(edit.command);
        for (int row = 0; row < ListView_GetItemCount(list()); ++row)
            EXPECT_NE(vault::decrypt_text(cell(row, 3)), cell(row, 3)) << row;
    }

    // One click brings the caption back; the next shows the plain passwords.
    command(IDC_VW_COMMAND3);
    EXPECT_EQ(cell(kBank, 3), vault::encrypt_text("S3cret!"));
    command(IDC_VW_COMMAND3);
    EXPECT_EQ(cell(kBank, 3), "S3cret!");
}

TEST_F(ViewerEdit, DeleteRemovesTheSelectedRowWithoutAskingAndLeavesNoneSelected) {
    select_row(kForum);
    ModalWatcher watcher;
    SendMessageW(viewer(), WM_COMMAND, MAKEWPARAM(IDM_VW_DELETE, 1), 0); // Ctrl+D
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(ListView_GetItemCount(list()), 2);
    EXPECT_EQ(names_in_file(), "bank,mail,");
    EXPECT_EQ(selected_row(), -1);
    EXPECT_EQ(GetFocus(), list());

    // A second Ctrl+D with nothing selected removes nothing.
    command(IDM_VW_DELETE);
    EXPECT_EQ(names_in_file(), "bank,mail,");
}

TEST_F(ViewerEdit, DeletingEveryRowLeavesAnEmptyVaultThatTheNextOpeningRefuses) {
    for (int i = 0; i < 3; ++i) {
        select_row(0);
        command(IDM_VW_DELETE);
    }
    EXPECT_EQ(ListView_GetItemCount(list()), 0);
    EXPECT_EQ(vault_bytes(), "");
    ModalWatcher watcher;
    for (int id : {IDM_VW_COPY2CLIPBOARD, IDM_VW_URL, IDM_VW_RENAME}) command(id);
    EXPECT_TRUE(watcher.seen().empty()) << "row commands do nothing on an empty list";

    command(IDC_VW_COMMAND2);
    EXPECT_EQ(open_viewer(), nullptr);
    EXPECT_EQ(texts_of(watcher.seen()), (std::vector<std::string>{kRejected, kRejected}));
}

// The add dialog and the viewer can be open together: a record added to the
// file meanwhile must survive the viewer's next rewrite.
TEST_F(ViewerEdit, ARecordAddedWhileTheViewerIsOpenSurvivesARenameAndAppears) {
    add_meanwhile("added", "pa55");
    select_row(kMail);
    ModalWatcher watcher;
    watcher.answer_input("mailbox");
    command(IDM_VW_RENAME);
    EXPECT_EQ(names_in_file(), "bank,forum,mailbox,added,");
    EXPECT_EQ(cell(3, 0), "added") << "the open list shows it too";
    EXPECT_EQ(cell(3, 3), vault::encrypt_text("pa55"));

    command(IDC_VW_COMMAND2);
    open_viewer();
    std::vector<std::string> names;
    for (const Shown& row : shown_rows()) names.push_back(row.name);
    EXPECT_EQ(names, (std::vector<std::string>{"added", "bank", "forum", "mailbox"}));
}

TEST_F(ViewerEdit, AVaultThatCannotBeWrittenKeepsItsBytesAndTheRowItsValue) {
    const std::string before = vault_bytes();
    SetFileAttributesA(qlk_access::vault_file_path().c_str(), FILE_ATTRIBUTE_READONLY);
    select_row(kMail);
    ModalWatcher watcher;
    watcher.answer_input("renamed");
    command(IDM_VW_RENAME);
    SetFileAttributesA(qlk_access::vault_file_path().c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(vault_bytes(), before);
    EXPECT_EQ(cell(kMail, 0), "mail");
    const auto seen = texts_of(watcher.seen());
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "ERROR: the password data file could not be saved.\r\n"
                       "It was left as it was before; the change was not stored.");
    EXPECT_TRUE(IsWindow(viewer()));
}

// A save that failed has already taken the record added meanwhile into the
// list: the next save must not take it a second time.
TEST_F(ViewerEdit, ARecordAddedMeanwhileIsWrittenOnceWhenASaveFailedBefore) {
    const struct {
        int command;
        const char* names_after; // in the file after the second, successful try
        int rows_after;
    } cases[] = {{IDM_VW_DELETE, "bank,mail,added,", 3}, {IDM_VW_RENAME, "bank,forum2,mail,added,", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        reopen_on(kVault);
        add_meanwhile("added", "pa55");
        for (bool read_only : {true, false}) {
            set_read_only(read_only);
            select_row(kForum);
            ModalWatcher watcher;
            if (c.command == IDM_VW_RENAME) watcher.answer_input("forum2");
            command(c.command);
            set_read_only(false);
            EXPECT_EQ(watcher.seen().size(), (c.command == IDM_VW_RENAME ? 1u : 0u) + (read_only ? 1u : 0u));
        }
        EXPECT_EQ(names_in_file(), c.names_after);
        EXPECT_EQ(ListView_GetItemCount(list()), c.rows_after);
        EXPECT_EQ(cell(c.rows_after - 1, 0), "added");
    }
}

// Only the first record's stamp binds the vault to a computer. With a record
// from elsewhere first in name order, no edit may put it first in the file.
TEST_F(ViewerEdit, TheVaultStillOpensHereAfterEditsWhenARecordFromElsewhereSortsFirst) {
    const std::string vault = record_text("zeta", "u", "z", "p1") + record_text("alpha", "u", "a", "p2", "OTHERBOX") +
                              record_text("mid", "u", "m", "p3");
    const struct {
        const char* what;
        int command;
        int row; // list order: alpha 0, mid 1, zeta 2
        const char* answer;
        const char* names_in_file;
    } cases[] = {
        {"rename the record that opened the vault", IDM_VW_RENAME, 2, "zed", "zed,alpha,mid,"},
        {"rename another", IDM_VW_RENAME, 1, "aaa", "zeta,alpha,aaa,"},
        {"delete the record that opened the vault", IDM_VW_DELETE, 2, nullptr, "mid,alpha,"},
        {"delete another", IDM_VW_DELETE, 1, nullptr, "zeta,alpha,"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        reopen_on(vault);
        ASSERT_NE(viewer(), nullptr);
        select_row(c.row);
        ModalWatcher watcher;
        if (c.answer) watcher.answer_input(c.answer);
        command(c.command);
        EXPECT_EQ(names_in_file(), c.names_in_file);

        command(IDC_VW_COMMAND2);
        EXPECT_NE(open_viewer(), nullptr) << "the vault this computer has just written opens on it";
        for (const std::string& text : texts_of(watcher.seen())) EXPECT_NE(text, kRejected);
    }
}

// Rows that a rewrite appends take the column's form; a
// password change that could not be saved leaves the column as it was shown.
TEST_F(ViewerEdit, ThePasswordColumnKeepsItsFormThroughOtherEdits) {
    command(IDC_VW_COMMAND3); // plain view
    add_meanwhile("added", "pa55");
    select_row(kMail);
    {
        ModalWatcher watcher;
        watcher.answer_input("mailbox");
        command(IDM_VW_RENAME);
    }
    ASSERT_EQ(cell(3, 0), "added");
    EXPECT_EQ(cell(3, 3), "pa55") << "an appended row is shown plain like the others";

    set_read_only(true);
    select_row(kBank);
    {
        ModalWatcher watcher;
        watcher.answer_input("n3w");
        command(IDM_VW_CHANGEPASSWORD);
    }
    set_read_only(false);
    const char* plain[] = {"S3cret!", "pw", "abc", "pa55"};
    for (int row = 0; row < 4; ++row) EXPECT_EQ(cell(row, 3), plain[row]) << row;
    EXPECT_EQ(toggle_caption(), "Encrypt Password View");
    EXPECT_EQ(record_named("bank").password, "S3cret!");
}

// The vault deleted behind the viewer's back: the next edit reports it once and
// writes the file anew from every row.
TEST_F(ViewerEdit, AVaultDeletedWhileTheViewerIsOpenIsWrittenAnewFromEveryRow) {
    DeleteFileA(qlk_access::vault_file_path().c_str());
    select_row(kMail);
    ModalWatcher watcher;
    watcher.answer_input("mailbox");
    command(IDM_VW_RENAME);
    EXPECT_EQ(texts_of(watcher.seen()), (std::vector<std::string>{"New Idenifier Name:", kMissing}));
    EXPECT_EQ(names_in_file(), "bank,forum,mailbox,");
    EXPECT_EQ(record_named("forum").stamp, "OTHERBOX");
    EXPECT_TRUE(vault::is_scrambled(vault_bytes()));

    command(IDC_VW_COMMAND2);
    EXPECT_NE(open_viewer(), nullptr);
}

} // namespace
