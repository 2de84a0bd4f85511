// The load of a large vault lets other events run (the widget's menu stays
// live): what those events do meanwhile must neither crash the viewer nor
// leave the vault plain, damaged or short of a record.
#include "access/entry_password.h"
#include "ui/message_box_reporter.h"
#include "vault/file_system.h"
#include "vault/record_ops.h"
#include "viewer_test_support.h"
#include "widget/menu_host.h"

#include <chrono>
#include <functional>

using test_support::ModalWatcher;
using namespace viewer_test;

namespace {

constexpr int kRecords = 100000;

std::string big_vault_plain() {
    std::string plain;
    plain.reserve(static_cast<std::size_t>(kRecords) * 110);
    char name[16];
    for (int i = 0; i < kRecords; ++i) {
        // Names in an order unlike the file's, so that the sort has work to do.
        std::snprintf(name, sizeof name, "site%06d", (i * 7919) % kRecords);
        plain += record_text(name, std::string("https://") + name + ".example", "user", "pw" + std::to_string(i));
    }
    return plain;
}

// Runs `during` once from the event pumping of the load that open_viewer starts.
std::function<void()> g_during;
void CALLBACK run_during(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (auto during = std::exchange(g_during, nullptr)) during();
}

class ViewerLoadEvents : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        static const std::string plain = big_vault_plain();
        write_vault(plain);
        before_ = vault_bytes();
    }
    void open_with(std::function<void()> during) {
        g_during = std::move(during);
        SetTimer(nullptr, 0, 1, run_during);
        open_viewer();
        ASSERT_FALSE(g_during) << "the load pumped no events";
    }
    std::string before_;
};

TEST_F(ViewerLoadEvents, ExitDuringTheLoadStopsItCleanly) {
    ModalWatcher watcher;
    bool loaded_when_exit_ran = false;
    const auto start = std::chrono::steady_clock::now();
    open_with([&] {
        loaded_when_exit_ran = ui::is_loaded(ui::Window::Viewer);
        widget::run_exit_sequence();
    });
    EXPECT_TRUE(loaded_when_exit_ran);
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_TRUE(watcher.seen().empty());
    EXPECT_EQ(vault_bytes(), before_) << "the vault stays scrambled and whole";
    std::printf(
        "[          ] load closed by the exit sequence after %lld ms\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count()));
}

TEST_F(ViewerLoadEvents, ASecondViewPasswordsDuringTheLoadOpensNothingMore) {
    ModalWatcher watcher;
    watcher.answer_input("marigold");
    bool shown_while_loading = true;
    open_with([&] {
        qlk_access::run_viewer_gate(); // the whole gate: password box, load, show
        shown_while_loading = IsWindowVisible(viewer());
    });
    EXPECT_FALSE(shown_while_loading) << "the half-loaded viewer stays hidden";
    ASSERT_NE(viewer(), nullptr);
    EXPECT_TRUE(IsWindowVisible(viewer()));
    EXPECT_EQ(ListView_GetItemCount(list()), kRecords);
    EXPECT_EQ(cell(0, 0), "site000000");
    EXPECT_EQ(cell(selected_row(), 0), "site000000") << "the first record of the file";
    EXPECT_EQ(texts_of(watcher.seen()), std::vector<std::string>{"Please enter your master entry password"});
    EXPECT_EQ(vault_bytes(), before_);
}

TEST_F(ViewerLoadEvents, ARecordAddedDuringTheLoadSurvivesTheNextRewrite) {
    open_with([] {
        ui::MessageBoxReporter reporter;
        vault::VaultContext context{vault::vault_paths_for_drive(qlk_access::run_state().drive_letter), kStamp,
                                    vault::disk_files(), reporter};
        vault::add_record(context, {"added meanwhile", "https://added.example", "dee", "pa55", "pa55"});
    });
    ASSERT_NE(viewer(), nullptr);
    EXPECT_EQ(ListView_GetItemCount(list()), kRecords) << "the list holds the vault as it was read";
    select_row(0);
    ModalWatcher watcher;
    watcher.answer_input("first renamed");
    command(IDM_VW_RENAME);
    const std::vector<vault::Record> records = vault_records();
    ASSERT_EQ(records.size(), static_cast<std::size_t>(kRecords) + 1);
    EXPECT_EQ(records.front().name, "first renamed");
    EXPECT_EQ(records.back().name, "added meanwhile");
    EXPECT_EQ(records.back().password, "pa55");
    EXPECT_EQ(ListView_GetItemCount(list()), kRecords + 1);
}

// As the owner stepping away closes it: the widget stays, and the gate's show
// step that follows the load must not open the viewer again.
TEST_F(ViewerLoadEvents, ClosingTheViewerFromOutsideDuringTheLoadLeavesItClosed) {
    ASSERT_TRUE(ui::load_window(ui::Window::Widget));
    open_with([] { ui::close_window(ui::Window::Viewer); });
    EXPECT_EQ(viewer(), nullptr);
    EXPECT_EQ(vault_bytes(), before_);
    DestroyWindow(ui::find_window(ui::Window::Widget));
    // And it opens normally afterwards.
    EXPECT_NE(open_viewer(), nullptr);
    EXPECT_EQ(ListView_GetItemCount(list()), kRecords);
}

} // namespace
