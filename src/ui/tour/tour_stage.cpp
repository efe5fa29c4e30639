#include "ui/tour/tour_stage.h"

#include "ui/tour/tour_host.h"
#include "ui/tour/tour_marker.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <array>

namespace orbel {

namespace {

// The frames a blink shows and hides, by number.
static constexpr std::array Frames{Control::StudyFrame, Control::PlayFrame, Control::SoundFrame};

void SendButton(QWidget* widget, QPoint local, QEvent::Type type) {
    const QPointF global = widget->mapToGlobal(QPointF(local));
    const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, QPointF(local), global, Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TourStage::TourStage(TourHost& host)
    : host_(host), window_(host.window()), marker_(new TourMarker(&window_)) {
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
        QWidget* widget = host_.control(control->role);
        if (widget == nullptr || !widget->isVisible()) return std::nullopt;
        return std::pair{widget, widget->rect().center()};
    }
    QWidget* surface = host_.surface();
    if (surface == nullptr) return std::nullopt;
    const std::optional<QPoint> point = std::holds_alternative<RootNameTarget>(target)
                                            ? host_.rootNamePoint(std::get<RootNameTarget>(target).pitchClass,
                                                                  std::get<RootNameTarget>(target).nudged)
                                            : host_.keyPoint(std::get<KeyTarget>(target).key);
    if (!point) return std::nullopt;
    return std::pair{surface, *point};
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
    if (frame < 1 || frame > static_cast<int>(Frames.size())) return;
    if (QWidget* shown = host_.control(Frames[static_cast<std::size_t>(frame - 1)]))
        shown->setVisible(frameShown);
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
    auto* stop = qobject_cast<QPushButton*>(host_.control(Control::StopButton));
    if (stop == nullptr || !stop->isEnabled()) return;
    stop->click();
    // What the performance said before it ended must not land on what the tour does next.
    host_.waitForPlayer();
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
    host_.setPlayButtonPlaysOnce(true);
    click(tour_targets::PlayButton);
    host_.setPlayButtonPlaysOnce(false);
}

void TourStage::setList(Control list, int index) {
    // A user stops the music before choosing: the lists are closed while it plays.
    stopPlaying();
    auto* box = qobject_cast<QComboBox*>(host_.control(list));
    if (box != nullptr && index < box->count()) box->setCurrentIndex(index);
}

void TourStage::setCheck(Control box, bool on) {
    // A click, so that the box's handler runs as for the user.
    auto* check = qobject_cast<QCheckBox*>(host_.control(box));
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
    for (Control role : Frames)
        if (QWidget* frame = host_.control(role)) frame->show();
    marker_->setFilled(false);
    marker_->hide();
    for (const QPointer<QWidget>& button : held_)
        if (button) button->setEnabled(true);
    held_.clear();
}

} // namespace orbel
