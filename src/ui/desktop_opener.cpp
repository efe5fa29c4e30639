#include "ui/desktop_opener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace orbel {

namespace {

static constexpr const char* Opener = "xdg-open";
// xdg-open's answer when no program opens the file's kind (or a tool it needs is missing).
static constexpr int OpenerFoundNoProgram = 3;
// An opener that is still running when the trainer ends is left to itself within this time.
static constexpr int EndWaitMs = 100;

} // namespace

DesktopOpener::DesktopOpener(std::function<void(const QString&, OpenFailure)> failed, QObject* parent)
    : QObject(parent), failed_(std::move(failed)) {}

DesktopOpener::~DesktopOpener() {
    // The opener may wait for the program it started; that program stays open, only the wait ends.
    for (QProcess* process : findChildren<QProcess*>(Qt::FindDirectChildrenOnly)) {
        process->disconnect(this);
        process->kill();
        process->waitForFinished(EndWaitMs);
    }
}

void DesktopOpener::open(const QString& file, const QString& name) {
    auto* process = new QProcess(this);
    // Nothing is read from the opener or the program it starts: their output goes where ours goes.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    connect(process, &QProcess::finished, this, [this, process, name](int code, QProcess::ExitStatus status) {
        process->deleteLater();
        if (status == QProcess::NormalExit && code == 0) return;
        if (failed_)
            failed_(name, status == QProcess::NormalExit && code == OpenerFoundNoProgram
                              ? OpenFailure::NoProgram
                              : OpenFailure::Failed);
    });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, file, name](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) return;
                process->deleteLater();
                if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)) && failed_)
                    failed_(name, OpenFailure::NoProgram);
            });
    process->start(QString::fromLatin1(Opener), {file});
}

} // namespace orbel
