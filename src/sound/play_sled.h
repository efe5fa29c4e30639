#pragma once
// The player: turns the play sequence into a tick timeline with its accompaniment, and walks it tick by
// tick, sending MIDI with the deadline each message is due at, telling the window where the cursors are and
// waiting one tick at a time on the deadline chain. On top of one play-through sit the play button
// (repetitions and root progression), the sound button, the metronome and the stop.
//
// The player works on a study of its own (a copy of the window's, see BackgroundPlayer), so that it builds
// the next root or item without the window; it tells the window what it built through PlayerEvents.
//
// The player itself keeps the actions' stops and their deadline waits, and puts its parts together: the
// timeline it walks (PlayerTimeline), one play-through of it (PlayThrough) and the play button's repeat
// loop (RepeatLoop).
// Thread: the player's thread.

#include "app/study_session.h"
#include "sound/hi_delay.h"
#include "sound/play_through.h"
#include "sound/player_events.h"
#include "sound/player_timeline.h"
#include "sound/player_views.h"
#include "sound/repeat_loop.h"
#include "theory/accompaniment.h"
#include "theory/tempo_ramp.h"
#include "theory/timeline.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <utility>

namespace orbel {

class LiveSettings;
class Midi1;
class PracticeListener;

// Which accompaniment variants RebuildForPlay writes.
namespace rebuild_mode {
static constexpr int Variant0 = 0;
static constexpr int Variant1 = 1;
static constexpr int BothVariants = 3;
} // namespace rebuild_mode

namespace play_limits {
// Melody notes that start up to this tick are not cut by the next melody event: they ring on.
static constexpr int RingingUntilTick = 100;
// The repetition counter that picks the accompaniment variant starts again past this.
static constexpr int CounterWrap = 1000;
} // namespace play_limits

// The count-in: two bars of 4/4, two half-note clicks, then four quarter-note clicks.
namespace count_in {
static constexpr int HalfNotes = 2;
static constexpr int QuarterNotes = 4;
static constexpr int BeatsPerBar = 4;
} // namespace count_in

class PlaySled {
public:
    // study: what the player plays and rebuilds; midi: sends over study's settings; clock: what the
    // deadline chain runs on; yield: called once per wait (tests act there as a user would); random: the
    // accompaniment's draws, from the clock by default.
    PlaySled(StudyState& study, Midi1& midi, DeadlineClock& clock, std::function<void()> yield = {},
             Accompaniment::RandomSource random = {});
    PlaySled(const PlaySled&) = delete;
    PlaySled& operator=(const PlaySled&) = delete;

    // Who is told what happens, the window and the views; without anybody (nullptr) nothing is told.
    void setEvents(PlayerEvents* events);
    PlayerEvents& events() { return events_ != nullptr ? *events_ : nobody_; }
    void setViews(PlayerViews* views) { views_ = views; }
    PlayerViews& views() { return views_ != nullptr ? *views_ : noViews_; }
    // What builds the sequence of the selection (isChangeOnly as StudySession::build); the study session's
    // build by default.
    using Builder = PlayerTimeline::Builder;
    void setBuilder(Builder builder) { timeline_.setBuilder(std::move(builder)); }
    // Where the settings that act while playing come from; without (nullptr) study's own settings act.
    void setLiveSettings(const LiveSettings* live) { live_ = live; }
    // Practice: the play button's tempo ramp (none by default), and who checks the user's playing against
    // the melody (nobody by default). Set between actions.
    void setTempoRamp(std::optional<TempoRamp> ramp) { loop_.setRamp(ramp); }
    void setPracticeListener(PracticeListener* listener) { practice_ = listener; }

    // While the repeat loop of the play button or a catalogue play mode runs; a stop ends it.
    bool continuousPlay() const { return continuous_; }
    void setContinuousPlay(bool on) { continuous_ = on; }
    // The tempo of the current repetition, copied from Tempo when a play action starts and before every
    // pass of the repeat loop.
    std::int16_t PlayTempo = 0;

    // --- The play actions. Each shows "想定外のエラーが発生しました。" for an unexpected fault and then ends
    // with the controls idle.

    // How many repetitions the play button plays: as "繰り返す" says, or one whatever it says.
    using Repeats = RepeatLoop::Repeats;
    // The play button: repetitions of the current item, the root moving by step semitones from one pass
    // to the next, until stopped (or after one repetition without repeat). However it ends, the tempo mark
    // goes with it.
    void PlayRepeated(int step, Repeats repeats = Repeats::AsSet) { loop_.run(step, repeats); }
    // The sound button: one play-through without count-in; only quit and the reference tone are disabled.
    void PlayOnce();
    // Clicks every beat at the tempo of the moment, after the count-in, until stopped; whatever ClickOn.
    void Metronome();
    // Ends whatever plays at its next wait and puts the controls back to idle. On the player's thread (a
    // yield, a notification); other threads stop the action through its stop source.
    void Stop();
    // Whatever plays ends at its next wait. On the player's thread.
    void requestStop();

    // Every play action has a stop of its own, so that a stop is never lost to the action it was meant
    // for nor carried into the next. Whoever runs the player on another thread makes the stop source of
    // the next action here before the action starts, and keeps a copy to request the stop with: a stop
    // pressed from then on ends that action, however early. An action that nobody began so gets a fresh
    // stop when it starts.
    void beginAction(std::stop_source stop);

    // Runs action as a play action: an unexpected fault is told to the user, and the notes are ended and
    // the controls set idle.
    void RunPlayAction(const std::function<void()>& action);

    // --- The parts the play actions and the catalogue play modes are made of.

    // One play-through of the timeline with accompaniment variant 0 or 1. Clears the stop request first;
    // ends at the end of the timeline or at the first wait that sees a stop.
    void PlaySound(int variant) { through_.play(variant); }
    // Two bars of count-in clicks when CountInOn is 1. False when stopped during them.
    bool CountIn();
    // A sixteenth rest after a repetition of a scale with an odd number of notes, while repeating.
    void PauseBetweenRepeats();
    // The label "number/count" (empty without repeat) with the tempo mark.
    void ShowRepeatLabel(int number, int count);
    // Rebuilds the sequence (as for a root change), then the timeline and the accompaniment of mode.
    void RebuildForPlay(int mode) { timeline_.rebuild(mode); }
    // Chooses item as the item list would (its program changes and build), and tells the window.
    void selectItem(int item) { timeline_.selectItem(item); }
    // The timeline of the present sequence and the accompaniment of mode, without rebuilding the sequence.
    void PrepareTimeline(int mode) { timeline_.prepare(mode); }
    // The deadline wait: ms ≤ 0 restarts the chain. hidelay::Stopped when a stop was requested.
    std::int16_t HiDelay(int ms);
    // Calls the yield once, as a wait does (where tests act between two items).
    void yieldOnce();
    // The end of a play action that was not stopped: no longer continuous, the controls idle.
    void ReturnToIdle();

    const Timeline& timeline() const { return timeline_.timeline(); }
    Timeline& timeline() { return timeline_.timeline(); }
    StudyState& study() { return study_; }
    StudySession& session() { return session_; }
    Midi1& midi() { return midi_; }
    bool stopRequested() const;

    // --- What the parts of the player share.

    // Takes the settings that act while playing from the window; messages sent next are due at the
    // deadline the chain stands on.
    void beforeSending();
    // The deadline wait of the play actions: a chain that falls behind by a beat starts again.
    std::int16_t waitFor(int ms, int beatMs);
    // The deadline chain: when what is sent now is due.
    const HiDelayTimer& timer() const { return timer_; }
    const LiveSettings* liveSettings() const { return live_; }
    PracticeListener* practiceListener() const { return practice_; }

private:
    void playOnce();
    void metronome();
    void settleAfterFault();

    StudyState& study_;
    StudySession session_;
    std::stop_source stop_;
    bool begun_ = false; // beginAction was called for the action that starts next
    bool continuous_ = false;
    Midi1& midi_;
    std::function<void()> yield_;
    HiDelayTimer timer_;
    PlayerTimeline timeline_;
    PlayThrough through_;
    RepeatLoop loop_;

    const LiveSettings* live_ = nullptr;
    PracticeListener* practice_ = nullptr;
    PlayerEvents* events_ = nullptr;
    PlayerEvents nobody_;
    PlayerViews* views_ = nullptr;
    PlayerViews noViews_;
};

} // namespace orbel
