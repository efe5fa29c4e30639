// The player on a hand-driven clock: tick and swing lengths, what each tick sends, the play button's
// repetitions and root progression, the sound button, the metronome and the stop.

#include "sound/live_settings.h"
#include "sound/play_texts.h"
#include "sound/play_timing.h"
#include "sound/player_rig.h"
#include "sound/practice_listener.h"
#include "theory/timeline_build.h"

#include <array>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace orbel {
namespace {

using testing::AllNotesOffOn;
using testing::Click;
using testing::CountInClick;
using testing::MelodyNote;
using testing::NoteOnOn;
using testing::PlayerRig;

std::vector<std::int64_t> MillisFrom(const std::vector<RecordingOutput::Record>& records,
                                     std::int64_t start) {
    std::vector<std::int64_t> ms;
    for (const auto& r : records)
        ms.push_back((r.micros - start + 500) / 1000);
    return ms;
}

std::vector<int> Keys(const std::vector<RecordingOutput::Record>& records) {
    std::vector<int> keys;
    for (const auto& r : records)
        keys.push_back(Data1Of(r.message));
    return keys;
}

// --- Lengths

struct LengthCase {
    int tempo;
    int swingLevel;
    TickLengths expected;
};

void PrintTo(const LengthCase& c, std::ostream* os) {
    *os << "tempo " << c.tempo << ", swing level " << c.swingLevel;
}

class TickLengthsTest : public ::testing::TestWithParam<LengthCase> {};

TEST_P(TickLengthsTest, BeatTickAndSwingPair) {
    const LengthCase& c = GetParam();
    const TickLengths got = TickLengthsFor(c.tempo, c.swingLevel);
    EXPECT_EQ(got.beat, c.expected.beat);
    EXPECT_EQ(got.tick, c.expected.tick);
    EXPECT_EQ(got.swingLong, c.expected.swingLong);
    EXPECT_EQ(got.swingShort, c.expected.swingShort);
}

INSTANTIATE_TEST_SUITE_P(
    Player, TickLengthsTest,
    ::testing::Values(LengthCase{120, 0, {500, 21, 25, 17}}, // 504 ms a played beat
                      LengthCase{100, 0, {600, 25, 30, 20}}, LengthCase{100, 1, {600, 25, 35, 15}},
                      LengthCase{100, 2, {600, 25, 40, 10}},
                      LengthCase{98, 1, {612, 26, 36, 16}},  // 25.5 rounds to the even 26
                      LengthCase{102, 1, {588, 24, 34, 14}}, // 24.5 rounds to the even 24
                      LengthCase{100, 7, {600, 25, 40, 10}}, // beyond the levels: the heaviest
                      LengthCase{
                          0, 1, {60000, 2500, 3500, 1500}}, // no tempo: the slowest, not a division by 0
                      LengthCase{30000, 2, {2, 1, 1, 1}})); // never a wait of 0, which would restart

TEST(RepeatLabel, TextPositionAndProgressionSteps) {
    EXPECT_EQ(RepeatLabelText(2, 4, 1), QStringLiteral("2/4"));
    EXPECT_EQ(RepeatLabelText(2, 4, 0), QString());
    const LabelPosition withKeyboard = RepeatLabelPosition(1000, 2000, 500, flag::True);
    EXPECT_FLOAT_EQ(withKeyboard.x, 1600);
    EXPECT_FLOAT_EQ(withKeyboard.y, 1500);
    const LabelPosition without = RepeatLabelPosition(1000, 2000, 500, flag::False);
    EXPECT_FLOAT_EQ(without.x, 1400);
    EXPECT_FLOAT_EQ(without.y, 750);
    EXPECT_EQ(ProgressionStep(0), 1);
    EXPECT_EQ(ProgressionStep(1), -1);
    EXPECT_EQ(ProgressionStep(2), 5);
    EXPECT_EQ(ProgressionStep(3), 0);
    EXPECT_EQ(ProgressionStep(4), 0);
    EXPECT_EQ(ProgressionStep(-1), 0);
}

// --- One play-through: timing

TEST(PlaySound, TempoOf120PlaysTicksOf21MsAndABarOf2016Ms) {
    PlayerRig rig;
    rig.setMelody({{24, 24}, {26, 24}, {28, 24}, {29, 24}});
    const std::int64_t start = rig.playOnceFromHere();
    EXPECT_EQ(MillisFrom(rig.recordsWhere(NoteOnOn(0)), start),
              (std::vector<std::int64_t>{0, 504, 1008, 1512}));
    // The bar ends with everything switched off after its 96 ticks.
    const auto offs = rig.recordsWhere(AllNotesOffOn(2));
    ASSERT_FALSE(offs.empty());
    EXPECT_EQ(MillisFrom({offs.back()}, start), std::vector<std::int64_t>{2016});
    EXPECT_EQ(rig.host.playEnds, 1);
    // Every message is due on the deadline of its tick, the last all-notes-off on the end of the bar.
    ASSERT_TRUE(rig.output->records().front().dueMicros);
    const std::int64_t chain = *rig.output->records().front().dueMicros; // the restart
    for (const auto& r : rig.output->records()) {
        ASSERT_TRUE(r.dueMicros);
        EXPECT_EQ((*r.dueMicros - chain) % 21000, 0) << *r.dueMicros - chain;
    }
    EXPECT_EQ(*offs.back().dueMicros - chain, 2016000);
}

TEST(PlaySound, SwingAtTempo100LevelStandardSplitsTheBeat420To180) {
    PlayerRig rig;
    rig.state.settings.Tempo = 100;
    rig.state.settings.SwingOn = 1;
    rig.state.settings.SwingLevel = 1;
    rig.setMelody({{24, 12}, {26, 12}, {28, 12}, {29, 12}});
    const std::int64_t start = rig.playOnceFromHere();
    EXPECT_EQ(MillisFrom(rig.recordsWhere(NoteOnOn(0)), start),
              (std::vector<std::int64_t>{0, 420, 600, 1020}));
    EXPECT_EQ(MillisFrom({rig.recordsWhere(AllNotesOffOn(0)).back()}, start),
              std::vector<std::int64_t>{1200});
}

TEST(PlaySound, ClicksFallOnEveryBeatOnly) {
    PlayerRig rig;
    rig.state.settings.ClickOn = 1;
    rig.setMelody({{24, 100}});
    const std::int64_t start = rig.playOnceFromHere();
    EXPECT_EQ(rig.ticksWhere(Click(), start, 21), (std::vector<int>{0, 24, 48, 72, 96}));
}

TEST(PlaySound, SwitchesActOnTheNextTick) {
    PlayerRig rig;
    rig.setMelody({{24, 24}, {26, 24}, {28, 24}, {29, 24}});
    // Half-way through the second beat, the click goes on and the melody off; the cursors keep moving.
    rig.onYield = [&rig] {
        if (rig.clock.peek().time_since_epoch() >= std::chrono::milliseconds(21 * 36)) {
            rig.state.settings.ClickOn = 1;
            rig.state.settings.MelodyOn = 0;
        }
    };
    const std::int64_t start = rig.playOnceFromHere();
    EXPECT_EQ(rig.ticksWhere(Click(), start, 21), (std::vector<int>{48, 72}));
    EXPECT_EQ(rig.ticksWhere(NoteOnOn(0), start, 21), (std::vector<int>{0, 24}));
    EXPECT_EQ(rig.host.cursorTicks, (std::vector<int>{0, 24, 48, 72}));
}

// Switched off in the second beat, the accompaniment and the melody end their notes on the third and send
// no more; switched on again in the third beat, both come back on the fourth.
TEST(PlaySound, AccompanimentAndMelodySwitchesActOnTheNextBeat) {
    PlayerRig rig;
    Settings& s = rig.state.settings;
    s.AccompanimentOn = 1;
    Timeline& t = rig.sled->timeline();
    ClearTimeline(t, 96);
    t.TimelineLength = 96;
    for (int v = 0; v < 96; v += 12) {
        t.cell(0, 1, v) = 36;
        t.cell(0, timeline_limits::VoiceBass, v) = 24;
        if (v % 24 == 0) t.cell(0, timeline_limits::VoiceMelody, v) = 48;
    }
    rig.onYield = [&rig, &s] {
        const auto now = rig.clock.peek().time_since_epoch();
        const bool off =
            now >= std::chrono::milliseconds(21 * 30) && now < std::chrono::milliseconds(21 * 60);
        s.AccompanimentOn = s.MelodyOn = off ? 0 : 1;
    };
    rig.sled->PlayTempo = 120;
    rig.sled->HiDelay(hidelay::Restart);
    const std::int64_t start = rig.micros(rig.clock.peek());
    rig.sled->PlaySound(0);

    for (int channel : {1, 2}) {
        SCOPED_TRACE(channel);
        EXPECT_EQ(rig.ticksWhere(NoteOnOn(channel), start, 21), (std::vector<int>{0, 12, 24, 36, 72, 84}));
        EXPECT_EQ(rig.ticksWhere(AllNotesOffOn(channel), start, 21),
                  (std::vector<int>{0, 0, 12, 24, 36, 48, 72, 84, 96}));
    }
    EXPECT_EQ(rig.ticksWhere(NoteOnOn(0), start, 21), (std::vector<int>{0, 24, 72}));
    EXPECT_EQ(rig.ticksWhere(AllNotesOffOn(0), start, 21), (std::vector<int>{0, 48, 96}));
}

// --- One play-through: what ends a melody note

struct EndingCase {
    const char* name;
    std::vector<MelodyNote> notes;
    std::vector<int> melodyOffTicks; // the first is the start, the last the end of the play-through
};

void PrintTo(const EndingCase& c, std::ostream* os) {
    *os << c.name;
}

class MelodyEndingTest : public ::testing::TestWithParam<EndingCase> {};

TEST_P(MelodyEndingTest, AllNotesOffOnTheMelodyChannel) {
    PlayerRig rig;
    rig.setMelody(GetParam().notes);
    const std::int64_t start = rig.playOnceFromHere();
    EXPECT_EQ(rig.ticksWhere(AllNotesOffOn(0), start, 21), GetParam().melodyOffTicks);
}

INSTANTIATE_TEST_SUITE_P(Player, MelodyEndingTest,
                         ::testing::Values(
                             // After tick 100 a tied note lets the note ring, a new note or a rest ends it.
                             EndingCase{"TieAndRestAfterTick100",
                                        {{24, 104}, {24, 24, false, true}, {28, 24}, {30, 24, true}},
                                        {0, 128, 152, 176}},
                             // Up to tick 100 notes overlap; after it each melody event ends the note before.
                             EndingCase{"OverlapUpToTick100",
                                        {{30, 12, true}, {24, 12}, {26, 88}, {28, 12}, {29, 12}},
                                        {0, 112, 124, 136}}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- One play-through: accompaniment voices

TEST(PlaySound, ChordsReplaceTheChordBeforeAndTheBassItsNote) {
    PlayerRig rig;
    rig.state.settings.AccompanimentOn = 1;
    Timeline& t = rig.sled->timeline();
    ClearTimeline(t, 96);
    t.TimelineLength = 96;
    t.cell(0, 0, 0) = 24;
    // Variant 1: a full chord at 0, then one whose lowest voice was left out at 48.
    const std::array<std::int16_t, 4> first{12, 16, 19, 22};
    const std::array<std::int16_t, 4> second{timeline_limits::NoEvent, 17, 21, 24};
    for (int m = 0; m < 4; ++m) {
        t.cell(1, 1 + m, 0) = first[static_cast<std::size_t>(m)];
        t.cell(1, 1 + m, 48) = second[static_cast<std::size_t>(m)];
    }
    t.cell(1, 5, 0) = 0;
    t.cell(1, 5, 48) = 5;
    t.cell(0, 5, 24) = 11; // variant 0 is not played
    rig.sled->PlayTempo = 120;
    rig.sled->HiDelay(hidelay::Restart);
    const std::int64_t start = rig.micros(rig.clock.peek());
    rig.sled->PlaySound(1);

    EXPECT_EQ(Keys(rig.recordsWhere(NoteOnOn(1))), (std::vector<int>{12, 16, 19, 22, 17, 21, 24}));
    EXPECT_EQ(rig.ticksWhere(AllNotesOffOn(1), start, 21), (std::vector<int>{0, 0, 48, 96}));
    EXPECT_EQ(Keys(rig.recordsWhere(NoteOnOn(2))), (std::vector<int>{0, 5}));
    EXPECT_EQ(rig.ticksWhere(AllNotesOffOn(2), start, 21), (std::vector<int>{0, 0, 48, 96}));
    // The switch-off comes before the new chord's first note: off, off, 4 notes, off, 3 notes, off.
    std::vector<int> chordChannel; // 0 for a switch-off, else the key
    for (ShortMessage m : rig.output->messages()) {
        if (StatusOf(m) == midi_bytes::ControlChange + 1) chordChannel.push_back(0);
        if (StatusOf(m) == midi_bytes::NoteOn + 1) chordChannel.push_back(Data1Of(m));
    }
    EXPECT_EQ(chordChannel, (std::vector<int>{0, 0, 12, 16, 19, 22, 0, 17, 21, 24, 0}));
}

TEST(PlaySound, ASequenceFarLongerThan3000TicksPlaysToItsEnd) {
    PlayerRig rig;
    std::vector<MelodyNote> notes;
    for (int i = 0; i < 512; ++i)
        notes.push_back({24 + i % 12, 96});
    rig.setMelody(notes);
    const std::int64_t start = rig.playOnceFromHere();
    const auto ons = rig.recordsWhere(NoteOnOn(0));
    ASSERT_EQ(ons.size(), 512U);
    EXPECT_EQ(MillisFrom({ons.back()}, start), std::vector<std::int64_t>{511LL * 96 * 21});
    EXPECT_EQ(MillisFrom({rig.output->records().back()}, start), std::vector<std::int64_t>{512LL * 96 * 21});
}

// --- The play button

TEST(PlayButton, WithoutRepeatPlaysOneRepetitionAndReturnsToIdle) {
    PlayerRig rig;
    rig.state.settings.RepeatOn = 0;
    rig.state.settings.RepeatCount = 4;
    rig.setMelody({{24, 24}});
    rig.sled->PlayRepeated(ProgressionStep(2));
    EXPECT_EQ(rig.host.playedItems.size(), 1U);
    EXPECT_EQ(rig.host.controls, (std::vector<bool>{true, false}));
    EXPECT_FALSE(rig.sled->continuousPlay());
    EXPECT_EQ(rig.host.labels.back(), QString()); // no "k/n" without repeat
    EXPECT_EQ(rig.host.prepareCalls, 1);
    EXPECT_EQ(rig.state.settings.RootKey, 0);
}

// A root chosen on the views during a pass is where the progression goes on from; with "そのまま" the root
// stays where it was chosen.
TEST(PlayButton, ARootChosenWhilePlayingTakesOverAtTheEndOfThePass) {
    for (const int step : {5, 0}) {
        PlayerRig rig;
        LiveSettings live;
        Settings& s = rig.state.settings;
        s.RepeatOn = 1;
        s.RepeatCount = 1;
        live.publish(s);
        rig.sled->setLiveSettings(&live);
        rig.setMelody({{24, 24}});
        rig.host.onPlayThrough = [&](int n) {
            if (n == 1) live.requestRoot(3);
            if (n == 3) rig.sled->Stop();
        };
        rig.sled->PlayRepeated(step);
        std::vector<int> roots;
        for (const auto& played : rig.host.playedRoots)
            roots.push_back(played.first);
        EXPECT_EQ(roots, step == 5 ? (std::vector<int>{0, 8, 1}) : (std::vector<int>{0, 3, 3})) << step;
    }
}

TEST(PlayButton, TheRampHoldsAgainstTheWindowsOldTempoAndGoesOnFromTheUsersOwn) {
    PlayerRig rig;
    LiveSettings live;
    Settings& s = rig.state.settings;
    s.RepeatOn = 1;
    s.RepeatCount = 1;
    s.Tempo = 120;
    Settings window = s; // what the window shows
    live.publish(window);
    rig.sled->setLiveSettings(&live);
    rig.sled->setTempoRamp(TempoRamp{10, 1, 300, false});
    rig.setMelody({{24, 24}});
    std::vector<int> tempi;
    rig.host.onPlayThrough = [&](int n) {
        tempi.push_back(rig.sled->PlayTempo);
        if (n == 2) live.publish(window); // a volume moved before the window heard of the ramp
        if (n == 3) {
            // The window hears of the ramp's first step late, after the second, and shows it.
            window.Tempo = 130;
            live.publish(window);
        }
        if (n == 4) live.chooseTempo(200); // the user's own tempo
        if (n == 6) rig.sled->Stop();
    };
    rig.sled->PlayRepeated(0);
    EXPECT_EQ(tempi, (std::vector<int>{120, 130, 140, 150, 210, 220}));
}

TEST(PlayButton, TheCheckHearsEveryMelodyNoteAtItsDueTimeEvenWithTheMelodyMuted) {
    class Listener final : public PracticeListener {
    public:
        void performanceBegins() override {}
        void repetitionBegins(MidiClock::time_point at, int /*tempo*/) override { starts.push_back(at); }
        void melodyNote(int key, MidiClock::time_point due) override { notes.emplace_back(key, due); }
        void repetitionEnds(MidiClock::time_point /*at*/) override {}
        bool muteMelody() const override { return mute; }
        bool mute = false;
        std::vector<MidiClock::time_point> starts;
        std::vector<std::pair<int, MidiClock::time_point>> notes;
    };
    for (const bool mute : {false, true}) {
        PlayerRig rig;
        Listener listener;
        listener.mute = mute;
        rig.sled->setPracticeListener(&listener);
        rig.setMelody({{24, 24}, {26, 12}, {0, 12, true}});
        rig.playOnceFromHere();
        const auto melodyOn = rig.recordsWhere(
            [](ShortMessage m) { return StatusOf(m) == midi_bytes::NoteOn && Data2Of(m) > 0; });
        EXPECT_EQ(melodyOn.size(), mute ? 0U : 2U);
        ASSERT_EQ(listener.notes.size(), 2U) << mute;
        ASSERT_EQ(listener.starts.size(), 1U);
        // Keys as sent, due a beat apart from the repetition's start.
        EXPECT_EQ(listener.notes[0].first, rig.midi->KeyOf(24).value());
        EXPECT_EQ(listener.notes[0].second, listener.starts[0]);
        EXPECT_EQ(listener.notes[1].second - listener.notes[0].second,
                  std::chrono::milliseconds(24 * TickLengthsFor(120, 0).tick));
    }
}

TEST(PlayButton, FourthProgressionCarriesTheOctave) {
    PlayerRig rig;
    Settings& s = rig.state.settings;
    s.RepeatOn = 1;
    s.RepeatCount = 2;
    s.RootKey = 7;
    rig.setMelody({{24, 24}});
    rig.host.onPlayThrough = [&rig](int n) {
        if (n == 7) rig.sled->Stop();
    };
    rig.sled->PlayRepeated(ProgressionStep(2));
    const std::vector<std::pair<int, int>> expected{{7, 0}, {7, 0}, {0, 1}, {0, 1}, {5, 1}, {5, 1}, {10, 1}};
    EXPECT_EQ(rig.host.playedRoots, expected);
    // The first build, and one for every new root.
    EXPECT_EQ(rig.host.prepareCalls, 4);
    EXPECT_EQ(std::vector<QString>(rig.host.labels.begin(), rig.host.labels.begin() + 5),
              (std::vector<QString>{"1/2", "1/2", "2/2", "1/2", "2/2"}));
    EXPECT_EQ(rig.host.controls.back(), false);
    EXPECT_FALSE(rig.sled->continuousPlay());
}

TEST(PlayButton, RepetitionsAlternateTheAccompanimentVariants) {
    PlayerRig rig;
    Settings& s = rig.state.settings;
    s.RepeatOn = 1;
    s.RepeatCount = 3;
    s.CountInOn = 1;
    s.AccompanimentOn = 1;
    rig.setMelody({{24, 24}});
    // Once the timeline is built (during the count-in), give each variant its own bass note.
    rig.onYield = [&rig] {
        if (rig.yields != 1) return;
        rig.sled->timeline().cell(0, timeline_limits::VoiceBass, 0) = 10;
        rig.sled->timeline().cell(1, timeline_limits::VoiceBass, 0) = 11;
    };
    rig.host.onPlayThrough = [&rig](int n) {
        if (n == 5) rig.sled->Stop();
    };
    rig.sled->PlayRepeated(ProgressionStep(3));
    EXPECT_EQ(rig.recordsWhere(CountInClick()).size(), 6U);
    EXPECT_EQ(Keys(rig.recordsWhere(NoteOnOn(2))), (std::vector<int>{10, 11, 10, 11, 10}));
    // "そのまま": one build for the whole run.
    EXPECT_EQ(rig.host.prepareCalls, 1);
}

TEST(PlayButton, StopDuringTheCountInPlaysNothing) {
    PlayerRig rig;
    rig.state.settings.CountInOn = 1;
    rig.state.settings.RepeatOn = 1;
    rig.setMelody({{24, 24}});
    rig.onYield = [&rig] { rig.sled->Stop(); };
    rig.sled->PlayRepeated(1);
    EXPECT_TRUE(rig.recordsWhere(NoteOnOn(0)).empty());
    EXPECT_TRUE(rig.host.playedItems.empty());
    // The stop comes in while the first count-in click is ringing.
    EXPECT_EQ(rig.recordsWhere(CountInClick()).size(), 1U);
    EXPECT_EQ(rig.host.controls.back(), false);
    EXPECT_FALSE(rig.sled->continuousPlay());
}

struct PauseCase {
    int studyType;
    int notes;
    std::int64_t gapMs; // from the start of one repetition to the start of the next
};

void PrintTo(const PauseCase& c, std::ostream* os) {
    *os << "study type " << c.studyType << ", " << c.notes << " notes";
}

class PauseBetweenRepeatsTest : public ::testing::TestWithParam<PauseCase> {};

TEST_P(PauseBetweenRepeatsTest, OnlyAnOddScaleGetsASixteenthRest) {
    const PauseCase& c = GetParam();
    PlayerRig rig;
    rig.state.settings.StudyType = static_cast<std::int16_t>(c.studyType);
    rig.state.settings.RepeatOn = 1;
    rig.state.settings.RepeatCount = 2;
    rig.setMelody(std::vector<MelodyNote>(static_cast<std::size_t>(c.notes), MelodyNote{24, 12}));
    rig.host.onPlayThrough = [&rig](int n) {
        if (n == 3) rig.sled->Stop();
    };
    rig.sled->PlayRepeated(0);
    ASSERT_GE(rig.host.playStarts.size(), 2U);
    EXPECT_EQ(PlayerRig::micros(rig.host.playStarts[1]) / 1000 -
                  PlayerRig::micros(rig.host.playStarts[0]) / 1000,
              c.gapMs);
}

INSTANTIATE_TEST_SUITE_P(Player, PauseBetweenRepeatsTest,
                         ::testing::Values(PauseCase{0, 3, 36 * 21 + 125}, PauseCase{0, 4, 48 * 21},
                                           PauseCase{1, 3, 36 * 21}, PauseCase{3, 3, 36 * 21}));

TEST(PlayButton, AnEmptySequenceEndsAtOnceInsteadOfSpinning) {
    PlayerRig rig;
    rig.state.settings.RepeatOn = 1;
    rig.setMelody({});
    rig.sled->PlayRepeated(1);
    EXPECT_EQ(rig.host.controls, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rig.host.playedItems.empty());
}

TEST(PlayButton, AFaultIsToldAndTheControlsReturnToIdle) {
    PlayerRig rig;
    rig.setMelody({{24, 24}});
    rig.host.onPrepare = [](bool) { throw std::runtime_error("broken"); };
    rig.sled->PlayRepeated(1);
    EXPECT_EQ(rig.prompter.messages, QStringList{play_texts::UnexpectedError});
    EXPECT_EQ(rig.host.controls.back(), false);
    EXPECT_FALSE(rig.sled->continuousPlay());
    EXPECT_FALSE(rig.recordsWhere(AllNotesOffOn(0)).empty());
}

// --- Sound button, metronome, stop

TEST(SoundButton, PlaysOnceWithoutCountInAndLeavesThePlayControlsAlone) {
    PlayerRig rig;
    rig.state.settings.CountInOn = 1;
    rig.sled->requestStop(); // a stop of the action before
    rig.setMelody({{24, 24}, {26, 24}});
    rig.sled->PlayOnce();
    EXPECT_TRUE(rig.recordsWhere(CountInClick()).empty());
    EXPECT_EQ(rig.recordsWhere(NoteOnOn(0)).size(), 2U);
    EXPECT_TRUE(rig.host.controls.empty());
    EXPECT_EQ(rig.host.quitAndReference, (std::vector<bool>{false, true}));
    EXPECT_EQ(rig.host.redraws, 1);
    EXPECT_EQ(rig.host.prepareCalls, 0);
}

TEST(Metronome, ClicksRegardlessOfClickOnAtTheTempoOfEachBeat) {
    PlayerRig rig;
    rig.state.settings.ClickOn = 0;
    rig.onYield = [&rig] {
        if (rig.yields == 2) rig.state.settings.Tempo = 60;
        if (rig.yields == 4) rig.sled->Stop();
    };
    rig.sled->Metronome();
    const std::int64_t start = PlayerRig::micros(DeadlineClock::TimePoint{});
    EXPECT_EQ(MillisFrom(rig.recordsWhere(Click()), start), (std::vector<std::int64_t>{0, 500, 1000, 2000}));
    EXPECT_EQ(rig.host.controls.front(), true);
    EXPECT_EQ(rig.host.controls.back(), false);
}

// A stop pressed at any moment of a repeating play ends it: in a pass, at a pass's end, in the pause
// between passes or while the next pass is built. Nothing sounds after it.
TEST(Stop, AStopAtAnyMomentEndsTheRepeatingPlay) {
    for (int stopAt = 1; stopAt <= 120; ++stopAt) {
        SCOPED_TRACE(stopAt);
        PlayerRig rig;
        rig.state.settings.RepeatOn = 1;
        rig.state.settings.RepeatCount = 2;
        rig.state.settings.StudyType = 0;
        rig.setMelody({{24, 6}, {26, 6}, {28, 6}}); // an odd scale: a pause between passes
        int yields = 0;
        std::optional<std::int64_t> stoppedAt;
        rig.onYield = [&] {
            if (++yields == stopAt) {
                rig.sled->Stop();
                stoppedAt = PlayerRig::micros(rig.clock.peek());
            }
            if (stoppedAt && yields > stopAt + 1000) throw std::runtime_error("played on after the stop");
        };
        rig.sled->PlayRepeated(1);
        ASSERT_TRUE(stoppedAt.has_value());
        EXPECT_TRUE(rig.prompter.messages.isEmpty()) << "played on after the stop";
        for (const RecordingOutput::Record& r : rig.recordsWhere(NoteOnOn(0)))
            EXPECT_LE(r.micros, *stoppedAt);
    }
}

TEST(Stop, EndsThePlayAndPutsTheControlsBackToIdle) {
    PlayerRig rig;
    rig.sled->setContinuousPlay(true);
    rig.sled->Stop();
    EXPECT_TRUE(rig.sled->stopRequested());
    EXPECT_FALSE(rig.sled->continuousPlay());
    EXPECT_EQ(rig.host.controls, std::vector<bool>{false});
    EXPECT_EQ(rig.host.labelHidden, 1);
    EXPECT_EQ(rig.host.keysDrawn, 1);
}

} // namespace
} // namespace orbel
