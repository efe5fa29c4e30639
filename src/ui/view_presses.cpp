// Presses on the views: the keyboard's keys and the circle's names.
// Thread: the window's.

#include "ui/view_presses.h"

#include "app/logical_scale.h"
#include "sound/midi1.h"
#include "theory/settings.h"
#include "ui/study_controller.h"
#include "ui/study_views.h"
#include "views/circle_layout.h"
#include "views/circle_view.h"
#include "views/keyboard_layout.h"
#include "views/view_set.h"

#include <cmath>
#include <optional>

namespace orbel {

namespace {

static constexpr int KeyPressVelocity = 127;
// A press on the circle sets the root of the pitch class whose name lies within this many logical units.
static constexpr double CirclePressReach = 500;

} // namespace

ViewPresses::ViewPresses(const LogicalScale& scale, ViewSet& views, const StudyViews& studyViews, Midi1& midi,
                         const Settings& settings, StudyController& study)
    : scale_(scale), views_(views), studyViews_(studyViews), midi_(midi), settings_(settings), study_(study) {
}

void ViewPresses::press(QPointF pixel) {
    soundedKey_ = 0;
    keyHeld_ = false;
    const double x = scale_.pixelToX(pixel.x());
    const double y = scale_.pixelToY(pixel.y());
    if (!views_.keyboardShown() || y > views_.keyboardTop()) {
        pressCircle(x, y);
        return;
    }
    const std::optional<int> key = views_.keyAt(x, y);
    if (!key) return;
    keyHeld_ = true;
    views_.pressKey(*key);
    soundedKey_ = *key;
    const int pitch = *key + keyboard::LowestPitch - 1;
    if (settings_.ConcertPitchPlay) {
        midi_.MidiNoteOnConcert(midi_channels::Melody, pitch, KeyPressVelocity);
    } else {
        midi_.MidiNoteOn(midi_channels::Melody, pitch, KeyPressVelocity);
    }
    study_.keyPressed(pitch);
}

void ViewPresses::pressCircle(double x, double y) {
    // The pitch class whose name lies nearest, when one is near enough; a stray press leaves the root.
    const CircleGeometry points = studyViews_.circle().points;
    for (int pc = 0; pc < 12; ++pc) {
        const auto p = static_cast<std::size_t>(pc);
        const double dx = points[circle_sets::NameX][p] - x;
        const double dy = points[circle_sets::NameY][p] - y;
        if (std::sqrt(dx * dx + dy * dy) >= CirclePressReach) continue;
        study_.rootChosen(pc);
        return;
    }
}

void ViewPresses::release() {
    if (keyHeld_) {
        views_.DrawKeys();
        if (soundedKey_ != 0) midi_.MidiAllNotesOff(midi_channels::Melody);
    }
    study_.keyReleased(soundedKey_ != 0);
    keyHeld_ = false;
}

} // namespace orbel
