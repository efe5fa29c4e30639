#pragma once
// Presses on the views: a key of the keyboard view sounds while it is held (and sets the root at the
// release when the keyboard sets it), and a press near a pitch class's name on the circle makes it the root.
// Thread: the window's.

#include <QPointF>

namespace orbel {

struct LogicalScale;
struct Settings;
class Midi1;
class StudyController;
class StudyViews;
class ViewSet;

class ViewPresses {
public:
    ViewPresses(const LogicalScale& scale, ViewSet& views, const StudyViews& studyViews, Midi1& midi,
                const Settings& settings, StudyController& study);

    // A press and its release on the views' widget, at a point in its pixels.
    void press(QPointF pixel);
    void release();

private:
    void pressCircle(double x, double y);

    const LogicalScale& scale_;
    ViewSet& views_;
    const StudyViews& studyViews_;
    Midi1& midi_;
    const Settings& settings_;
    StudyController& study_;
    // The key sounded by the press being held (0 none), and whether a press hit a key.
    int soundedKey_ = 0;
    bool keyHeld_ = false;
};

} // namespace orbel
