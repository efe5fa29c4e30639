#include "ui/queued_player_events.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>
#include <utility>

namespace orbel {

namespace {

// Makes the call on the thread of context a delay after now, after every call posted before it: the views'
// and the window's notifications go the same way with the same delay, so they keep the order the player
// made them in (a new root never overtakes the last cursor steps of the pass before it).
template <typename Target, typename Call>
void PostAfter(QObject& context, Target& target, const std::function<std::chrono::milliseconds()>& delayOf,
               Call call) {
    const std::chrono::milliseconds delay = delayOf ? delayOf() : std::chrono::milliseconds::zero();
    Target* to = &target;
    if (delay <= std::chrono::milliseconds::zero()) {
        QMetaObject::invokeMethod(
            &context, [to, call = std::move(call)] { call(*to); }, Qt::QueuedConnection);
        return;
    }
    // The timer starts on the window's thread, where there is an event loop to run it; timers of one delay
    // started in order fire in order.
    QObject* on = &context;
    QMetaObject::invokeMethod(
        on,
        [on, to, delay, call = std::move(call)] {
            QTimer::singleShot(delay, Qt::PreciseTimer, on, [to, call] { call(*to); });
        },
        Qt::QueuedConnection);
}

} // namespace

template <typename Call> void QueuedPlayerViews::later(Call call) {
    PostAfter(context_, target_, delay_, std::move(call));
}

template <typename Call> void QueuedPlayerEvents::later(Call call) {
    PostAfter(context_, target_, delay_, std::move(call));
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
    later([=](PlayerEvents& t) { t.ShowRepeatLabel(label, tempo); });
}
void QueuedPlayerEvents::hideRepeatLabel() {
    later([](PlayerEvents& t) { t.hideRepeatLabel(); });
}
void QueuedPlayerEvents::MakeSound_Bot_show(bool isPlaying) {
    later([=](PlayerEvents& t) { t.MakeSound_Bot_show(isPlaying); });
}
void QueuedPlayerEvents::setQuitAndReferenceEnabled(bool enabled) {
    later([=](PlayerEvents& t) { t.setQuitAndReferenceEnabled(enabled); });
}
void QueuedPlayerEvents::studyChanged(const StudyChange& change) {
    later([=](PlayerEvents& t) { t.studyChanged(change); });
}
void QueuedPlayerViews::redrawViews() {
    later([](PlayerViews& t) { t.redrawViews(); });
}
void QueuedPlayerEvents::tempoRamped(int tempo) {
    later([=](PlayerEvents& t) { t.tempoRamped(tempo); });
}

void QueuedPlayerEvents::tellUser(const QString& text) {
    later([=](PlayerEvents& t) { t.tellUser(text); });
}

} // namespace orbel
