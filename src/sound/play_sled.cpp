#include "sound/play_sled.h"

#include "app/program_state.h"
#include "sound/live_settings.h"
#include "sound/midi1.h"
#include "sound/play_texts.h"
#include "sound/play_timing.h"
#include "sound/practice_listener.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"
#include "theory/timeline_build.h"

#include <algorithm>
#include <exception>
#include <utility>

namespace orbel {

namespace {

using timeline_limits::NoEvent;
using timeline_limits::VoiceBass;
using timeline_limits::VoiceMelody;

constexpr int BeatsPerHalfNote = 2;
constexpr int SixteenthsPerBeat = 4;

} // namespace

PlaySled::PlaySled(StudyState& study, Midi1& midi, DeadlineClock& clock, std::function<void()> yield,
                   Accompaniment::RandomSource random)
    : study_(study), session_(study), midi_(midi), yield_(std::move(yield)), timer_(clock, yield_),
      accompaniment_(std::move(random)) {
    ClearTimeline(timeline_);
    timer_.setStop(stop_.get_token());
}

void PlaySled::setEvents(PlayerEvents* events) {
    events_ = events;
}

bool PlaySled::stopRequested() const {
    return stop_.stop_requested();
}

void PlaySled::beginAction(std::stop_source stop) {
    stop_ = std::move(stop);
    timer_.setStop(stop_.get_token());
    begun_ = true;
}

std::int16_t PlaySled::HiDelay(int ms) {
    if (ms <= 0) {
        // A new chain: the sound must be running by its first deadline.
        MidiPort& port = midi_.port();
        port.wake();
        timer_.setTuning(TuningForOutput(port.outputDelay()));
    }
    return timer_.HiDelay(ms);
}

std::int16_t PlaySled::waitFor(int ms, int beatMs) {
    timer_.setCatchUpLimit(std::chrono::milliseconds(std::max(beatMs, 1)));
    const std::int16_t result = timer_.HiDelay(ms);
    // Nothing handed over before the stop may sound after it.
    if (result == hidelay::Stopped) midi_.port().cancelScheduled();
    return result;
}

void PlaySled::beforeSending() {
    if (live_ != nullptr) live_->refresh(study_.settings);
    midi_.setDueTime(timer_.mark());
}

void PlaySled::tellStudyChanged() {
    StudyChange change;
    change.RootKey = study_.settings.RootKey;
    change.OctaveShift = study_.sequence.OctaveShift;
    change.item = session_.currentItem();
    change.sequence = std::make_shared<const PlaySequence>(study_.sequence);
    events().studyChanged(change);
}

void PlaySled::yieldOnce() {
    if (yield_) yield_();
}

void PlaySled::allNotesOff() {
    // At the deadline the notes end on, or at once after a stop.
    midi_.MidiAllNotesOff(midi_channels::Melody);
    midi_.MidiAllNotesOff(midi_channels::Chord);
    midi_.MidiAllNotesOff(midi_channels::Bass);
}

// --- One play-through

void PlaySled::PlaySound(int variant) {
    const int accompanimentVariant = std::clamp(variant, 0, timeline_limits::Variants - 1);
    beforeSending();
    const TickLengths lengths = TickLengthsFor(PlayTempo, study_.settings.SwingLevel);
    // A stop stays requested from one play-through to the next: only the start of an action clears it, and
    // a play-through that begins after a stop sounds nothing.
    if (stopRequested()) return;

    PlayerViews& view = views();
    view.CircleLayout();
    view.MovePlayCursor(0, true);
    view.CircleShowTick(0, true);
    view.ShowPlayedKey(0);
    allNotesOff();
    if (practice_ != nullptr) practice_->repetitionBegins(timer_.mark(), PlayTempo);

    int wait = lengths.tick;
    SwitchesOnBeat switches{study_.settings.AccompanimentOn == 1, study_.settings.MelodyOn == 1};
    // The length is read on every tick: an action started from a wait may have rebuilt the timeline.
    for (int v = 0; v < timeline_.TimelineLength && timeline_.holds(v); ++v) {
        // The switches are read on every tick: the click, the swing and the melody act at once, the
        // accompaniment on the beat.
        beforeSending();
        const Settings& s = study_.settings;
        const int inBeat = v % play_timing::TicksPerBeat;
        if (inBeat == 0) followSwitchesOnBeat(switches);
        if (s.ClickOn == 1 && inBeat == 0) midi_.MidiClick();
        if (s.SwingOn == 1) {
            // Ticks 0–11 of a beat are long and 12–23 short; switched on mid-beat, the tick length holds
            // until the next half beat.
            if (inBeat == 0) wait = lengths.swingLong;
            if (inBeat == play_timing::HalfBeatTicks) wait = lengths.swingShort;
        } else {
            wait = lengths.tick;
        }
        if (playTick(v, accompanimentVariant, switches.accompaniment)) {
            view.MovePlayCursor(v, false);
            view.CircleShowTick(v, false);
            view.ShowPlayedKey(v);
        }
        if (waitFor(wait, lengths.beat) == hidelay::Stopped) break;
    }

    // The notes end on the deadline of the last tick, or at once after a stop.
    midi_.setDueTime(stopRequested() ? std::nullopt : std::optional(timer_.mark()));
    allNotesOff();
    if (practice_ != nullptr) practice_->repetitionEnds(stopRequested() ? timer_.now() : timer_.mark());
    view.HidePlayCursor();
    view.CircleEndPlay();
    view.EndPlayKeyboard();
}

void PlaySled::followSwitchesOnBeat(SwitchesOnBeat& was) {
    const Settings& s = study_.settings;
    const SwitchesOnBeat now{s.AccompanimentOn == 1, s.MelodyOn == 1};
    // A voice switched off lets go of what it holds on the beat, rather than ringing on to its next event.
    if (was.accompaniment && !now.accompaniment) {
        midi_.MidiAllNotesOff(midi_channels::Chord);
        midi_.MidiAllNotesOff(midi_channels::Bass);
    }
    if (was.melody && !now.melody) midi_.MidiAllNotesOff(midi_channels::Melody);
    was = now;
}

bool PlaySled::playTick(int v, int variant, bool accompanied) {
    const Settings& s = study_.settings;
    bool melodyEvent = false;
    bool chordStruck = false;
    const int lastVoice = accompanied ? VoiceBass : VoiceMelody;
    for (int voice = VoiceMelody; voice <= lastVoice; ++voice) {
        const int cell = timeline_.cell(voice == VoiceMelody ? 0 : variant, voice, v);
        if (cell <= NoEvent) continue;
        if (voice == VoiceMelody) {
            melodyEvent = true;
            // Early notes ring on into the next ones; later each melody event ends the note before it,
            // unless it is tied to it.
            if (v > play_limits::RingingUntilTick && timeline_.TieAt[static_cast<std::size_t>(v)] != 1)
                midi_.MidiAllNotesOff(midi_channels::Melody);
            const bool muted = practice_ != nullptr && practice_->muteMelody();
            if (cell >= 0 && s.MelodyOn == 1 && !muted)
                midi_.MidiNoteOn(midi_channels::Melody, cell, s.MelodyVolume);
            if (cell >= 0 && practice_ != nullptr) {
                if (const auto key = midi_.KeyOf(cell)) practice_->melodyNote(*key, timer_.mark());
            }
        } else if (cell >= 0) {
            if (voice == VoiceBass) {
                midi_.MidiAllNotesOff(midi_channels::Bass);
                midi_.MidiNoteOn(midi_channels::Bass, cell, s.BassVolume);
            } else {
                // A new chord replaces the one before, also when its lowest voice was left out because
                // it doubles the bass.
                if (!chordStruck) midi_.MidiAllNotesOff(midi_channels::Chord);
                chordStruck = true;
                midi_.MidiNoteOn(midi_channels::Chord, cell, s.ChordVolume);
            }
        }
    }
    return melodyEvent;
}

// --- Around the play-throughs

bool PlaySled::CountIn() {
    beforeSending();
    if (study_.settings.CountInOn != 1) return true;
    // A stop that came while the chain was started (the output waking) keeps even the first click silent.
    if (stopRequested()) return false;
    const int beat = BeatMs(study_.settings.Tempo);
    for (int i = 0; i < count_in::HalfNotes; ++i) {
        beforeSending();
        midi_.MidiCountInClick();
        if (waitFor(BeatsPerHalfNote * beat, BeatsPerHalfNote * beat) == hidelay::Stopped) return false;
    }
    for (int i = 0; i < count_in::QuarterNotes; ++i) {
        beforeSending();
        midi_.MidiCountInClick();
        if (waitFor(beat, beat) == hidelay::Stopped) return false;
    }
    return true;
}

void PlaySled::PauseBetweenRepeats() {
    // A repeated scale of an odd number of eighths gets a short breath before it starts again.
    const bool oddScale =
        study_.settings.StudyType == study_type::Scale && continuous_ && study_.sequence.SeqCount % 2 != 0;
    if (!oddScale) return;
    const int beat = BeatMs(study_.settings.Tempo);
    waitFor(RoundHalfEven(static_cast<double>(beat) / SixteenthsPerBeat), beat);
}

void PlaySled::ShowRepeatLabel(int number, int count) {
    events().ShowRepeatLabel(RepeatLabelText(number, count, repeating() ? 1 : 0), PlayTempo);
}

void PlaySled::build(bool isChangeOnly) {
    const BuildMessage refused = builder_ ? builder_(isChangeOnly) : session_.build(isChangeOnly);
    if (refused) events().tellUser(QString::fromStdString(*refused));
}

void PlaySled::RebuildForPlay(int mode) {
    build(true);
    tellStudyChanged();
    PrepareTimeline(mode);
}

void PlaySled::selectItem(int item) {
    if (item < 0 || item >= study_.itemCount) return;
    midi_.setDueTime(std::nullopt);
    midi_.SendProgramChanges();
    session_.choose(item);
    build(false);
    tellStudyChanged();
}

void PlaySled::PrepareTimeline(int mode) {
    const PlaySequence& seq = study_.sequence;
    ClearTimeline(timeline_,
                  static_cast<int>(std::min<long long>(SequenceTicks(seq), timeline_limits::MaximumLength)));
    // The staff's note positions come with the views; until then the cursor has none to follow.
    BuildTimeline(timeline_, seq, {}, {});
    // Built whatever the switch says: switched on while playing, the accompaniment comes in on the next
    // beat.
    Settings s = study_.settings;
    s.AccompanimentOn = 1;
    const auto build = [&](int variant) {
        accompaniment_.BuildAccompaniment(timeline_, variant, s, seq.BeatsPerBar, s.StudyType, yield_);
    };
    if (mode == rebuild_mode::Variant0 || mode == rebuild_mode::BothVariants) build(0);
    if (mode == rebuild_mode::Variant1 || mode == rebuild_mode::BothVariants) build(1);
}

// --- The play actions

void PlaySled::RunPlayAction(const std::function<void()>& action) {
    if (!begun_) beginAction(std::stop_source{});
    begun_ = false;
    try {
        action();
    } catch (const std::exception&) {
        events().tellUser(play_texts::UnexpectedError);
        settleAfterFault();
    }
}

void PlaySled::settleAfterFault() {
    // The fault may have come from the window itself: whatever it does again, the action ends here.
    try {
        continuous_ = false;
        allNotesOff();
        PlayerViews& view = views();
        view.HidePlayCursor();
        view.CircleEndPlay();
        view.EndPlayKeyboard();
        events().setQuitAndReferenceEnabled(true);
        events().MakeSound_Bot_show(false);
    } catch (const std::exception&) {
        continuous_ = false;
    }
}

void PlaySled::ReturnToIdle() {
    continuous_ = false;
    events().MakeSound_Bot_show(false);
}

bool PlaySled::repeating() const {
    return repeats_ == Repeats::AsSet && study_.settings.RepeatOn == 1;
}

void PlaySled::PlayRepeated(int step, Repeats repeats) {
    repeats_ = repeats;
    RunPlayAction([this, step] { playRepeated(step); });
    repeats_ = Repeats::AsSet;
    // Told after anything the loop drew, so that the mark cannot come back after it.
    events().hideRepeatLabel();
}

void PlaySled::playRepeated(int step) {
    if (live_ != nullptr) live_->forgetRootRequest();
    beforeSending();
    Settings& s = study_.settings;
    continuous_ = true;
    PlayTempo = s.Tempo;
    events().MakeSound_Bot_show(true);
    rampCourse_ = {s.Tempo, 0, s.Tempo};
    if (practice_ != nullptr) practice_->performanceBegins();

    midi_.setDueTime(std::nullopt);
    midi_.SendProgramChanges();
    ShowRepeatLabel(1, s.RepeatCount);
    RebuildForPlay(rebuild_mode::BothVariants);
    // A stop pressed while the accompaniment was built has already put the controls back to idle.
    if (stopRequested()) return;
    HiDelay(hidelay::Restart);
    if (!CountIn()) {
        ReturnToIdle();
        return;
    }

    int counter = 0;
    bool firstPass = true;
    int savedRoot = s.RootKey;
    for (;;) {
        beforeSending();
        PlayTempo = s.Tempo;
        if (!firstPass && s.RootKey != savedRoot) {
            RebuildForPlay(rebuild_mode::BothVariants);
            if (stopRequested()) return;
        }
        // Silent passes would never wait, and so never see the stop.
        if (timeline_.TimelineLength <= 0) {
            ReturnToIdle();
            return;
        }
        // At least one repetition per pass, or the root would race on without a wait.
        const int repeats = std::max<int>(s.RepeatCount, 1);
        for (int k = 1; k <= repeats; ++k) {
            ShowRepeatLabel(k, repeats);
            PlaySound(counter % 2);
            if (stopRequested()) {
                events().MakeSound_Bot_show(false);
                return;
            }
            rampAfterRepetition();
            if (!repeating()) {
                ReturnToIdle();
                return;
            }
            if (s.StudyType < study_type::IIVIPhrase) PauseBetweenRepeats();
            if (++counter > play_limits::CounterWrap) counter = 0;
        }

        // A root chosen on the views during the pass is where the progression goes on from.
        if (live_ != nullptr) {
            if (const std::optional<int> chosen = live_->takeRootRequest())
                s.RootKey = static_cast<std::int16_t>(*chosen);
        }
        // The root moves on; leaving the octave upwards or downwards carries into the octave shift.
        savedRoot = s.RootKey;
        session_.moveRoot(step);
        firstPass = false;
    }
}

void PlaySled::rampAfterRepetition() {
    if (!ramp_) return;
    Settings& s = study_.settings;
    // A tempo the user chose meanwhile is where the ramp goes on from.
    if (s.Tempo != rampCourse_.lastTempo) rampCourse_ = {s.Tempo, 0, s.Tempo};
    ++rampCourse_.done;
    const int tempo = RampTempo(*ramp_, rampCourse_.startTempo, rampCourse_.done);
    rampCourse_.lastTempo = tempo;
    if (tempo == s.Tempo) return;
    s.Tempo = static_cast<std::int16_t>(tempo);
    PlayTempo = s.Tempo;
    if (live_ != nullptr) live_->rampTempo(tempo);
    events().tempoRamped(tempo);
}

void PlaySled::PlayOnce() {
    RunPlayAction([this] { playOnce(); });
}

void PlaySled::playOnce() {
    beforeSending();
    continuous_ = false;
    events().setQuitAndReferenceEnabled(false);
    PlayTempo = study_.settings.Tempo;
    PrepareTimeline(rebuild_mode::Variant0);
    HiDelay(hidelay::Restart);
    // A stop pressed while the accompaniment was built is not forgotten by the play-through.
    if (!stopRequested()) PlaySound(0);
    views().redrawViews();
    events().setQuitAndReferenceEnabled(true);
}

void PlaySled::Metronome() {
    RunPlayAction([this] { metronome(); });
}

void PlaySled::metronome() {
    events().MakeSound_Bot_show(true);
    continuous_ = false;
    HiDelay(hidelay::Restart);
    if (CountIn()) {
        // The tempo is read for every beat, so a change acts on the next one.
        int beat = 0;
        do {
            beforeSending();
            beat = BeatMs(study_.settings.Tempo);
            midi_.MidiClick();
        } while (waitFor(beat, beat) != hidelay::Stopped);
    }
    events().MakeSound_Bot_show(false);
}

void PlaySled::requestStop() {
    continuous_ = false;
    stop_.request_stop();
}

void PlaySled::Stop() {
    requestStop();
    events().MakeSound_Bot_show(false);
    events().hideRepeatLabel();
    views().DrawKeys();
}

} // namespace orbel
