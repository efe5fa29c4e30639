#pragma once
// The player on a thread of its own. A play action (the play button, the sound button, the metronome, a
// play mode) runs there over a copy of the window's study, so no menu, dialog, repaint or message box of
// the window can hold the music, and the player never waits for the window: it tells the window what
// happens through thread-safe PlayerEvents, and reads the settings that act while playing from
// LiveSettings. One action at a time: starting one stops the one before and waits for it.
// Thread: the window's thread; the actions run on the player's own thread.

#include "app/study_session.h"
#include "sound/midi1.h"
#include "sound/play_modes.h"
#include "sound/play_sled.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <stop_token>
#include <thread>

namespace orbel {

class DeadlineClock;
class LiveSettings;
class MidiPort;
class PlayerEvents;
class PlayerViews;

class BackgroundPlayer {
public:
    using Action = std::function<void(PlaySled&, PlayModes&)>;

    // All references must outlive the player. events is called from the player's thread. realtime: ask
    // for real-time scheduling for the player's thread (only sensible on the steady clock: a test's clock
    // that never sleeps would keep a processor to itself).
    BackgroundPlayer(MidiPort& port, DeadlineClock& clock, const LiveSettings& live, PlayerEvents& events,
                     PlayerViews& views, bool realtime = false, Accompaniment::RandomSource random = {},
                     PlayModes::RandomSource picks = {});
    // Stops what plays and waits for it.
    ~BackgroundPlayer();
    BackgroundPlayer(const BackgroundPlayer&) = delete;
    BackgroundPlayer& operator=(const BackgroundPlayer&) = delete;

    // Runs action on the player's thread over a copy of study. An action still running is stopped and
    // waited for first, so two never play at once.
    void start(const StudyState& study, Action action);
    // Whatever plays ends at its next wait (within a few milliseconds), however early in the action the
    // stop comes. Any thread.
    void requestStop();
    // Stops and waits until the player's thread has sent its last message.
    void stopAndWait();
    // True from start() until the action has returned.
    bool busy() const { return busy_; }

    // The deadline of the last wait, for measurements.
    PlaySled& sled() { return sled_; }

private:
    void join();

    StudyState study_;
    Midi1 midi_;
    PlaySled sled_;
    PlayModes modes_;
    bool realtime_;
    std::thread thread_;
    std::atomic<bool> busy_ = false;
    std::mutex mutex_;
    std::stop_source stop_; // the present action's; guarded by mutex_
};

} // namespace orbel
