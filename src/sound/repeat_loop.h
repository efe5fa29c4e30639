#pragma once
// The play button's loop: repetitions of the current item, the root moving on between passes by the
// progression's step (or to a root the user chose on the views meanwhile), the practice tempo ramp from one
// repetition to the next, until stopped, or after one repetition when not repeating.
// Thread: the player's thread.

#include "theory/tempo_ramp.h"

#include <optional>

namespace orbel {

class PlaySled;

class RepeatLoop {
public:
    // How many repetitions the play button plays: as "繰り返す" says, or one whatever it says (the
    // demonstration's press, which goes on with its script afterwards).
    enum class Repeats { AsSet, Once };

    // The player whose play-throughs, waits and study the loop uses; it must outlive this.
    explicit RepeatLoop(PlaySled& sled) : sled_(sled) {}
    RepeatLoop(const RepeatLoop&) = delete;
    RepeatLoop& operator=(const RepeatLoop&) = delete;

    // See PlaySled::PlayRepeated.
    void run(int step, Repeats repeats);
    // Whether the loop goes on after a repetition.
    bool repeating() const;
    // The tempo ramp of the play button (none by default). Set between actions.
    void setRamp(std::optional<TempoRamp> ramp) { ramp_ = ramp; }

private:
    void playRepeated(int step);
    // One more repetition done: the ramp's next tempo, told to the window.
    void rampAfterRepetition();

    // The ramp's course within the present action: where it began and how many repetitions it counted.
    struct RampCourse {
        int startTempo = 0;
        int done = 0;
        int lastTempo = 0;
    };

    PlaySled& sled_;
    Repeats repeats_ = Repeats::AsSet;
    std::optional<TempoRamp> ramp_;
    RampCourse rampCourse_;
};

} // namespace orbel
