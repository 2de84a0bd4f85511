// Serve mode: one long-lived helper per scenario. A Wine process start costs
// 0.1 to 0.5 s on a busy machine, a command here a few milliseconds.
// A command is a line with the number of its arguments, then each argument
// escaped (escaping.cpp) on a line of its own; the answer is the command's
// output and error lines, tagged "o " and "e ", and "r CODE".
#include "automation.h"

#include <cstdlib>

namespace qlk_auto {
namespace {

class LineReader {
public:
    // False at the end of the input.
    bool next(std::string* line) {
        for (;;) {
            const size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                *line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                if (!line->empty() && line->back() == '\r') line->pop_back();
                return true;
            }
            char chunk[4096];
            DWORD read = 0;
            if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), chunk, sizeof chunk, &read, nullptr) || read == 0)
                return false;
            buffer_.append(chunk, read);
        }
    }

private:
    std::string buffer_;
};

} // namespace

int serve() {
    set_serve_mode(true);
    LineReader input;
    std::string line;
    while (input.next(&line)) {
        const int count = std::atoi(line.c_str());
        std::vector<std::wstring> argv;
        bool complete = true;
        for (int i = 0; i < count && (complete = input.next(&line)); ++i) argv.push_back(unescape(from_utf8(line)));
        if (!complete) break;
        if (argv.size() == 1 && argv[0] == L"quit") break;
        const int code = run_command(argv);
        write_result(code);
    }
    return kOk;
}

} // namespace qlk_auto
