#pragma once
// Shared by the viewer's window tests: a vault on the test's own drive, the
// viewer opened as the gate opens it, and its list and clipboard read back as
// a user would see them.
#include "access/run_state.h"
#include "ui/window_registry.h"
#include "modal_watcher.h"
#include "platform/text.h"
#include "platform/window.h"
#include "resource_ids.h"
#include "vault/cipher.h"
#include "vault/record.h"
#include "vault/vault_format.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace viewer_test {

constexpr char kStamp[] = "QLKVIEWBOX";
constexpr char kRejected[] =
    "It has been detected that you're useing a password data file that was generated on a different computer "
    "system OR the password file is vacant of any data - this screen will exit due to security issues.";
constexpr char kMissing[] = "ERROR: no password data file found.";

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// One record as the vault's plain text holds it.
inline std::string record_text(const std::string& name, const std::string& url, const std::string& user,
                               const std::string& password, const std::string& stamp = kStamp) {
    return "NAM:" + name + "\r\nURL:" + url + "\r\nUSE:" + user + "\r\nPAS:" + password + "\r\nIDN:" + stamp + "\r\n";
}

// A row of LV as the control shows it: the four column texts.
struct Shown {
    std::string name, url, user, password;
    bool operator==(const Shown&) const = default;
};

class ViewerTest : public testing::Test {
protected:
    void SetUp() override {
        qlk_access::run_state().computer_name = kStamp;
        qlk_access::set_drive_letter_from_program_folder();
        qlk_access::ensure_data_folder();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillock");
        remove_files();
    }
    void TearDown() override {
        for (auto window : {ui::Window::Viewer, ui::Window::AddEntry})
            if (HWND hwnd = ui::find_window(window)) DestroyWindow(hwnd);
        test_support::pump_messages(20);
        remove_files();
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quillock");
    }
    static void remove_files() {
        for (const std::string& path : {qlk_access::vault_file_path(), qlk_access::print_file_path()}) {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            RemoveDirectoryA(path.c_str());
        }
    }

    // Writes the plain records scrambled, as the vault lies at rest.
    static void write_vault(const std::string& plain) {
        std::string scrambled = plain;
        vault::scramble_in_place(scrambled);
        write_bytes(qlk_access::vault_file_path(), scrambled);
    }
    static std::string vault_bytes() { return read_bytes(qlk_access::vault_file_path()); }
    static std::string vault_plain() { return vault::decryption_pass(vault_bytes()); }
    static std::vector<vault::Record> vault_records() { return vault::parse_records(vault_bytes()); }

    // What the gate does once the password is right: load, then show.
    static HWND open_viewer() {
        ui::load_window(ui::Window::Viewer);
        ui::show_window(ui::Window::Viewer);
        test_support::pump_messages(20);
        return ui::find_window(ui::Window::Viewer);
    }
    static HWND viewer() { return ui::find_window(ui::Window::Viewer); }
    static HWND list() { return GetDlgItem(viewer(), IDC_VW_LV); }

    static void command(int id) { SendMessageW(viewer(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    // A cell's text as far as the list draws it: it asks for 260 characters.
    static std::string cell(int row, int column) {
        wchar_t buffer[260] = {};
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer;
        item.cchTextMax = 260;
        SendMessageW(list(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return platform::to_ansi(buffer);
    }
    static std::vector<Shown> shown_rows() {
        std::vector<Shown> rows;
        const int count = ListView_GetItemCount(list());
        for (int i = 0; i < count; ++i) rows.push_back({cell(i, 0), cell(i, 1), cell(i, 2), cell(i, 3)});
        return rows;
    }
    static int selected_row() { return ListView_GetNextItem(list(), -1, LVNI_SELECTED); }
    // Selects a row as a click on it does.
    static void select_row(int row) {
        ListView_SetItemState(list(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        if (row >= 0) ListView_SetItemState(list(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
    static std::string toggle_caption() { return platform::item_text(viewer(), IDC_VW_COMMAND3); }

    // The clipboard as another program reads it: CF_TEXT, or nullopt when empty.
    static std::optional<std::string> clipboard_text() {
        if (!OpenClipboard(nullptr)) return "<clipboard not available>";
        std::optional<std::string> text;
        if (HANDLE data = GetClipboardData(CF_TEXT)) {
            if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
                text = bytes;
                GlobalUnlock(data);
            }
        }
        CloseClipboard();
        return text;
    }
    static int clipboard_format_count() { return CountClipboardFormats(); }
    static void put_on_clipboard(const std::string& text) {
        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
        memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
        GlobalUnlock(memory);
        SetClipboardData(CF_TEXT, memory);
        CloseClipboard();
    }

    static std::vector<std::string> texts_of(const std::vector<test_support::SeenBox>& boxes) {
        std::vector<std::string> texts;
        for (const auto& box : boxes) texts.push_back(box.text);
        return texts;
    }
};

// Another program holds the clipboard open, from a thread of its own, while this lives.
class ClipboardHeldElsewhere {
public:
    ClipboardHeldElsewhere() {
        while (!held_) Sleep(5);
    }
    ~ClipboardHeldElsewhere() {
        release_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> held_{false}, release_{false};
    std::thread thread_{[this] {
        HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        const bool opened = OpenClipboard(owner);
        held_ = true;
        while (!release_) Sleep(5);
        if (opened) CloseClipboard();
        DestroyWindow(owner);
    }};
};

} // namespace viewer_test
