#pragma once
// The one way the window speaks to the player. Every command the window gives a performance goes through
// here, and each says when a running performance acts on it:
//
//   play       at once: what plays stops first (the call waits for it), then the action starts
//   stop       at the player's next wait, within a few milliseconds; nothing not yet heard sounds
//   settings   taken by the player before every tick, each acting where the music meets it:
//                volumes, transposition, the melody switch and the click sound: the next note
//                the click and the accompaniment switches: the next beat; swing: the next half beat
//                repeat count and repeat switch: the end of the pass; count-in: the next count-in
//                instruments: the next pass (the window's own notes change them at once)
//   tempo      the user's: the next pass of a performance, the next beat of the metronome; it takes
//              the tempo back from the practice ramp
//   root       a root chosen on the views: the end of the pass, and the progression goes on from it
//
// Nothing here writes what the player owns: the player copies what it is handed at its own moments.
// Thread: the window's thread.

#include "sound/background_player.h"

namespace orbel {

class LiveSettings;
struct Settings;

class PlayerChannel {
public:
    // Both must outlive the channel.
    PlayerChannel(BackgroundPlayer& player, LiveSettings& live);

    void play(const StudyState& study, BackgroundPlayer::Action action);
    void stop();
    // As stop, and returns once the player has sent its last message.
    void stopAndWait();
    // From play until the action has returned.
    bool busy() const;

    void settings(const Settings& settings);
    void tempo(int tempo);
    void root(int pitchClass);

private:
    BackgroundPlayer& player_;
    LiveSettings& live_;
};

} // namespace orbel
