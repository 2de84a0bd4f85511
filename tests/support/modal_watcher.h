#pragma once
// Answers the modal boxes that the window under test opens on its own thread,
// as a user would: reads the box, types into an input box, presses a button.
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test_support {

struct Answer {
    std::string type_text; // typed into an input box before the button is pressed
    int button = IDOK;
    std::wstring type_wide; // typed instead when given: characters of any code page
};

struct SeenBox {
    std::string title;
    std::string text; // the message, or the input box's prompt
    wchar_t mask = 0; // the character an input box shows for each typed one (0: the text itself)
};

class ModalWatcher {
public:
    // Watches the calling thread's windows.
    ModalWatcher();
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

    // Queues answers for the next boxes, in order; a box beyond them gets OK.
    void answer(Answer a);
    void answer_input(const std::string& text) { answer({text, IDOK}); }
    void answer_input(const std::wstring& text) { answer({"", IDOK, text}); }
    void cancel_input() { answer({"", IDCANCEL}); }

    std::vector<SeenBox> seen();
    void clear_seen();

private:
    void run();
    bool answer_one();

    DWORD ui_thread_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::deque<Answer> answers_;
    std::vector<SeenBox> seen_;
    std::thread thread_;
};

// How pump_messages hands on each message it takes.
enum class Dispatch {
    Plain,        // straight to its window
    AsTheProgram, // first to the open windows' shortcuts and dialog keys, as the program's loop does
};

// Runs the window messages of this thread for a while (for timers, posts, repaints and keys).
void pump_messages(int milliseconds = 50, Dispatch dispatch = Dispatch::Plain);

// Runs them until `done` holds, checking after each round of messages, for at
// most `limit_ms`; whether it held. For what ends on a timer or a post: the
// wait lasts as long as the event takes, not as long as the worst case.
bool pump_until(const std::function<bool()>& done, int limit_ms = 10'000);

} // namespace test_support
