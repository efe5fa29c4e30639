#pragma once
// What the player tells the views while it plays: where the staff's cursor, the sounding key and the circle's
// marker are, and when a play-through begins and ends. Notifications only, as PlayerEvents; every call does
// nothing by default, so the player runs without views.
// Thread: called on the player's thread.

namespace orbel {

class PlayerViews {
public:
    PlayerViews() = default;
    virtual ~PlayerViews() = default;
    PlayerViews(const PlayerViews&) = delete;
    PlayerViews& operator=(const PlayerViews&) = delete;

    // Staff: the play cursor at a tick of the timeline (first: the start of a play-through), and its removal.
    virtual void MovePlayCursor(int /*tick*/, bool /*first*/) {}
    virtual void HidePlayCursor() {}

    // The start of a play-through, before its first tick (the window's views ignore it; the exporter's
    // recording and the tests count the play-throughs by it).
    virtual void CircleLayout() {}
    // Circle diagram: the sounding note at a tick, and the end of a play-through.
    virtual void CircleShowTick(int /*tick*/, bool /*first*/) {}
    virtual void CircleEndPlay() {}

    // Keyboard: the key of the melody note at a tick, the end of a play-through, and the plain keys.
    virtual void ShowPlayedKey(int /*tick*/) {}
    virtual void EndPlayKeyboard() {}
    virtual void DrawKeys() {}

    // Redraws the views that are shown, with the keys of the sequence marked: the state after a single play.
    virtual void redrawViews() {}
};

} // namespace orbel
