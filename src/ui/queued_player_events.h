#pragma once
// The player's notifications carried over to the window's thread: each call made on the player's thread
// is queued and made again on the window's, in the same order, so the window sees the performance as it
// unfolds without the player ever waiting for it.

#include "sound/player_events.h"

class QObject;

namespace orbel {

class QueuedPlayerEvents final : public PlayerEvents {
public:
    // target receives the calls on the thread of context; both must outlive the player's actions.
    QueuedPlayerEvents(PlayerEvents& target, QObject& context) : target_(target), context_(context) {}

    void MovePlayCursor(int tick, bool first) override;
    void HidePlayCursor() override;
    void CircleLayout() override;
    void CircleShowTick(int tick, bool first) override;
    void CircleEndPlay() override;
    void ShowPlayedKey(int tick) override;
    void EndPlayKeyboard() override;
    void DrawKeys() override;
    void ShowRepeatLabel(const QString& label, int tempo) override;
    void hideRepeatLabel() override;
    void MakeSound_Bot_show(bool isPlaying) override;
    void setQuitAndReferenceEnabled(bool enabled) override;
    void studyChanged(const StudyChange& change) override;
    void SetStaffRow(int row) override;
    void redrawViews() override;
    void tellUser(const QString& text) override;

private:
    template <typename Call> void post(Call call);

    PlayerEvents& target_;
    QObject& context_;
};

} // namespace orbel
