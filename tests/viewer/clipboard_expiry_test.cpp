// A password or user name copied from the viewer leaves the clipboard a while
// after the copy, unless something else was copied meanwhile.
#include "platform/clipboard.h"
#include "viewer_test_support.h"

using namespace viewer_test;

namespace {

class ClipboardExpiry : public ViewerTest {};

TEST_F(ClipboardExpiry, ACopiedPasswordIsGoneThirtySecondsAfterTheCopy) {
    write_vault(record_text("bank", "www.bank.example", "bob", "S3cret!"));
    open_viewer();
    select_row(0);
    command(IDM_VW_COPY2CLIPBOARD);
    test_support::pump_messages(1000);
    EXPECT_EQ(clipboard_text(), "S3cret!") << "still there a moment after the copy";
    test_support::pump_messages(30'500);
    EXPECT_EQ(clipboard_text(), std::nullopt);
    EXPECT_NE(viewer(), nullptr) << "the viewer stays open";
}

// The same clearing with short delays: what decides is whether the clipboard
// still holds what the program put there.
TEST_F(ClipboardExpiry, OnlyTheProgramsOwnUntouchedCopyIsCleared) {
    struct Case {
        const char* what;
        const char* user_copy; // copied by another program after ours, if any
        bool copy_again;       // the program copies once more before the first clearing
        std::optional<std::string> left;
    };
    const Case cases[] = {
        {"untouched", nullptr, false, std::nullopt},
        {"the user copied meanwhile", "my own note", false, "my own note"},
        {"copied again: the later copy keeps its own time", nullptr, true, "second"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(platform::set_clipboard_text(nullptr, "first"));
        platform::clear_clipboard_later(300);
        if (c.user_copy) put_on_clipboard(c.user_copy);
        if (c.copy_again) {
            ASSERT_TRUE(platform::set_clipboard_text(nullptr, "second"));
            platform::clear_clipboard_later(5000);
        }
        test_support::pump_messages(1500); // well past the first clearing, well before the second
        EXPECT_EQ(clipboard_text(), c.left);
    }
    test_support::pump_messages(4000);
    EXPECT_EQ(clipboard_text(), std::nullopt) << "the second copy goes at its own time";
}

} // namespace
