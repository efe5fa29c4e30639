#include "ui/queued_player_events.h"

#include <QMetaObject>
#include <QObject>
#include <utility>

namespace orbel {

namespace {

// Makes the call on the thread of context, after everything posted there before it.
template <typename Target, typename Call> void Post(QObject& context, Target& target, Call call) {
    QMetaObject::invokeMethod(
        &context, [&target, call = std::move(call)] { call(target); }, Qt::QueuedConnection);
}

} // namespace

void QueuedPlayerViews::MovePlayCursor(int tick, bool first) {
    Post(context_, target_, [=](PlayerViews& t) { t.MovePlayCursor(tick, first); });
}
void QueuedPlayerViews::HidePlayCursor() {
    Post(context_, target_, [](PlayerViews& t) { t.HidePlayCursor(); });
}
void QueuedPlayerViews::CircleLayout() {
    Post(context_, target_, [](PlayerViews& t) { t.CircleLayout(); });
}
void QueuedPlayerViews::CircleShowTick(int tick, bool first) {
    Post(context_, target_, [=](PlayerViews& t) { t.CircleShowTick(tick, first); });
}
void QueuedPlayerViews::CircleEndPlay() {
    Post(context_, target_, [](PlayerViews& t) { t.CircleEndPlay(); });
}
void QueuedPlayerViews::ShowPlayedKey(int tick) {
    Post(context_, target_, [=](PlayerViews& t) { t.ShowPlayedKey(tick); });
}
void QueuedPlayerViews::EndPlayKeyboard() {
    Post(context_, target_, [](PlayerViews& t) { t.EndPlayKeyboard(); });
}
void QueuedPlayerViews::DrawKeys() {
    Post(context_, target_, [](PlayerViews& t) { t.DrawKeys(); });
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
void QueuedPlayerViews::SetStaffRow(int row) {
    Post(context_, target_, [=](PlayerViews& t) { t.SetStaffRow(row); });
}
void QueuedPlayerViews::redrawViews() {
    Post(context_, target_, [](PlayerViews& t) { t.redrawViews(); });
}
void QueuedPlayerEvents::tellUser(const QString& text) {
    Post(context_, target_, [=](PlayerEvents& t) { t.tellUser(text); });
}

} // namespace orbel
