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
    QPoint centre() const { return rect.center(); }
};

class TrainerRun {
public:
    // settings: field assignments ("Tempo=140") applied to the factory record before the start.
    TrainerRun(Desktop& desktop, std::initializer_list<const char*> settings = {});
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
    // Clicks it; false when it is not there.
    bool click(const QString& name) const;
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
