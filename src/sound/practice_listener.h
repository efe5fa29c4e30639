#pragma once
// What the player tells a check of the user's own playing: where each repetition begins and ends and which
// melody notes it asks for, each at the deadline it is due. Called on the player's thread.
// Thread: called on the player's thread.

#include "sound/midi_output.h"

namespace orbel {

class PracticeListener {
public:
    PracticeListener() = default;
    virtual ~PracticeListener() = default;
    PracticeListener(const PracticeListener&) = delete;
    PracticeListener& operator=(const PracticeListener&) = delete;

    // The play button was pressed: a new session of repetitions.
    virtual void performanceBegins() = 0;
    virtual void repetitionBegins(MidiClock::time_point at, int tempo) = 0;
    virtual void melodyNote(int key, MidiClock::time_point due) = 0;
    virtual void repetitionEnds(MidiClock::time_point at) = 0;
    // The melody is left out, so that the user plays it over the click and accompaniment alone.
    virtual bool muteMelody() const = 0;
};

} // namespace orbel
