#pragma once
// One play-through of the player's timeline, tick by tick: the click, the swing, the melody and the
// accompaniment as the switches say at each tick, the cursors and the played keys shown as the melody moves,
// one deadline wait per tick.
// Thread: the player's thread.

namespace orbel {

class PlaySled;

class PlayThrough {
public:
    // The player whose timeline, output and waits the play-through uses; it must outlive this.
    explicit PlayThrough(PlaySled& sled) : sled_(sled) {}
    PlayThrough(const PlayThrough&) = delete;
    PlayThrough& operator=(const PlayThrough&) = delete;

    // See PlaySled::PlaySound.
    void play(int variant);
    // Ends the notes of melody, chords and bass: at the deadline the notes end on, or at once after a stop.
    void allNotesOff();

private:
    // The accompaniment and melody switches as the last beat found them.
    struct SwitchesOnBeat {
        bool accompaniment = false;
        bool melody = false;
    };
    // At a beat: a voice switched off since the last beat ends its notes, and the accompaniment plays from
    // here as its switch says.
    void followSwitchesOnBeat(SwitchesOnBeat& was);
    // Plays what the timeline holds at tick v, the accompaniment only when accompanied; true when the
    // melody had an event there.
    bool playTick(int v, int variant, bool accompanied);

    PlaySled& sled_;
};

} // namespace orbel
