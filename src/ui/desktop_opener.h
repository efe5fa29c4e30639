#pragma once
// Opens a file with the desktop's program for it, as a double click in the file manager would, and tells
// when that did not work. Window thread.

#include <QObject>
#include <QString>
#include <functional>

namespace orbel {

// Why a file did not open.
enum class OpenFailure {
    NoProgram, // nothing on this desktop opens files of its kind, or no opener at all
    Failed,    // the program for it was found but gave up
};

class DesktopOpener : public QObject {
    Q_OBJECT

public:
    // failed hears of every file that did not open, with the name given to open().
    explicit DesktopOpener(std::function<void(const QString& name, OpenFailure why)> failed,
                           QObject* parent = nullptr);
    ~DesktopOpener() override;

    // Hands file to the desktop's opener (xdg-open) and returns at once; the answer comes when the opener
    // ends. Without xdg-open, Qt's own way to the desktop is taken, which can only say whether it started.
    void open(const QString& file, const QString& name);

private:
    std::function<void(const QString&, OpenFailure)> failed_;
};

} // namespace orbel
