// One play-through of the timeline.
// Thread: the player's thread.
#include "sound/play_through.h"

#include "app/program_state.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "sound/practice_listener.h"

#include <algorithm>

namespace orbel {

namespace {

using timeline_limits::NoEvent;
using timeline_limits::VoiceBass;
using timeline_limits::VoiceMelody;

} // namespace

void PlayThrough::allNotesOff() {
    Midi1& midi = sled_.midi();
    midi.MidiAllNotesOff(midi_channels::Melody);
    midi.MidiAllNotesOff(midi_channels::Chord);
    midi.MidiAllNotesOff(midi_channels::Bass);
}

void PlayThrough::play(int variant) {
    const int accompanimentVariant = std::clamp(variant, 0, timeline_limits::Variants - 1);
    sled_.beforeSending();
    const Settings& settings = sled_.study().settings;
    const TickLengths lengths = TickLengthsFor(sled_.PlayTempo, settings.SwingLevel);
    // A stop stays requested from one play-through to the next: only the start of an action clears it, and
    // a play-through that begins after a stop sounds nothing.
    if (sled_.stopRequested()) return;

    PlayerViews& view = sled_.views();
    view.CircleLayout();
    view.MovePlayCursor(0, true);
    view.CircleShowTick(0, true);
    view.ShowPlayedKey(0);
    allNotesOff();
    if (PracticeListener* practice = sled_.practiceListener())
        practice->repetitionBegins(sled_.timer().mark(), sled_.PlayTempo);

    int wait = lengths.tick;
    SwitchesOnBeat switches{settings.AccompanimentOn == 1, settings.MelodyOn == 1};
    const Timeline& timeline = sled_.timeline();
    // The length is read on every tick: an action started from a wait may have rebuilt the timeline.
    for (int v = 0; v < timeline.TimelineLength && timeline.holds(v); ++v) {
        // The switches are read on every tick: the click, the swing and the melody act at once, the
        // accompaniment on the beat.
        sled_.beforeSending();
        const int inBeat = v % play_timing::TicksPerBeat;
        if (inBeat == 0) followSwitchesOnBeat(switches);
        if (settings.ClickOn == 1 && inBeat == 0) sled_.midi().MidiClick();
        if (settings.SwingOn == 1) {
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
        if (sled_.waitFor(wait, lengths.beat) == hidelay::Stopped) break;
    }

    // The notes end on the deadline of the last tick, or at once after a stop.
    const HiDelayTimer& timer = sled_.timer();
    sled_.midi().setDueTime(sled_.stopRequested() ? std::nullopt : std::optional(timer.mark()));
    allNotesOff();
    if (PracticeListener* practice = sled_.practiceListener())
        practice->repetitionEnds(sled_.stopRequested() ? timer.now() : timer.mark());
    view.HidePlayCursor();
    view.CircleEndPlay();
    view.EndPlayKeyboard();
}

void PlayThrough::followSwitchesOnBeat(SwitchesOnBeat& was) {
    const Settings& s = sled_.study().settings;
    const SwitchesOnBeat now{s.AccompanimentOn == 1, s.MelodyOn == 1};
    Midi1& midi = sled_.midi();
    // A voice switched off lets go of what it holds on the beat, rather than ringing on to its next event.
    if (was.accompaniment && !now.accompaniment) {
        midi.MidiAllNotesOff(midi_channels::Chord);
        midi.MidiAllNotesOff(midi_channels::Bass);
    }
    if (was.melody && !now.melody) midi.MidiAllNotesOff(midi_channels::Melody);
    was = now;
}

bool PlayThrough::playTick(int v, int variant, bool accompanied) {
    const Settings& s = sled_.study().settings;
    const Timeline& timeline = sled_.timeline();
    Midi1& midi = sled_.midi();
    PracticeListener* practice = sled_.practiceListener();
    bool melodyEvent = false;
    bool chordStruck = false;
    const int lastVoice = accompanied ? VoiceBass : VoiceMelody;
    for (int voice = VoiceMelody; voice <= lastVoice; ++voice) {
        const int cell = timeline.cell(voice == VoiceMelody ? 0 : variant, voice, v);
        if (cell <= NoEvent) continue;
        if (voice == VoiceMelody) {
            melodyEvent = true;
            // Early notes ring on into the next ones; later each melody event ends the note before it,
            // unless it is tied to it.
            if (v > play_limits::RingingUntilTick && timeline.TieAt[static_cast<std::size_t>(v)] != 1)
                midi.MidiAllNotesOff(midi_channels::Melody);
            const bool muted = practice != nullptr && practice->muteMelody();
            if (cell >= 0 && s.MelodyOn == 1 && !muted)
                midi.MidiNoteOn(midi_channels::Melody, cell, s.MelodyVolume);
            if (cell >= 0 && practice != nullptr) {
                if (const auto key = midi.KeyOf(cell)) practice->melodyNote(*key, sled_.timer().mark());
            }
        } else if (cell >= 0) {
            if (voice == VoiceBass) {
                midi.MidiAllNotesOff(midi_channels::Bass);
                midi.MidiNoteOn(midi_channels::Bass, cell, s.BassVolume);
            } else {
                // A new chord replaces the one before, also when its lowest voice was left out because
                // it doubles the bass.
                if (!chordStruck) midi.MidiAllNotesOff(midi_channels::Chord);
                chordStruck = true;
                midi.MidiNoteOn(midi_channels::Chord, cell, s.ChordVolume);
            }
        }
    }
    return melodyEvent;
}

} // namespace orbel
