#pragma once
// What the player tells the window while it plays: the repetition label, the state of the controls, the
// study it moved to (a new root, a new item) and messages for the user; what it tells the views is
// PlayerViews. Notifications only: nothing is asked back, so the player never waits for the window. The
// window receives them on its own thread (see QueuedPlayerEvents); every call does nothing by default, so
// the player runs without a window.
// Thread: called on the player's thread.

#include "theory/play_sequence.h"

#include <QString>
#include <cstdint>
#include <memory>

namespace orbel {

// The selection after the player moved it, with the sequence it built for it, for the window to show.
struct StudyChange {
    std::int16_t RootKey = 0;
    std::int16_t OctaveShift = 0;
    int item = -1; // of the current study type
    std::shared_ptr<const PlaySequence> sequence;
};

class PlayerEvents {
public:
    PlayerEvents() = default;
    virtual ~PlayerEvents() = default;
    PlayerEvents(const PlayerEvents&) = delete;
    PlayerEvents& operator=(const PlayerEvents&) = delete;

    // The repetition label ("2/4", or empty without repeat) with the tempo mark, and its removal.
    virtual void ShowRepeatLabel(const QString& /*label*/, int /*tempo*/) {}
    virtual void hideRepeatLabel() {}

    // Switches the controls between the playing and the idle state.
    virtual void MakeSound_Bot_show(bool /*isPlaying*/) {}
    // Quit (Command1) and the B flat reference tone (Command2): the only controls the single plays disable.
    virtual void setQuitAndReferenceEnabled(bool /*enabled*/) {}

    // The player moved the selection and built it: the window shows it.
    virtual void studyChanged(const StudyChange& /*change*/) {}
    // The tempo ramp of practice raised the tempo: the tempo bar follows.
    virtual void tempoRamped(int /*tempo*/) {}
    // A message for the user, shown without holding the player.
    virtual void tellUser(const QString& /*text*/) {}
};

} // namespace orbel
