#pragma once
// What the views show of the study on show: the staff (when it is on) with its titles, the keyboard and the
// circle diagram drawn for the sequence, and where on the views' widget a pitch class's name or a key of the
// keyboard lies, for the presses and the tour.
// Thread: the window's.

#include <QPoint>
#include <optional>

class QWidget;

namespace orbel {

struct CircleDiagram;
struct LogicalScale;
struct ProgramState;
class Prompter;
class StudyController;
class ViewSet;

class StudyViews {
public:
    // window: whose screen the circle is sized for.
    StudyViews(const ProgramState& state, Prompter& prompter, const LogicalScale& scale, ViewSet& views,
               const StudyController& study, const QWidget& window);

    // Draws the staff of the current sequence, when the staff view is on, with the keyboard and the circle.
    void draw();
    // The circle diagram's place and points for the views shown now, and what it shows of the selection.
    CircleDiagram circle() const;

    // In pixels of the views' widget: a pitch class's name on the circle, optionally nudged towards the
    // middle of its text, and the middle of a key of the keyboard (none while the keyboard is hidden).
    QPoint rootNamePoint(int pitchClass, bool nudged) const;
    std::optional<QPoint> keyPoint(int key) const;

private:
    const ProgramState& state_;
    Prompter& prompter_;
    const LogicalScale& scale_;
    ViewSet& views_;
    const StudyController& study_;
    const QWidget& window_;
};

} // namespace orbel
