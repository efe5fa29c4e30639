#pragma once
// Window thread. What the demonstration tour needs of the main window: the window itself (placed, raised,
// the parent of the tour), its controls by role, the points of the views it presses, the play state, and
// the windows the menus open. The tour knows the main window only through this.

#include "ui/control_names.h"

#include <QPoint>
#include <optional>

class QDialog;
class QWidget;

namespace orbel {

class Midi1;
class SettingsModel;
class settei;

class TourHost {
public:
    TourHost() = default;
    virtual ~TourHost() = default;
    TourHost(const TourHost&) = delete;
    TourHost& operator=(const TourHost&) = delete;

    virtual QWidget& window() = 0;
    // The control of a role, or null.
    virtual QWidget* control(Control role) const = 0;
    // The views' widget, and points on it in its pixels: a note name on the circle (optionally nudged
    // towards the middle of its text), a key of the keyboard view (none while the keyboard is hidden).
    virtual QWidget* surface() const = 0;
    virtual std::optional<QPoint> rootNamePoint(int pitchClass, bool nudged) const = 0;
    virtual std::optional<QPoint> keyPoint(int key) const = 0;

    virtual Midi1& midi() = 0;
    // Waits until the player has sent its last message and takes in everything it said.
    virtual void waitForPlayer() = 0;
    virtual bool playerBusy() const = 0;
    // While set, the play button plays one repetition whatever "繰り返す" says.
    virtual void setPlayButtonPlaysOnce(bool once) = 0;
    virtual void setClickSound(int entry) = 0;
    // The run's settings, for "次回から表示しない".
    virtual SettingsModel& settingsModel() = 0;

    // The windows the menus and buttons open; a second request brings the open one forward.
    virtual QDialog* showSoundSwitches() = 0;
    virtual settei* showSoundSettings() = 0;
    virtual QDialog* showColourSettings() = 0;
};

// Opens the tour over host's window, offering it and greeting the user; the user's "次回から表示しない"
// goes to host's settings.
QDialog* OpenTour(TourHost& host);

} // namespace orbel
