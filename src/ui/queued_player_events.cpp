#include "ui/queued_player_events.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <utility>

namespace orbel {

namespace {

// Makes the call on the thread of context, after everything posted there before it.
template <typename Target, typename Call> void Post(QObject& context, Target& target, Call call) {
    QMetaObject::invokeMethod(
        &context, [&target, call = std::move(call)] { call(target); }, Qt::QueuedConnection);
}

} // namespace

template <typename Call> void QueuedPlayerViews::later(Call call) {
    const std::chrono::milliseconds delay = delay_ ? delay_() : std::chrono::milliseconds::zero();
    if (delay <= std::chrono::milliseconds::zero()) {
        Post(context_, target_, std::move(call));
        return;
    }
    // The timer starts on the window's thread, where there is an event loop to run it.
    QObject* context = &context_;
    PlayerViews* target = &target_;
    QMetaObject::invokeMethod(
        context,
        [context, target, delay, call = std::move(call)] {
            QTimer::singleShot(delay, Qt::PreciseTimer, context, [target, call] { call(*target); });
        },
        Qt::QueuedConnection);
}

void QueuedPlayerViews::MovePlayCursor(int tick, bool first) {
    later([=](PlayerViews& t) { t.MovePlayCursor(tick, first); });
}
void QueuedPlayerViews::HidePlayCursor() {
    later([](PlayerViews& t) { t.HidePlayCursor(); });
}
void QueuedPlayerViews::CircleShowTick(int tick, bool first) {
    later([=](PlayerViews& t) { t.CircleShowTick(tick, first); });
}
void QueuedPlayerViews::CircleEndPlay() {
    later([](PlayerViews& t) { t.CircleEndPlay(); });
}
void QueuedPlayerViews::ShowPlayedKey(int tick) {
    later([=](PlayerViews& t) { t.ShowPlayedKey(tick); });
}
void QueuedPlayerViews::EndPlayKeyboard() {
    later([](PlayerViews& t) { t.EndPlayKeyboard(); });
}
void QueuedPlayerViews::DrawKeys() {
    later([](PlayerViews& t) { t.DrawKeys(); });
}
void QueuedPlayerEvents::ShowRepeatLabel(const QString& label, int tempo) {
    Post(context_, target_, [=](PlayerEvents& t) { t.ShowRepeatLabel(label, tempo); });
}
void QueuedPlayerEvents::hideRepeatLabel() {
    Post(context_, target_, [](PlayerEvents& t) { t.hideRepeatLabel(); });
}
void QueuedPlayerEvents::MakeSound_Bot_show(bool isPlaying) {
    Post(context_, target_, [=](PlayerEvents& t) { t.MakeSound_Bot_show(isPlaying); });
}
void QueuedPlayerEvents::setQuitAndReferenceEnabled(bool enabled) {
    Post(context_, target_, [=](PlayerEvents& t) { t.setQuitAndReferenceEnabled(enabled); });
}
void QueuedPlayerEvents::studyChanged(const StudyChange& change) {
    Post(context_, target_, [=](PlayerEvents& t) { t.studyChanged(change); });
}
void QueuedPlayerViews::redrawViews() {
    later([](PlayerViews& t) { t.redrawViews(); });
}
void QueuedPlayerEvents::tempoRamped(int tempo) {
    Post(context_, target_, [=](PlayerEvents& t) { t.tempoRamped(tempo); });
}

void QueuedPlayerEvents::tellUser(const QString& text) {
    Post(context_, target_, [=](PlayerEvents& t) { t.tellUser(text); });
}

} // namespace orbel
