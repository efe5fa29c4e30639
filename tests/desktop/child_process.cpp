#include "desktop/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace orbel::desktop {

namespace {

constexpr auto Poll = std::chrono::milliseconds(10);
constexpr auto Grace = std::chrono::milliseconds(2000);

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> all;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& x : extra)
            replaced = replaced || x.substr(0, x.find('=')) == name;
        if (!replaced) all.push_back(entry);
    }
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (std::string& s : strings)
        out.push_back(s.data());
    out.push_back(nullptr);
    return out;
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const ChildOptions& options) {
    // Everything the child needs is prepared before the fork: after it only async-signal-safe calls.
    std::vector<std::string> args = argv;
    std::vector<std::string> env = MergedEnvironment(options.environment);
    std::vector<char*> argp = Pointers(args);
    std::vector<char*> envp = Pointers(env);
    const int out = ::open(options.outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::dup2(devNull, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        if (options.inheritFd >= 0) ::dup2(options.inheritFd, 3);
        ::execvpe(argp[0], argp.data(), envp.data());
        ::_exit(127);
    }
    if (pid_ > 0) ::setpgid(pid_, pid_); // either side may win the race
    ::close(out);
    ::close(devNull);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), status_(other.status_) {}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = std::exchange(other.pid_, -1);
        status_ = other.status_;
    }
    return *this;
}

bool ChildProcess::running() {
    if (pid_ <= 0) return false;
    int status = 0;
    const pid_t r = ::waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        ::kill(-pid_, SIGKILL); // what it started goes with it
        pid_ = -1;
        return false;
    }
    return r == 0;
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (running()) {
        if (std::chrono::steady_clock::now() >= end) return -1;
        std::this_thread::sleep_for(Poll);
    }
    return status_;
}

void ChildProcess::stop() {
    if (pid_ <= 0) return;
    ::kill(-pid_, SIGTERM);
    if (waitForExit(Grace) >= 0) return;
    ::kill(-pid_, SIGKILL);
    (void)waitForExit(Grace);
}

std::string RunCommand(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                       std::chrono::milliseconds timeout, int* exitCode) {
    char name[] = "/tmp/orbel-desktop-out-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return {};
    ::close(fd);
    ChildProcess child(argv, {environment, name});
    const int code = child.waitForExit(timeout);
    if (exitCode != nullptr) *exitCode = code;
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(name);
    return code == 0 ? text.str() : std::string{};
}

} // namespace orbel::desktop
