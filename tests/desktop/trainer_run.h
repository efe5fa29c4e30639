#pragma once
// The built trainer started on a test desktop as a user starts it, from a fresh program folder of the
// factory files; controls are found by name in the map the trainer writes, and pressed with the mouse.

#include "desktop/child_process.h"
#include "desktop/desktop.h"

#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace orbel::desktop {

// One line of the trainer's MIDI log.
struct LoggedMessage {
    std::int64_t micros;
    int status, data1, data2;
};

// A control as the trainer's map places it on the screen.
struct Control {
    QRect rect;
    QString caption;
    QString state; // "checked" or "unchecked" for a check box; ",focus" added where the focus is
    QPoint centre() const { return rect.center(); }
    // Where a user clicks it: a check box on its box, for its caption may end before the middle.
    QPoint target() const {
        const bool checkable =
            state.startsWith(QStringLiteral("checked")) || state.startsWith(QStringLiteral("unchecked"));
        return checkable ? QPoint(rect.left() + rect.height() / 2, rect.center().y()) : centre();
    }
};

// How the trainer is started.
struct TrainerStart {
    std::vector<std::string> settings;    // field assignments ("Tempo=140") on the factory record
    std::vector<std::string> environment; // NAME=value for the trainer's process
    bool noSettingsFile = false;          // a first start: no cfg.infdat in the program folder
};

class TrainerRun {
public:
    TrainerRun(Desktop& desktop, const TrainerStart& start);
    // settings: field assignments ("Tempo=140") applied to the factory record before the start.
    TrainerRun(Desktop& desktop, std::initializer_list<const char*> settings = {})
        : TrainerRun(desktop, TrainerStart{{settings.begin(), settings.end()}, {}, false}) {}
    ~TrainerRun();
    TrainerRun(const TrainerRun&) = delete;
    TrainerRun& operator=(const TrainerRun&) = delete;

    // True once the main window is on the screen with its controls.
    bool started() const { return started_; }
    Desktop& desktop() { return desktop_; }
    QString folder() const { return folder_.path(); }

    // The control named "window/name" (or "menubar/…", "menu/…"), once it is shown (within timeout).
    std::optional<Control> control(const QString& name,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;
    // The names of the trainer's windows on the screen (its main window "frmMain" among them).
    QStringList windows() const;
    // The captions of every control of a window (by the window's name), its own title first.
    QStringList captions(const QString& window) const;
    // Clicks it; false when it is not there.
    bool click(const QString& name) const;
    // Clicks it once it is there and enabled (a button that waits for something first).
    bool clickWhenEnabled(const QString& name, std::chrono::milliseconds timeout) const;
    // Opens a menu by its title, then clicks an entry of it.
    bool menu(const QString& menuName, const QString& entryName) const;
    // Picks an entry of a list box by index, with the keyboard of its opened list.
    bool choose(const QString& comboName, int index) const;

    // The main window's frame on the screen, as the window manager has it.
    QRect frame() const;
    std::vector<LoggedMessage> midiLog() const;
    bool running() { return process_.running(); }
    // Ends the trainer as a user does (its window's close), or by force after a grace period.
    void quit();

private:
    Desktop& desktop_;
    QTemporaryDir folder_;
    ChildProcess process_;
    bool started_ = false;
};

} // namespace orbel::desktop
