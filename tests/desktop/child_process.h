#pragma once
// A program the desktop tests start: its own process group, its output in a file, ended (with everything it
// started) when the object goes.

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace orbel::desktop {

struct ChildOptions {
    std::vector<std::string> environment; // NAME=value, added to the test's own
    std::string outputFile = "/dev/null"; // standard output and error
    int inheritFd = -1;                   // passed on as descriptor 3 (Xvfb's -displayfd)
};

class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options = {});
    ~ChildProcess() { stop(); }
    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) noexcept;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The exit status once it has ended within timeout, else -1.
    int waitForExit(std::chrono::milliseconds timeout);
    // Terminates the group, then kills what is left after a grace period.
    void stop();

private:
    pid_t pid_ = -1;
    int status_ = -1;
};

// Runs a command to its end; its standard output, or nothing when it failed or outlasted timeout.
std::string RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                       std::chrono::milliseconds timeout = std::chrono::seconds(10), int* exitCode = nullptr);

} // namespace orbel::desktop
