#include "ui/queued_player_events.h"

#include <QMetaObject>
#include <QObject>
#include <utility>

namespace orbel {

template <typename Call> void QueuedPlayerEvents::post(Call call) {
    QMetaObject::invokeMethod(
        &context_, [&target = target_, call = std::move(call)] { call(target); }, Qt::QueuedConnection);
}

void QueuedPlayerEvents::MovePlayCursor(int tick, bool first) {
    post([=](PlayerEvents& t) { t.MovePlayCursor(tick, first); });
}
void QueuedPlayerEvents::HidePlayCursor() {
    post([](PlayerEvents& t) { t.HidePlayCursor(); });
}
void QueuedPlayerEvents::CircleLayout() {
    post([](PlayerEvents& t) { t.CircleLayout(); });
}
void QueuedPlayerEvents::CircleShowTick(int tick, bool first) {
    post([=](PlayerEvents& t) { t.CircleShowTick(tick, first); });
}
void QueuedPlayerEvents::CircleEndPlay() {
    post([](PlayerEvents& t) { t.CircleEndPlay(); });
}
void QueuedPlayerEvents::ShowPlayedKey(int tick) {
    post([=](PlayerEvents& t) { t.ShowPlayedKey(tick); });
}
void QueuedPlayerEvents::EndPlayKeyboard() {
    post([](PlayerEvents& t) { t.EndPlayKeyboard(); });
}
void QueuedPlayerEvents::DrawKeys() {
    post([](PlayerEvents& t) { t.DrawKeys(); });
}
void QueuedPlayerEvents::ShowRepeatLabel(const QString& label, int tempo) {
    post([=](PlayerEvents& t) { t.ShowRepeatLabel(label, tempo); });
}
void QueuedPlayerEvents::hideRepeatLabel() {
    post([](PlayerEvents& t) { t.hideRepeatLabel(); });
}
void QueuedPlayerEvents::MakeSound_Bot_show(bool isPlaying) {
    post([=](PlayerEvents& t) { t.MakeSound_Bot_show(isPlaying); });
}
void QueuedPlayerEvents::setQuitAndReferenceEnabled(bool enabled) {
    post([=](PlayerEvents& t) { t.setQuitAndReferenceEnabled(enabled); });
}
void QueuedPlayerEvents::studyChanged(const StudyChange& change) {
    post([=](PlayerEvents& t) { t.studyChanged(change); });
}
void QueuedPlayerEvents::SetStaffRow(int row) {
    post([=](PlayerEvents& t) { t.SetStaffRow(row); });
}
void QueuedPlayerEvents::redrawViews() {
    post([](PlayerEvents& t) { t.redrawViews(); });
}
void QueuedPlayerEvents::tellUser(const QString& text) {
    post([=](PlayerEvents& t) { t.tellUser(text); });
}

} // namespace orbel
