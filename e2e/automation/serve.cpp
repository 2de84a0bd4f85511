// Serve mode: one long-lived helper per scenario. A Wine process start costs
// 0.1 to 0.5 s on a busy machine, a command here a few milliseconds.
#include "automation.h"

#include <cstdlib>

namespace qlk_auto {
namespace {

class LineReader {
public:
    // False at the end of the input.
    bool next(std::string *line) {
        for (;;) {
            const size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                *line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                if (!line->empty() && line->back() == '\r')
                    line->pop_back();
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

std::wstring from_utf8(const std::string &text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, result.data(), length);
    return result;
}

// The reverse of escape() for \\, \r, \n and \t.
std::wstring unescape(const std::wstring &text) {
    std::wstring result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        switch (text[++i]) {
        case L'r':
            result += L'\r';
            break;
        case L'n':
            result += L'\n';
            break;
        case L't':
            result += L'\t';
            break;
        default:
            result += text[i];
        }
    }
    return result;
}

} // namespace

int serve() {
    set_serve_mode(true);
    LineReader input;
    std::string line;
    while (input.next(&line)) {
        const int count = std::atoi(line.c_str());
        std::vector<std::wstring> argv;
        bool complete = true;
        for (int i = 0; i < count && (complete = input.next(&line)); ++i)
            argv.push_back(unescape(from_utf8(line)));
        if (!complete)
            break;
        if (argv.size() == 1 && argv[0] == L"quit")
            break;
        const int code = run_command(argv);
        write_result(code);
    }
    return kOk;
}

} // namespace qlk_auto
