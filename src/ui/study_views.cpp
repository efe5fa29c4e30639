// What the views show of the study on show, and where its names and keys lie on the screen.
// Thread: the window's.

#include "ui/study_views.h"

#include "app/logical_scale.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/window_sizing.h"
#include "theory/kihon.h"
#include "theory/prepare_build.h"
#include "ui/study_controller.h"
#include "views/circle_content.h"
#include "views/circle_layout.h"
#include "views/circle_view.h"
#include "views/staff_layout.h"
#include "views/view_set.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace orbel {

namespace {

// The colour swatches of the keyboard: the keys of the sequence, and the key being played.
namespace swatch {
static constexpr std::size_t KeyboardEntry = 5;
static constexpr std::size_t KeyboardHit = 6;
} // namespace swatch

// A view switch as the circle's layout takes it: −1 shown, 0 hidden.
int ViewFlag(bool shown) {
    return shown ? flag::True : flag::False;
}

} // namespace

StudyViews::StudyViews(const ProgramState& state, Prompter& prompter, const LogicalScale& scale,
                       ViewSet& views, const StudyController& study, const QWidget& window)
    : state_(state), prompter_(prompter), scale_(scale), views_(views), study_(study), window_(window) {}

void StudyViews::draw() {
    const Settings& s = state_.settings;
    const double viewsRight = RightColumnLeft(scale_.logicalWidth);
    const KeyboardContent keyboard =
        KeyboardFor(state_.sequence, s.ShowKeyboard, s.EntryDisplay, s.StudyType,
                    s.ViewColour[swatch::KeyboardEntry], s.ViewColour[swatch::KeyboardHit], viewsRight);
    const CircleDiagram diagram = circle();
    if (!s.ShowScore) {
        views_.show({}, keyboard, diagram);
        return;
    }
    const StaffFrame frame{scale_.logicalWidth, scale_.logicalHeight, viewsRight, state_.LayoutMode};
    StaffLayout staff = LayOutStaff(state_.sequence, {s.StudyType, s.UpDown, s.RootKey}, frame);
    for (const QString& message : staff.messages)
        prompter_.message(message);
    if (!staff.marks.empty())
        LayOutTitles(staff, QString::fromStdString(study_.TitleText()),
                     s.StudyType > study_type::IIVIPattern ? QString::fromStdString(study_.CommentText())
                                                           : QString(),
                     state_.LayoutMode);
    views_.show(staff, keyboard, diagram);
}

CircleDiagram StudyViews::circle() const {
    const Settings& s = state_.settings;
    const CircleFrame frame{scale_.logicalHeight,  RightColumnLeft(scale_.logicalWidth),
                            state_.LayoutMode,     s.StudyType,
                            ViewFlag(s.ShowScore), ViewFlag(s.ShowKeyboard)};
    CircleDiagram d;
    d.place = CircleLayout(frame);
    const QSizeF digit = views_.degreeTextSize(d.place.degreeSize);
    const QScreen* screen = window_.screen() ? window_.screen() : QGuiApplication::primaryScreen();
    const double screenHeight = screen->geometry().height() * TwipsPerPixel(screen->logicalDotsPerInch());
    d.points = ComputeCircleGeometry(d.place, frame, digit.width(), digit.height(), screenHeight);

    d.content = CircleContentFor(state_, study_.currentItem(), d.points);
    return d;
}

QPoint StudyViews::rootNamePoint(int pitchClass, bool nudged) const {
    const CircleDiagram diagram = circle();
    const auto pc = static_cast<std::size_t>(pitchClass % pitch_classes::Count);
    double x = diagram.points[circle_sets::NameX][pc];
    double y = diagram.points[circle_sets::NameY][pc];
    if (nudged) {
        // A quarter of a digit's width in and three tenths of its height up from where the name is placed.
        static constexpr double NudgeAcross = 0.25;
        static constexpr double NudgeUp = 0.3;
        const QSizeF digit = views_.degreeTextSize(diagram.place.degreeSize);
        x += digit.width() * NudgeAcross;
        y += digit.height() * NudgeUp;
    }
    return QPointF(scale_.xToPixel(x), scale_.yToPixel(y)).toPoint();
}

std::optional<QPoint> StudyViews::keyPoint(int key) const {
    if (!views_.keyboardShown() || key < 1 || key > keyboard::KeyCount) return std::nullopt;
    const KeyRect& r = views_.keyboard().keys()[static_cast<std::size_t>(key)];
    return QPointF(scale_.xToPixel((r.left + r.right) / 2.0), scale_.yToPixel((r.bottom + r.top) / 2.0))
        .toPoint();
}

} // namespace orbel
