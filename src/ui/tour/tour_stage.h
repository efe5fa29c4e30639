#pragma once
// What the demonstration tour does to the main window: it points at a control (moving the desktop's
// pointer where the desktop allows it, and always showing its marker), blinks the frame around it, clicks
// it as a user would, and sets lists and check boxes so that their change handlers run as for a user.

#include "ui/control_names.h"

#include <QPoint>
#include <QPointer>
#include <QString>
#include <optional>
#include <variant>

class QDialog;
class QWidget;

namespace orbel {

class TourHost;
class TourMarker;

// Something the tour points at: a control of the main window by name, a note name on the circle (a pitch
// class, optionally nudged towards the middle of its text), or a key of the keyboard view.
struct ControlTarget {
    Control role;
};
struct RootNameTarget {
    int pitchClass;
    bool nudged;
};
struct KeyTarget {
    int key;
};
using TourTarget = std::variant<ControlTarget, RootNameTarget, KeyTarget>;

namespace tour_targets {
static constexpr ControlTarget PlayButton{Control::PlayButton};
} // namespace tour_targets

namespace tour_frames {
static constexpr int None = 0; // 1, 2, 3: the main window's frames Frame1..Frame3
} // namespace tour_frames

class TourStage {
public:
    explicit TourStage(TourHost& host);
    ~TourStage();
    TourStage(const TourStage&) = delete;
    TourStage& operator=(const TourStage&) = delete;

    TourHost& host() { return host_; }

    // Where the main window stands now; restorePlace puts it back there and gives it the focus.
    void recordPlace();
    void restorePlace();

    // Gives the main window the focus and shows the marker at the target, with the pointer there too when
    // the desktop lets programs move it.
    void pointAt(const TourTarget& target);
    // One step of a blink: the frame shown and the marker hidden, or the other way round.
    void blink(int frame, bool frameShown);
    void fillMarker(bool filled);
    void hideMarker();
    // A press and release of the left button on the target, delivered to the control under it.
    void click(const TourTarget& target);
    // The play button clicked for one play-through, whatever "繰り返す" says; what played before stops.
    void clickPlay();

    // Both stop a performance first, as a user must: the lists are closed while it plays, and a new root
    // is shown on the study it belongs to.
    void setList(Control list, int index);
    void setCheck(Control box, bool on);

    // Whether this desktop lets a program move the pointer (not on Wayland or without a screen).
    static bool CanMovePointer();

    // Everything the tour changed in passing comes back: frames shown, marker hidden, buttons enabled.
    void tidyUp();
    // Buttons of a dialog the tour shows are held off while it explains; tidyUp enables them again.
    void holdButtons(QDialog* dialog, bool held);

private:
    void stopPlaying();
    // The control under a target, and the point within it.
    std::optional<std::pair<QWidget*, QPoint>> locate(const TourTarget& target);

    TourHost& host_;
    QWidget& window_;
    TourMarker* marker_;
    QPoint place_;
    std::vector<QPointer<QWidget>> held_;
};

} // namespace orbel
