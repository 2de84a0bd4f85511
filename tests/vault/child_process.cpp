#include "child_process.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vault_test {

#ifdef _WIN32

namespace {
std::string beside_this_program(const std::string& name) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of("\\/") + 1) + name + ".exe";
}
} // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) throw std::runtime_error("CreatePipe");
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    std::string command = "\"" + beside_this_program(program) + "\"";
    for (const auto& a : args) command += " \"" + a + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started =
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    const DWORD start_error = GetLastError();
    CloseHandle(write_end);
    if (!started) {
        CloseHandle(read_end);
        throw std::runtime_error("CreateProcess " + command + " failed with error " + std::to_string(start_error));
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    output_ = read_end;
}

ChildProcess::~ChildProcess() {
    kill();
    if (output_) CloseHandle(output_);
    if (process_) CloseHandle(process_);
}

bool ChildProcess::wait_ready() {
    char byte = 0;
    DWORD got = 0;
    return ReadFile(output_, &byte, 1, &got, nullptr) && got == 1;
}

bool ChildProcess::kill() {
    if (!process_) return false;
    const bool running = WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
    if (running) TerminateProcess(process_, 9);
    WaitForSingleObject(process_, INFINITE);
    CloseHandle(process_);
    process_ = nullptr;
    return running;
}

#else

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self));
    std::string path(self, length > 0 ? static_cast<std::size_t>(length) : 0);
    path = path.substr(0, path.find_last_of('/') + 1) + program;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        std::vector<char*> argv{path.data()};
        std::vector<std::string> copies(args);
        for (auto& a : copies) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(path.c_str(), argv.data());
        _exit(127);
    }
    close(pipe_ends[1]);
    output_ = pipe_ends[0];
}

ChildProcess::~ChildProcess() {
    kill();
    if (output_ >= 0) close(output_);
}

bool ChildProcess::wait_ready() {
    char byte = 0;
    return read(output_, &byte, 1) == 1;
}

bool ChildProcess::kill() {
    if (pid_ <= 0) return false;
    int status = 0;
    const bool running = waitpid(pid_, &status, WNOHANG) == 0;
    if (running) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, &status, 0);
    }
    pid_ = -1;
    return running;
}

#endif

} // namespace vault_test
