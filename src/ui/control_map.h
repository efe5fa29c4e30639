#pragma once
// Window thread. Where every named control is on the screen, written to a file for programs that drive the
// trainer from outside (the desktop acceptance tests click controls by name, as a user would with the
// mouse). Only when ORBEL_CONTROL_MAP names the file; the trainer itself never reads it.

#include <QObject>
#include <QString>
#include <QTimer>

namespace orbel {

namespace control_map {
static constexpr const char* PathVariable = "ORBEL_CONTROL_MAP";
} // namespace control_map

class ControlMap final : public QObject {
public:
    // Watches every window of the application and rewrites path a moment after any of them is shown,
    // hidden, moved or resized.
    explicit ControlMap(QString path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void write() const;

    QString path_;
    QTimer settle_;
};

} // namespace orbel
