#pragma once
// The player's notifications carried over to the window's thread: each call made on the player's thread
// is queued and made again on the window's, in the same order, so the window sees the performance as it
// unfolds without the player ever waiting for it. Both kinds are made the output's delay later, when what
// the player sent with them is heard, and so keep their order among each other too.
// Thread: the player's calls them; the targets are called on the window's.

#include "sound/player_events.h"
#include "sound/player_views.h"

#include <chrono>
#include <functional>
#include <utility>

class QObject;

namespace orbel {

// From a message's sending to its sound.
using NotificationDelay = std::function<std::chrono::milliseconds()>;

class QueuedPlayerEvents final : public PlayerEvents {
public:
    // target receives the calls on the thread of context, delay later; both must outlive the player's
    // actions.
    QueuedPlayerEvents(PlayerEvents& target, QObject& context, NotificationDelay delay = {})
        : target_(target), context_(context), delay_(std::move(delay)) {}

    void ShowRepeatLabel(const QString& label, int tempo) override;
    void hideRepeatLabel() override;
    void MakeSound_Bot_show(bool isPlaying) override;
    void setQuitAndReferenceEnabled(bool enabled) override;
    void studyChanged(const StudyChange& change) override;
    void tempoRamped(int tempo) override;
    void tellUser(const QString& text) override;

private:
    template <typename Call> void later(Call call);

    PlayerEvents& target_;
    QObject& context_;
    NotificationDelay delay_;
};

// The same for the views: the cursors show a note when it is heard.
class QueuedPlayerViews final : public PlayerViews {
public:
    QueuedPlayerViews(PlayerViews& target, QObject& context, NotificationDelay delay = {})
        : target_(target), context_(context), delay_(std::move(delay)) {}

    void MovePlayCursor(int tick, bool first) override;
    void HidePlayCursor() override;
    void CircleShowTick(int tick, bool first) override;
    void CircleEndPlay() override;
    void ShowPlayedKey(int tick) override;
    void EndPlayKeyboard() override;
    void DrawKeys() override;
    void redrawViews() override;

private:
    template <typename Call> void later(Call call);

    PlayerViews& target_;
    QObject& context_;
    NotificationDelay delay_;
};

} // namespace orbel
