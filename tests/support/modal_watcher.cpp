#include "modal_watcher.h"

#include "platform/text.h"
#include "ui/window_registry.h"

#include <chrono>

namespace test_support {
namespace {

constexpr int kMessageTextId = 0xFFFF; // the text of a message box
constexpr int kInputPromptId = 101;
constexpr int kInputTextId = 102;

std::string text_of(HWND window) {
    wchar_t buffer[2048] = {};
    GetWindowTextW(window, buffer, 2048);
    return platform::to_ansi(buffer);
}

struct FindState {
    std::vector<HWND> boxes;
};

BOOL CALLBACK collect_box(HWND window, LPARAM lparam) {
    wchar_t class_name[16] = {};
    GetClassNameW(window, class_name, 16);
    if (std::wstring(class_name) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<FindState*>(lparam)->boxes.push_back(window);
    return TRUE;
}

} // namespace

ModalWatcher::ModalWatcher() : ui_thread_(GetCurrentThreadId()), thread_([this] { run(); }) {}

ModalWatcher::~ModalWatcher() {
    stop_ = true;
    thread_.join();
}

void ModalWatcher::answer(Answer a) {
    std::lock_guard lock(mutex_);
    answers_.push_back(std::move(a));
}

std::vector<SeenBox> ModalWatcher::seen() {
    std::lock_guard lock(mutex_);
    return seen_;
}

void ModalWatcher::clear_seen() {
    std::lock_guard lock(mutex_);
    seen_.clear();
}

void ModalWatcher::run() {
    while (!stop_) {
        if (!answer_one()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool ModalWatcher::answer_one() {
    FindState state;
    EnumThreadWindows(ui_thread_, collect_box, reinterpret_cast<LPARAM>(&state));
    for (HWND box : state.boxes) {
        const bool message_box = GetDlgItem(box, kMessageTextId) != nullptr;
        const bool input_box = GetDlgItem(box, kInputTextId) != nullptr && GetDlgItem(box, kInputPromptId) != nullptr;
        if (!message_box && !input_box) continue;
        // Give the box a moment to finish its own set-up before it is answered.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        Answer a;
        {
            std::lock_guard lock(mutex_);
            const bool types_nothing =
                !answers_.empty() && answers_.front().type_text.empty() && answers_.front().type_wide.empty();
            if (!answers_.empty() && (input_box || types_nothing)) {
                a = answers_.front();
                answers_.pop_front();
            }
            const wchar_t mask =
                input_box ? static_cast<wchar_t>(SendDlgItemMessageW(box, kInputTextId, EM_GETPASSWORDCHAR, 0, 0)) : 0;
            seen_.push_back(
                {text_of(box), text_of(GetDlgItem(box, message_box ? kMessageTextId : kInputPromptId)), mask});
        }
        if (input_box) {
            const std::wstring typed = a.type_wide.empty() ? platform::to_wide(a.type_text) : a.type_wide;
            SetWindowTextW(GetDlgItem(box, kInputTextId), typed.c_str());
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(a.button, BN_CLICKED), 0);
        // Wait for the box to go, so that it is answered once.
        for (int i = 0; i < 500 && IsWindow(box) && IsWindowVisible(box); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return true;
    }
    return false;
}

void pump_messages(int milliseconds, Dispatch dispatch) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    MSG message;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (dispatch == Dispatch::AsTheProgram && ui::translate_for_windows(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    }
}

bool pump_until(const std::function<bool()>& done, int limit_ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        pump_messages(10);
    }
    return true;
}

} // namespace test_support
