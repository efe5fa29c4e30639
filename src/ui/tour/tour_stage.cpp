#include "ui/tour/tour_stage.h"

#include "ui/control_panel.h"
#include "ui/frm_main.h"
#include "ui/tour/tour_marker.h"
#include "views/circle_layout.h"
#include "views/view_set.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>

namespace orbel {

namespace {

// The point the tour aims at within a note name: a quarter of a digit's width in and three tenths of its
// height up from where the name is placed.
static constexpr double NudgeAcross = 0.25;
static constexpr double NudgeUp = 0.3;

void SendButton(QWidget* widget, QPoint local, QEvent::Type type) {
    const QPointF global = widget->mapToGlobal(QPointF(local));
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(local), global, Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TourStage::TourStage(frmMain& window) : window_(window), marker_(new TourMarker(&window)) {
    recordPlace();
}

TourStage::~TourStage() {
    tidyUp();
    delete marker_;
}

bool TourStage::CanMovePointer() {
    const QString platform = QGuiApplication::platformName();
    return !platform.startsWith(QLatin1String("wayland")) && platform != QLatin1String("offscreen") &&
           platform != QLatin1String("minimal");
}

void TourStage::recordPlace() {
    place_ = window_.pos();
}

void TourStage::restorePlace() {
    if (window_.pos() != place_) window_.move(place_);
    window_.activateWindow();
}

std::optional<std::pair<QWidget*, QPoint>> TourStage::locate(const TourTarget& target) {
    if (const auto* control = std::get_if<ControlTarget>(&target)) {
        auto* widget = window_.findChild<QWidget*>(QString::fromLatin1(ObjectName(control->role)));
        if (widget == nullptr || !widget->isVisible()) return std::nullopt;
        return std::pair{widget, widget->rect().center()};
    }
    QWidget* surface = window_.surface();
    if (surface == nullptr) return std::nullopt;
    const LogicalScale& scale = window_.scale();
    double x = 0;
    double y = 0;
    if (const auto* name = std::get_if<RootNameTarget>(&target)) {
        const CircleDiagram circle = window_.CircleFor();
        const auto pc = static_cast<std::size_t>(name->pitchClass % 12);
        x = circle.points[circle_sets::NameX][pc];
        y = circle.points[circle_sets::NameY][pc];
        if (name->nudged) {
            const QSizeF digit = window_.views().degreeTextSize(circle.place.degreeSize);
            x += digit.width() * NudgeAcross;
            y += digit.height() * NudgeUp;
        }
    } else {
        const int key = std::get<KeyTarget>(target).key;
        if (!window_.views().keyboardShown() || key < 1 || key > keyboard::KeyCount) return std::nullopt;
        const KeyRect& r = window_.views().keyboard().keys()[static_cast<std::size_t>(key)];
        x = (r.left + r.right) / 2.0;
        y = (r.bottom + r.top) / 2.0;
    }
    return std::pair{surface, QPointF(scale.xToPixel(x), scale.yToPixel(y)).toPoint()};
}

void TourStage::pointAt(const TourTarget& target) {
    window_.activateWindow();
    const auto found = locate(target);
    if (!found) return;
    const QPoint global = found->first->mapToGlobal(found->second);
    if (CanMovePointer()) QCursor::setPos(found->first->screen(), global);
    marker_->placeAt(window_.mapFromGlobal(global));
    marker_->show();
}

void TourStage::blink(int frame, bool frameShown) {
    const ControlPanel& c = window_.controls();
    QGroupBox* frames[] = {c.studyFrame, c.playFrame, c.soundFrame};
    if (frame < 1 || frame > 3) return;
    frames[frame - 1]->setVisible(frameShown);
    marker_->setVisible(!frameShown);
}

void TourStage::fillMarker(bool filled) {
    marker_->setFilled(filled);
    marker_->setVisible(filled);
}

void TourStage::hideMarker() {
    marker_->hide();
}

void TourStage::stopPlaying() {
    QPushButton* stop = window_.controls().stopButton;
    if (!stop->isEnabled()) return;
    stop->click();
    // What the performance said before it ended must not land on what the tour does next.
    window_.play().waitForPlayer();
}

void TourStage::click(const TourTarget& target) {
    window_.activateWindow();
    if (std::holds_alternative<RootNameTarget>(target)) stopPlaying();
    const auto found = locate(target);
    if (!found) return;
    QPointer<QWidget> widget = found->first;
    SendButton(widget, found->second, QEvent::MouseButtonPress);
    // The press may close or replace what was under it.
    if (widget) SendButton(widget, found->second, QEvent::MouseButtonRelease);
}

void TourStage::clickPlay() {
    // The script plays an example and goes on with its next step: a repeat that never ends would leave
    // the root moving on under the explanations and the music going after the chapter.
    stopPlaying();
    window_.play().setPlayButtonPlaysOnce(true);
    click(tour_targets::PlayButton);
    window_.play().setPlayButtonPlaysOnce(false);
}

void TourStage::setList(Control list, int index) {
    // A user stops the music before choosing: the lists are closed while it plays.
    stopPlaying();
    auto* box = window_.findChild<QComboBox*>(QString::fromLatin1(ObjectName(list)));
    if (box != nullptr && index < box->count()) box->setCurrentIndex(index);
}

void TourStage::setCheck(Control box, bool on) {
    // A click, so that the box's handler runs as for the user.
    auto* check = window_.findChild<QCheckBox*>(QString::fromLatin1(ObjectName(box)));
    if (check != nullptr && check->isChecked() != on) check->click();
}

void TourStage::holdButtons(QDialog* dialog, bool held) {
    if (dialog == nullptr) return;
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (held && !button->isEnabled()) continue;
        button->setEnabled(!held);
        if (held) held_.emplace_back(button);
    }
    if (!held) held_.clear();
}

void TourStage::tidyUp() {
    const ControlPanel& c = window_.controls();
    for (QGroupBox* frame : {c.studyFrame, c.playFrame, c.soundFrame})
        frame->show();
    marker_->setFilled(false);
    marker_->hide();
    for (const QPointer<QWidget>& button : held_)
        if (button) button->setEnabled(true);
    held_.clear();
}

} // namespace orbel
