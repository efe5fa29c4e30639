#pragma once
// A player without a window for the tests: a hand-driven clock, a recording MIDI output stamped with that
// clock, and a listener that records what the player told the window. The sequence is the test's own: the
// player's rebuilds only count, so a melody set by hand stays what plays.

#include "app/program_state.h"
#include "sound/deadline_clock.h"
#include "sound/midi1.h"
#include "sound/play_sled.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace orbel::testing {

// Records what the player tells the window; hooks let a test act "inside" it, as a user would.
class FakeHost : public PlayerEvents, public PlayerViews {
public:
    explicit FakeHost(ProgramState& state, ManualClock& clock, RecordingPrompter& prompter)
        : state_(state), clock_(clock), prompter_(prompter) {}

    void CircleLayout() override {
        // Called once at the start of every play-through.
        playedItems.push_back(selected);
        playedRoots.emplace_back(state_.settings.RootKey, state_.sequence.OctaveShift);
        playStarts.push_back(clock_.peek());
        if (onPlayThrough) onPlayThrough(static_cast<int>(playedItems.size()));
    }
    void MovePlayCursor(int tick, bool first) override {
        if (!first) cursorTicks.push_back(tick);
    }
    void HidePlayCursor() override { ++playEnds; }
    void ShowRepeatLabel(const QString& label, int tempo) override {
        labels.push_back(label);
        labelTempos.push_back(tempo);
    }
    void hideRepeatLabel() override { ++labelHidden; }
    void DrawKeys() override { ++keysDrawn; }
    void MakeSound_Bot_show(bool isPlaying) override { controls.push_back(isPlaying); }
    void setQuitAndReferenceEnabled(bool enabled) override { quitAndReference.push_back(enabled); }
    void redrawViews() override { ++redraws; }
    void tellUser(const QString& text) override { prompter_.message(text); }

    // The player's builds: a new root or octave (isChangeOnly), or an item chosen from the list.
    BuildMessage build(bool isChangeOnly) {
        if (isChangeOnly) {
            ++prepareCalls;
            if (onPrepare) onPrepare(true);
        } else {
            selected = state_.settings.StudyItem[static_cast<std::size_t>(state_.settings.StudyType)];
            selections.push_back(selected);
            if (onSelect) onSelect(selected);
        }
        return {};
    }

    // What the player asked for.
    std::vector<int> playedItems;                 // the selected item at the start of every play-through
    std::vector<std::pair<int, int>> playedRoots; // RootKey and OctaveShift at the same moments
    std::vector<DeadlineClock::TimePoint> playStarts;
    std::vector<int> cursorTicks;
    std::vector<QString> labels;
    std::vector<int> labelTempos;
    std::vector<bool> controls;
    std::vector<bool> quitAndReference;
    std::vector<int> selections;
    int playEnds = 0;
    int labelHidden = 0;
    int keysDrawn = 0;
    int prepareCalls = 0;
    int redraws = 0;

    int selected = -1;

    std::function<void(int playThrough)> onPlayThrough;
    std::function<void(bool isChangeOnly)> onPrepare;
    std::function<void(int item)> onSelect;

private:
    ProgramState& state_;
    ManualClock& clock_;
    RecordingPrompter& prompter_;
};

struct MelodyNote {
    int pitch = 24;
    int ticks = 24;
    bool rest = false;
    bool tie = false;
};

class PlayerRig {
public:
    PlayerRig() : host(state, clock, prompter) {
        Settings& s = state.settings;
        s.Tempo = 120;
        s.MelodyOn = 1;
        s.RepeatCount = 1;
        s.MelodyVolume = 100;
        s.ChordVolume = 90;
        s.BassVolume = 80;
        s.ClickVolume = 70;
        s.MelodyProgram = 1;
        s.ChordProgram = 1;
        s.ShowKeyboard = true;
        auto recorder = std::make_unique<RecordingOutput>([this] { return micros(clock.peek()); });
        output = recorder.get();
        midi = std::make_unique<Midi1>(s, prompter, std::move(recorder), std::nullopt);
        midi->MidiOpen();
        sled = std::make_unique<PlaySled>(
            state, *midi, clock,
            [this] {
                ++yields;
                if (onYield) onYield();
            },
            SeededRandom(7));
        sled->setEvents(&host);
        sled->setViews(&host);
        sled->setBuilder([this](bool isChangeOnly) { return host.build(isChangeOnly); });
    }

    static std::int64_t micros(DeadlineClock::TimePoint at) {
        return std::chrono::duration_cast<std::chrono::microseconds>(at.time_since_epoch()).count();
    }

    void setMelody(const std::vector<MelodyNote>& notes) {
        PlaySequence& seq = state.sequence;
        seq = PlaySequence{};
        for (const MelodyNote& n : notes) {
            const auto i = static_cast<std::size_t>(seq.SeqCount++);
            seq.SeqPitch[i] = static_cast<std::int16_t>(n.rest ? sequence_limits::RestPitch : n.pitch);
            seq.SeqDur[i] = static_cast<std::int16_t>(n.ticks);
            seq.SeqRest[i] = n.rest ? 1 : 0;
            seq.SeqTie[i] = n.tie ? 1 : 0;
        }
    }

    // Builds the timeline of the sequence and plays it once from a fresh deadline chain; returns the
    // moment the chain started.
    std::int64_t playOnceFromHere(int variant = 0) {
        sled->PlayTempo = state.settings.Tempo;
        sled->PrepareTimeline(rebuild_mode::BothVariants);
        sled->HiDelay(hidelay::Restart);
        const std::int64_t start = micros(clock.peek());
        sled->PlaySound(variant);
        return start;
    }

    // The records that match, in order.
    template <typename Match> std::vector<RecordingOutput::Record> recordsWhere(Match match) const {
        std::vector<RecordingOutput::Record> found;
        for (const auto& r : output->records()) {
            if (match(r.message)) found.push_back(r);
        }
        return found;
    }
    // The ticks (of tickMs milliseconds, counted from start) at which matching messages were sent.
    template <typename Match> std::vector<int> ticksWhere(Match match, std::int64_t start, int tickMs) const {
        std::vector<int> ticks;
        const std::int64_t tickUs = std::int64_t{tickMs} * 1000;
        for (const auto& r : recordsWhere(match))
            ticks.push_back(static_cast<int>((r.micros - start + tickUs / 2) / tickUs));
        return ticks;
    }

    ProgramState state;
    ManualClock clock;
    RecordingPrompter prompter;
    RecordingOutput* output = nullptr;
    std::unique_ptr<Midi1> midi;
    FakeHost host;
    std::unique_ptr<PlaySled> sled;
    std::function<void()> onYield;
    int yields = 0;
};

// Message tests.
inline auto NoteOnOn(int channel) {
    return
        [channel](ShortMessage m) { return StatusOf(m) == midi_bytes::NoteOn + channel && Data2Of(m) > 0; };
}
inline auto AllNotesOffOn(int channel) {
    return [channel](ShortMessage m) {
        return StatusOf(m) == midi_bytes::ControlChange + channel &&
               Data1Of(m) == midi_bytes::ControllerAllNotesOff;
    };
}
// The sounding half of a metronome click (key 33 with the first click sound).
inline auto Click() {
    return [](ShortMessage m) {
        return StatusOf(m) == midi_bytes::NoteOn + midi_channels::Percussion && Data1Of(m) == 33;
    };
}
inline auto CountInClick() {
    return [](ShortMessage m) {
        return StatusOf(m) == midi_bytes::NoteOn + midi_channels::Percussion &&
               Data1Of(m) == midi_sounds::CountInKey;
    };
}

} // namespace orbel::testing
