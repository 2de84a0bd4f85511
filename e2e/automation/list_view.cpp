// Rows and column headers of a list view in another process. The list view
// messages carry pointers, which the system does not carry across processes:
// the item structure and the text buffer live in memory allocated in the
// target process and are copied back with ReadProcessMemory.
#include "automation.h"

#include <commctrl.h>

namespace qlk_auto {
namespace {

constexpr size_t kTextChars = 4096;

class RemoteBuffer {
public:
    explicit RemoteBuffer(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            base_ =
                static_cast<char*>(VirtualAllocEx(process_, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteBuffer() {
        if (base_) VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return base_ != nullptr; }
    // The first part holds the structure, the rest the text.
    char* item() const { return base_; }
    wchar_t* text() const { return reinterpret_cast<wchar_t*>(base_ + kItemBytes); }

    template <typename T> bool put(const T& value) {
        return WriteProcessMemory(process_, base_, &value, sizeof value, nullptr);
    }
    template <typename T> bool get(T* value) const {
        return ReadProcessMemory(process_, base_, value, sizeof *value, nullptr);
    }
    std::wstring read_text() const {
        std::wstring text(kTextChars, L'\0');
        if (!ReadProcessMemory(process_, this->text(), text.data(), kTextChars * sizeof(wchar_t), nullptr)) return {};
        text.resize(wcsnlen(text.c_str(), kTextChars));
        return text;
    }

private:
    static constexpr size_t kItemBytes = 256;
    static constexpr size_t kSize = kItemBytes + kTextChars * sizeof(wchar_t);
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
};

LRESULT send(HWND control, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, message, wparam, lparam, SMTO_ABORTIFHUNG, 5000, &result);
    return static_cast<LRESULT>(result);
}

int column_count(HWND list) {
    HWND header = reinterpret_cast<HWND>(send(list, LVM_GETHEADER, 0, 0));
    const int count = header ? static_cast<int>(send(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    return count > 0 ? count : 1;
}

std::wstring cell_text(HWND list, RemoteBuffer& remote, int row, int column) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = remote.text();
    item.cchTextMax = static_cast<int>(kTextChars);
    if (!remote.put(item)) return {};
    send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.item()));
    return remote.read_text();
}

std::wstring column_title(HWND list, RemoteBuffer& remote, int column) {
    LVCOLUMNW info{};
    info.mask = LVCF_TEXT;
    info.pszText = remote.text();
    info.cchTextMax = static_cast<int>(kTextChars);
    if (!remote.put(info)) return {};
    if (!send(list, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(remote.item()))) return {};
    return remote.read_text();
}

} // namespace

int cmd_list_view(const std::wstring& command, Context& context, HWND window) {
    const int id = context.args.empty() ? -1 : parse_int(context.args[0]);
    HWND list = id < 0 ? nullptr : find_control(window, id);
    if (!list) return fail(kNotFound, "no list view with that id");
    RemoteBuffer remote(window);
    if (!remote.ok()) return fail(kFailed, "cannot reach the list's process");

    if (command == L"lvlook") {
        // The row height follows the list's font.
        RECT row{LVIR_BOUNDS, 0, 0, 0};
        if (!remote.put(row) || !send(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(remote.item())) ||
            !remote.get(&row))
            row = RECT{};
        write_line("text " + std::to_string(send(list, LVM_GETTEXTCOLOR, 0, 0)) + " back " +
                   std::to_string(send(list, LVM_GETBKCOLOR, 0, 0)) + " row " + std::to_string(row.bottom - row.top));
        return kOk;
    }
    const int columns = column_count(list);
    if (command == L"lvcols") {
        for (int c = 0; c < columns; ++c) write_line(escape(column_title(list, remote, c)));
        return kOk;
    }
    const int rows = static_cast<int>(send(list, LVM_GETITEMCOUNT, 0, 0));
    for (int r = 0; r < rows; ++r) {
        const bool selected = send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(r), LVIS_SELECTED) & LVIS_SELECTED;
        std::string line = std::to_string(r) + "\t" + (selected ? "1" : "0");
        for (int c = 0; c < columns; ++c) line += "\t" + escape(cell_text(list, remote, r, c));
        write_line(line);
    }
    return kOk;
}

} // namespace qlk_auto
