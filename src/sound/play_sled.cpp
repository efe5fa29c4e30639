#include "sound/play_sled.h"

#include "app/program_state.h"
#include "app/prompter.h"
#include "sound/midi1.h"
#include "sound/play_texts.h"
#include "sound/play_timing.h"
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
constexpr int PitchClasses = 12;

} // namespace

PlaySled::PlaySled(ProgramState& state, Midi1& midi, Prompter& prompter, DeadlineClock& clock,
                   std::function<void()> yield, Accompaniment::RandomSource random)
    : state_(state), midi_(midi), prompter_(prompter), yield_(std::move(yield)),
      timer_(state.StopRequested, clock, yield_), accompaniment_(std::move(random)) {
    ClearTimeline(timeline_);
}

void PlaySled::setHost(PlayerHost* host) {
    host_ = host;
}

bool PlaySled::stopRequested() const {
    return state_.StopRequested == flag::True;
}

std::int16_t PlaySled::HiDelay(int ms) {
    return timer_.HiDelay(ms);
}

void PlaySled::yieldOnce() {
    if (yield_) yield_();
}

void PlaySled::allNotesOff() {
    midi_.MidiAllNotesOff(midi_channels::Melody);
    midi_.MidiAllNotesOff(midi_channels::Chord);
    midi_.MidiAllNotesOff(midi_channels::Bass);
}

// --- One play-through

void PlaySled::PlaySound(int variant) {
    const int accompanimentVariant = std::clamp(variant, 0, timeline_limits::Variants - 1);
    const TickLengths lengths = TickLengthsFor(PlayTempo, state_.settings.SwingLevel);
    state_.StopRequested = flag::False;

    PlayerHost& view = host();
    view.CircleLayout();
    view.MovePlayCursor(0, true);
    view.CircleShowTick(0, true);
    view.ShowPlayedKey(0);
    allNotesOff();

    int wait = lengths.tick;
    // The length is read on every tick: an action started from a wait may have rebuilt the timeline.
    for (int v = 0; v < timeline_.TimelineLength && timeline_.holds(v); ++v) {
        // The switches act at once, so they are read on every tick.
        const Settings& s = state_.settings;
        const int inBeat = v % play_timing::TicksPerBeat;
        if (s.ClickOn == 1 && inBeat == 0) midi_.MidiClick();
        if (s.SwingOn == 1) {
            // Ticks 0–11 of a beat are long and 12–23 short; switched on mid-beat, the tick length holds
            // until the next half beat.
            if (inBeat == 0) wait = lengths.swingLong;
            if (inBeat == play_timing::HalfBeatTicks) wait = lengths.swingShort;
        } else {
            wait = lengths.tick;
        }
        if (playTick(v, accompanimentVariant)) {
            view.MovePlayCursor(v, false);
            view.CircleShowTick(v, false);
            view.ShowPlayedKey(v);
        }
        if (timer_.HiDelay(wait) == hidelay::Stopped) break;
    }

    allNotesOff();
    view.HidePlayCursor();
    view.CircleEndPlay();
    view.EndPlayKeyboard();
}

bool PlaySled::playTick(int v, int variant) {
    const Settings& s = state_.settings;
    bool melodyEvent = false;
    bool chordStruck = false;
    for (int voice = VoiceMelody; voice <= VoiceBass; ++voice) {
        const int cell = timeline_.cell(voice == VoiceMelody ? 0 : variant, voice, v);
        if (cell <= NoEvent) continue;
        if (voice == VoiceMelody) {
            melodyEvent = true;
            // Early notes ring on into the next ones; later each melody event ends the note before it,
            // unless it is tied to it.
            if (v > play_limits::RingingUntilTick && timeline_.TieAt[static_cast<std::size_t>(v)] != 1)
                midi_.MidiAllNotesOff(midi_channels::Melody);
            if (cell >= 0 && s.MelodyOn == 1) midi_.MidiNoteOn(midi_channels::Melody, cell, s.MelodyVolume);
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
    if (state_.settings.CountInOn != 1) return true;
    const int beat = BeatMs(state_.settings.Tempo);
    for (int i = 0; i < count_in::HalfNotes; ++i) {
        midi_.MidiCountInClick();
        if (timer_.HiDelay(BeatsPerHalfNote * beat) == hidelay::Stopped) return false;
    }
    for (int i = 0; i < count_in::QuarterNotes; ++i) {
        midi_.MidiCountInClick();
        if (timer_.HiDelay(beat) == hidelay::Stopped) return false;
    }
    return true;
}

void PlaySled::PauseBetweenRepeats() {
    // A repeated scale of an odd number of eighths gets a short breath before it starts again.
    const bool oddScale = state_.settings.StudyType == study_type::Scale && ContinuousPlay == flag::True &&
                          state_.sequence.SeqCount % 2 != 0;
    if (!oddScale) return;
    timer_.HiDelay(RoundHalfEven(static_cast<double>(BeatMs(state_.settings.Tempo)) / SixteenthsPerBeat));
}

void PlaySled::ShowRepeatLabel(int number, int count) {
    host().ShowRepeatLabel(RepeatLabelText(number, count, state_.settings.RepeatOn), PlayTempo);
}

void PlaySled::RebuildForPlay(int mode) {
    host().Prepair4PLAY(true);
    PrepareTimeline(mode);
}

void PlaySled::PrepareTimeline(int mode) {
    const PlaySequence& seq = state_.sequence;
    const StaffPositions staff = host().staffPositions();
    ClearTimeline(timeline_,
                  static_cast<int>(std::min<long long>(SequenceTicks(seq), timeline_limits::MaximumLength)));
    BuildTimeline(timeline_, seq, staff.noteX, staff.rowBase);
    const Settings& s = state_.settings;
    const auto build = [&](int variant) {
        accompaniment_.BuildAccompaniment(timeline_, variant, s, seq.BeatsPerBar, s.StudyType, yield_);
    };
    if (mode == rebuild_mode::Variant0 || mode == rebuild_mode::BothVariants) build(0);
    if (mode == rebuild_mode::Variant1 || mode == rebuild_mode::BothVariants) build(1);
}

// --- The play actions

void PlaySled::RunPlayAction(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception&) {
        prompter_.message(play_texts::UnexpectedError);
        settleAfterFault();
    }
}

void PlaySled::settleAfterFault() {
    // The fault may have come from the window itself: whatever it does again, the action ends here.
    try {
        ContinuousPlay = flag::False;
        allNotesOff();
        PlayerHost& view = host();
        view.HidePlayCursor();
        view.CircleEndPlay();
        view.EndPlayKeyboard();
        view.setQuitAndReferenceEnabled(true);
        view.MakeSound_Bot_show(false);
    } catch (const std::exception&) {
        ContinuousPlay = flag::False;
    }
}

void PlaySled::ReturnToIdle() {
    ContinuousPlay = flag::False;
    host().MakeSound_Bot_show(false);
}

void PlaySled::PlayRepeated(int step) {
    RunPlayAction([this, step] { playRepeated(step); });
}

void PlaySled::playRepeated(int step) {
    Settings& s = state_.settings;
    state_.StopRequested = flag::False;
    ContinuousPlay = flag::True;
    PlayTempo = s.Tempo;
    host().MakeSound_Bot_show(true);

    midi_.SendProgramChanges();
    ShowRepeatLabel(1, s.RepeatCount);
    RebuildForPlay(rebuild_mode::BothVariants);
    // A stop pressed while the accompaniment was built has already put the controls back to idle.
    if (stopRequested()) return;
    timer_.HiDelay(hidelay::Restart);
    if (!CountIn()) {
        ReturnToIdle();
        return;
    }

    int counter = 0;
    bool firstPass = true;
    int savedRoot = s.RootKey;
    for (;;) {
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
                host().MakeSound_Bot_show(false);
                return;
            }
            if (s.RepeatOn != 1) {
                ReturnToIdle();
                return;
            }
            if (s.StudyType < study_type::IIVIPhrase) PauseBetweenRepeats();
            if (++counter > play_limits::CounterWrap) counter = 0;
        }

        // The root moves on; leaving the octave upwards or downwards carries into the octave shift.
        savedRoot = s.RootKey;
        int root = s.RootKey + step;
        if (root >= PitchClasses) ++state_.sequence.OctaveShift;
        if (root < 0) {
            --state_.sequence.OctaveShift;
            root += PitchClasses;
        }
        s.RootKey = static_cast<std::int16_t>(((root % PitchClasses) + PitchClasses) % PitchClasses);
        firstPass = false;
    }
}

void PlaySled::PlayOnce() {
    RunPlayAction([this] { playOnce(); });
}

void PlaySled::playOnce() {
    state_.StopRequested = flag::False;
    ContinuousPlay = flag::False;
    host().setQuitAndReferenceEnabled(false);
    PlayTempo = state_.settings.Tempo;
    PrepareTimeline(rebuild_mode::Variant0);
    timer_.HiDelay(hidelay::Restart);
    // A stop pressed while the accompaniment was built is not forgotten by the play-through.
    if (!stopRequested()) PlaySound(0);
    host().redrawViews();
    host().setQuitAndReferenceEnabled(true);
}

void PlaySled::Metronome() {
    RunPlayAction([this] { metronome(); });
}

void PlaySled::metronome() {
    host().MakeSound_Bot_show(true);
    state_.StopRequested = flag::False;
    ContinuousPlay = flag::False;
    timer_.HiDelay(hidelay::Restart);
    if (CountIn()) {
        // The tempo is read for every beat, so a change acts on the next one.
        do {
            midi_.MidiClick();
        } while (timer_.HiDelay(BeatMs(state_.settings.Tempo)) != hidelay::Stopped);
    }
    host().MakeSound_Bot_show(false);
}

void PlaySled::Stop() {
    ContinuousPlay = flag::False;
    state_.StopRequested = flag::True;
    PlayerHost& view = host();
    view.MakeSound_Bot_show(false);
    view.hideRepeatLabel();
    view.DrawKeys();
}

} // namespace orbel
