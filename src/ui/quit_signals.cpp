#include "ui/quit_signals.h"

#include <QSocketNotifier>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orbel {

namespace {

constexpr std::array<int, 3> QuitSignalNumbers{SIGTERM, SIGINT, SIGHUP};

// A signal handler can reach the program only through something global; this is the one such thing, the
// pipe's writing end while a QuitSignals lives.
std::atomic<int> PipeToWindow{-1};

void OnQuitSignal(int) {
    const int saved = errno;
    const int fd = PipeToWindow.load();
    const char byte = 1;
    if (fd >= 0) (void)!::write(fd, &byte, 1);
    errno = saved;
}

} // namespace

QuitSignals::QuitSignals(std::function<void()> quit) : quit_(std::move(quit)) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        problem_ = QStringLiteral("No pipe for the quit signals: %1.")
                       .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    readFd_ = fds[0];
    writeFd_ = fds[1];
    PipeToWindow.store(writeFd_);
    notifier_ = new QSocketNotifier(readFd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(readFd_, bytes, sizeof bytes) > 0) {
        }
        if (quit_) quit_();
    });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : QuitSignalNumbers)
        if (::sigaction(number, &action, nullptr) != 0)
            problem_ = QStringLiteral("Signal %1 keeps its default action: %2.")
                           .arg(number)
                           .arg(QString::fromLocal8Bit(std::strerror(errno)));
}

QuitSignals::~QuitSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int number : QuitSignalNumbers)
        (void)::sigaction(number, &action, nullptr);
    PipeToWindow.store(-1);
    if (readFd_ >= 0) ::close(readFd_);
    if (writeFd_ >= 0) ::close(writeFd_);
}

} // namespace orbel
