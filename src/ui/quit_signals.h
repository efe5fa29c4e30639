#pragma once
// Window thread. SIGTERM (a desktop session's log-out), SIGINT (Ctrl+C in a terminal) and SIGHUP (the
// terminal closed) quit the trainer as 終了 does, saving what the session changed, instead of ending it at
// once: the handler only writes a byte into a pipe, and the window's event loop reads it.

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace orbel {

class QuitSignals final : public QObject {
public:
    // quit runs on the window's thread after one of the signals arrived. On failure (no pipe) the signals
    // keep their default action, and problem() says why.
    explicit QuitSignals(std::function<void()> quit);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

    const QString& problem() const { return problem_; }

private:
    std::function<void()> quit_;
    int readFd_ = -1;
    int writeFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    QString problem_;
};

} // namespace orbel
