#pragma once
// Starting the kill test's child beside the test program, waiting for its
// "ready" byte, and killing it without warning.
#include <string>
#include <vector>

namespace vault_test {

class ChildProcess {
public:
    // Starts `program` (a file name beside the running test program).
    ChildProcess(const std::string& program, const std::vector<std::string>& args);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Blocks until the child writes its first byte; false if it ended first.
    bool wait_ready();
    // Ends the child at once, as a crash or a power cut would, and reaps it.
    // Returns false when it had already ended by itself.
    bool kill();

private:
#ifdef _WIN32
    void* process_ = nullptr;
    void* output_ = nullptr;
#else
    int pid_ = -1;
    int output_ = -1;
#endif
};

} // namespace vault_test
