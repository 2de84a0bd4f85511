// A password or user name copied from the viewer leaves the clipboard a while
// after the copy, unless something else was copied meanwhile. Time moves on
// the program's clock; the clearing is checked four times a second.
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "viewer_test_support.h"

using namespace viewer_test;

namespace {

class ClipboardExpiry : public ViewerTest {
protected:
    // Long enough for the clearing's check to have run more than once.
    static void let_checks_run() { test_support::pump_messages(600); }
    static bool clipboard_empties() {
        return test_support::pump_until([] { return !clipboard_text(); }, 5000);
    }
};

TEST_F(ClipboardExpiry, ACopiedPasswordIsGoneThirtySecondsAfterTheCopy) {
    write_vault(record_text("bank", "www.bank.example", "bob", "S3cret!"));
    open_viewer();
    select_row(0);
    command(IDM_VW_COPY2CLIPBOARD);
    let_checks_run();
    EXPECT_EQ(clipboard_text(), "S3cret!") << "still there a moment after the copy";
    platform::advance_clock(25'000); // with the seconds the test itself takes, short of thirty
    let_checks_run();
    EXPECT_EQ(clipboard_text(), "S3cret!") << "still there shortly before its time";
    platform::advance_clock(5'000);
    EXPECT_TRUE(clipboard_empties());
    EXPECT_NE(viewer(), nullptr) << "the viewer stays open";
}

// What decides is whether the clipboard still holds what the program put there.
TEST_F(ClipboardExpiry, OnlyTheProgramsOwnUntouchedCopyIsCleared) {
    struct Case {
        const char* what;
        const char* user_copy; // copied by another program after ours, if any
        bool copy_again;       // the program copies once more, ten seconds after the first copy
        std::optional<std::string> left;
        bool held_at_the_time; // another program holds the clipboard open when the first copy's time comes
    };
    const Case cases[] = {
        {"untouched", nullptr, false, std::nullopt},
        {"the user copied meanwhile", "my own note", false, "my own note"},
        {"copied again: the later copy keeps its own time", nullptr, true, "second"},
        {"held open elsewhere at its time: cleared once let go", nullptr, false, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(platform::set_clipboard_text(nullptr, "first"), platform::Copy::Made);
        platform::clear_clipboard_later(30'000);
        if (c.user_copy) put_on_clipboard(c.user_copy);
        platform::advance_clock(10'000);
        if (c.copy_again) {
            ASSERT_EQ(platform::set_clipboard_text(nullptr, "second"), platform::Copy::Made);
            platform::clear_clipboard_later(30'000);
        }
        if (c.held_at_the_time) {
            ClipboardHeldElsewhere holder;
            platform::advance_clock(20'000);
            test_support::pump_messages(1500); // the clearing's time and a retry pass meanwhile
        }
        platform::advance_clock(20'000); // the first copy's time, ten seconds before the second's
        if (c.left) {
            let_checks_run();
            EXPECT_EQ(clipboard_text(), c.left);
        } else {
            EXPECT_TRUE(clipboard_empties());
        }
    }
    platform::advance_clock(10'000);
    EXPECT_TRUE(clipboard_empties()) << "the second copy goes at its own time";
}

} // namespace
