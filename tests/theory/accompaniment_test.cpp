// Bass line and comping of the accompaniment, driven by a scripted random source.
#include "theory/accompaniment.h"

#include "sequence_test_support.h"
#include "theory/prepare_build.h"
#include "theory/sequence_builder.h"
#include "theory/timeline_build.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orbel {
namespace {

using namespace timeline_limits;
static constexpr int X = NoEvent;

// Bass pattern b and rhythm r drawn at the start of one bar.
struct Bar {
    int b;
    int r;
};

// Hands out the draws of the given bars in order, then repeats the last bar. Counts the draws.
struct ScriptedRandom {
    std::vector<double> values;
    std::size_t next = 0;
};

Accompaniment::RandomSource Scripted(const std::vector<Bar>& bars,
                                     std::shared_ptr<ScriptedRandom> script = nullptr) {
    if (!script) script = std::make_shared<ScriptedRandom>();
    for (const Bar& bar : bars) {
        script->values.push_back((bar.b - 0.5) / 5);
        script->values.push_back((bar.r - 0.5) / 4);
    }
    return [script]() {
        const std::size_t size = script->values.size();
        const std::size_t at = script->next < size ? script->next : size - 2 + script->next % 2;
        ++script->next;
        return script->values[at];
    };
}

Settings Accompanied(int swing = 0) {
    Settings settings;
    settings.AccompanimentOn = 1;
    settings.SwingOn = static_cast<std::int16_t>(swing);
    return settings;
}

// A cleared timeline of length ticks with chord symbols at the given ticks.
Timeline TimelineWith(int length, const std::map<int, std::string>& chords) {
    Timeline timeline;
    ClearTimeline(timeline, length);
    timeline.TimelineLength = length;
    for (const auto& [tick, chord] : chords) {
        timeline.EventChord[static_cast<std::size_t>(tick)] = chord;
    }
    return timeline;
}

std::vector<int> ChordAt(const Timeline& timeline, int variant, int tick) {
    std::vector<int> tones;
    for (int m = 0; m < ChordVoices; ++m) {
        tones.push_back(timeline.cell(variant, FirstChordVoice + m, tick));
    }
    return tones;
}

// Ticks where any chord voice of variant is written.
std::vector<int> StrikeTicks(const Timeline& timeline, int variant) {
    std::vector<int> ticks;
    for (int t = 0; t < timeline.capacity(); ++t) {
        for (int m = 0; m < ChordVoices; ++m) {
            if (timeline.cell(variant, FirstChordVoice + m, t) != NoEvent) {
                ticks.push_back(t);
                break;
            }
        }
    }
    return ticks;
}

// Ticks where the bass of variant is written, with their pitches.
std::map<int, int> BassNotes(const Timeline& timeline, int variant) {
    std::map<int, int> notes;
    for (int t = 0; t < timeline.capacity(); ++t) {
        if (timeline.cell(variant, VoiceBass, t) != NoEvent) notes[t] = timeline.cell(variant, VoiceBass, t);
    }
    return notes;
}

bool OnlyMelody(const Timeline& timeline) {
    return StrikeTicks(timeline, 0).empty() && StrikeTicks(timeline, 1).empty() &&
           BassNotes(timeline, 0).empty() && BassNotes(timeline, 1).empty();
}

// ---- When it plays at all

TEST(AccompanimentSwitch, OffOrScaleStudyLeavesOnlyTheMelody) {
    Timeline timeline;
    ClearTimeline(timeline);
    PlaySequence seq = test::SequenceOf({24, 26, 28, 29}, {24, 24, 24, 24});
    seq.SeqChord[0] = "C7";
    BuildTimeline(timeline, seq);
    const Timeline melodyOnly = timeline;

    Settings off = Accompanied();
    off.AccompanimentOn = 0;
    Accompaniment accompaniment(Scripted({{1, 4}}));
    for (const int variant : {0, 1}) {
        accompaniment.BuildAccompaniment(timeline, variant, off, 4, study_type::Chord);
        accompaniment.BuildAccompaniment(timeline, variant, Accompanied(), 4, study_type::Scale);
    }
    EXPECT_TRUE(OnlyMelody(timeline));
    EXPECT_EQ(timeline.Cells, melodyOnly.Cells);
}

TEST(AccompanimentSwitch, ChordStudyIsAccompaniedFromItsTitle) {
    const Catalogue catalogue = test::CatalogueOf({}, {{"M7", "434"}}, {});
    PlaySequence seq;
    Settings settings = Accompanied();
    ASSERT_FALSE(BuildScaleOrChord(seq, settings, catalogue, false, 0, 2).has_value());
    ASSERT_EQ(seq.SeqChord[0], "DM7");

    Timeline timeline;
    ClearTimeline(timeline);
    BuildTimeline(timeline, seq);
    Accompaniment accompaniment(Scripted({{1, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, settings, seq.BeatsPerBar, study_type::Chord);

    EXPECT_EQ(accompaniment.currentChord(), "DM7");
    // D F# A C#: the D an octave above the bass note D is left out.
    EXPECT_EQ(ChordAt(timeline, 0, 0), (std::vector<int>{X, 18, 21, 25}));
    EXPECT_EQ(BassNotes(timeline, 0), (std::map<int, int>{{0, 2}, {24, 6}}));
}

TEST(AccompanimentSwitch, NothingSoundsBeforeTheFirstChordSymbol) {
    Timeline timeline = TimelineWith(96, {{48, "F7"}});
    Accompaniment accompaniment(Scripted({{1, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(StrikeTicks(timeline, 0), (std::vector<int>{48}));
    // Pattern 1 on beat three plays the fifth, on beat four the third.
    EXPECT_EQ(BassNotes(timeline, 0), (std::map<int, int>{{48, 12}, {72, 9}}));
}

TEST(AccompanimentSwitch, EveryBuildStartsWithoutAChord) {
    Accompaniment accompaniment(Scripted({{1, 4}}));
    Timeline first = TimelineWith(96, {{0, "C7"}});
    accompaniment.BuildAccompaniment(first, 0, Accompanied(), 4, study_type::UserPhrase);
    Timeline second = TimelineWith(96, {});
    accompaniment.BuildAccompaniment(second, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(accompaniment.currentChord(), "");
    EXPECT_TRUE(OnlyMelody(second));
}

// ---- Steps, bars and draws

TEST(AccompanimentSteps, FourTickTimelineGetsOneStep) {
    auto script = std::make_shared<ScriptedRandom>();
    Accompaniment accompaniment(Scripted({{1, 4}}, script));
    Timeline timeline = TimelineWith(4, {{0, "C7"}});
    int yields = 0;
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase,
                                     [&yields] { ++yields; });
    EXPECT_EQ(yields, 1);
    EXPECT_EQ(script->next, 2U) << "one bar drawn";
    EXPECT_EQ(StrikeTicks(timeline, 0), (std::vector<int>{0}));
}

TEST(AccompanimentSteps, YieldsAfterEveryStepAndDrawsAtEveryBar) {
    auto script = std::make_shared<ScriptedRandom>();
    Accompaniment accompaniment(Scripted({{1, 4}}, script));
    Timeline timeline = TimelineWith(193, {});
    int yields = 0;
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase,
                                     [&yields] { ++yields; });
    EXPECT_EQ(yields, 49) << "t = 0, 4, ..., 192";
    EXPECT_EQ(script->next, 6U) << "bars at 0, 96 and 192";
}

struct RhythmCase {
    int firstBar;
    int secondBar;
    std::vector<int> strikes;
};

class SwingRhythm : public ::testing::TestWithParam<RhythmCase> {};

TEST_P(SwingRhythm, FirstBarNeverStartsOffTheBeat) {
    const RhythmCase& c = GetParam();
    Timeline timeline = TimelineWith(192, {{0, "C7"}});
    Accompaniment accompaniment(Scripted({{1, c.firstBar}, {1, c.secondBar}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(1), 4, study_type::UserPhrase);
    EXPECT_EQ(StrikeTicks(timeline, 0), c.strikes);
}

INSTANTIATE_TEST_SUITE_P(Rhythms, SwingRhythm,
                         ::testing::Values(RhythmCase{1, 1, {0, 48, 96, 108, 156}},
                                           RhythmCase{2, 2, {0, 48, 108, 156}},
                                           RhythmCase{3, 3, {0, 60, 96, 156}},
                                           RhythmCase{4, 4, {0, 48, 96, 144}}));

TEST(AccompanimentSteps, WithoutSwingEveryRhythmStrikesOnOneAndThree) {
    for (const int rhythm : {1, 2, 3, 4}) {
        Timeline timeline = TimelineWith(192, {{0, "C7"}});
        Accompaniment accompaniment(Scripted({{1, rhythm}}));
        accompaniment.BuildAccompaniment(timeline, 0, Accompanied(0), 4, study_type::UserPhrase);
        EXPECT_EQ(StrikeTicks(timeline, 0), (std::vector<int>{0, 48, 96, 144})) << rhythm;
    }
}

TEST(AccompanimentSteps, ThreeFourBarsHaveThreeBeatsAndStrikeOnOneAndThree) {
    Timeline timeline = TimelineWith(144, {{0, "Dm7"}});
    Accompaniment accompaniment(Scripted({{1, 1}, {3, 1}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(1), 3, study_type::UserPhrase);
    EXPECT_EQ(StrikeTicks(timeline, 0), (std::vector<int>{0, 48, 72, 120}));
    // D F A C: pattern 1 plays root, third, fifth; pattern 3 root, fifth, third.
    EXPECT_EQ(BassNotes(timeline, 0),
              (std::map<int, int>{{0, 2}, {24, 5}, {48, 9}, {72, 2}, {96, 9}, {120, 5}}));
}

// ---- The bass line

TEST(AccompanimentBass, EachPatternOverFourBeats) {
    // Dm7 is D F A C: entries 0..3 are 2, 5, 9, 12.
    const std::vector<std::vector<int>> expected = {
        {2, 5, 9, 5}, {2, 5, 2, 9}, {2, 9, 5, 2}, {12, 9, 5, 2}, {2, 9, 2, 9}};
    for (int b = 1; b <= 5; ++b) {
        Timeline timeline = TimelineWith(96, {{0, "Dm7"}});
        Accompaniment accompaniment(Scripted({{b, 4}}));
        accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
        const auto& beats = expected[static_cast<std::size_t>(b - 1)];
        EXPECT_EQ(BassNotes(timeline, 0),
                  (std::map<int, int>{{0, beats[0]}, {24, beats[1]}, {48, beats[2]}, {72, beats[3]}}))
            << "pattern " << b;
    }
}

TEST(AccompanimentBass, PatternFourOpensOnTheSeventhAndTheCompingLeavesItOut) {
    Timeline timeline = TimelineWith(96, {{0, "G7"}});
    Accompaniment accompaniment(Scripted({{4, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(timeline.cell(0, VoiceBass, 0), 17); // F
    EXPECT_EQ(ChordAt(timeline, 0, 0), (std::vector<int>{19, 23, 26, X}));
}

TEST(AccompanimentBass, CFlatRootSoundsAnOctaveUp) {
    // A C flat root lies at -1, which would be an event without a note.
    Timeline timeline = TimelineWith(24, {{0, "Cb7"}});
    Accompaniment accompaniment(Scripted({{1, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(timeline.cell(0, VoiceBass, 0), 11);
    EXPECT_EQ(ChordAt(timeline, 0, 0), (std::vector<int>{X, 15, 18, 21}));
}

// ---- The comping

TEST(AccompanimentComping, ChordChangeBetweenStrikesPlaysTheNewChordWhole) {
    Timeline timeline = TimelineWith(96, {{0, "C7"}, {24, "F7"}});
    Accompaniment accompaniment(Scripted({{1, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(StrikeTicks(timeline, 0), (std::vector<int>{0, 48}));
    EXPECT_EQ(timeline.cell(0, VoiceBass, 24), 9) << "the third of F7 at once";
    // The bass plays C on beat three, yet the chord that goes on keeps its C.
    EXPECT_EQ(timeline.cell(0, VoiceBass, 48), 12);
    EXPECT_EQ(ChordAt(timeline, 0, 48), (std::vector<int>{17, 21, 24, 27}));
}

struct KeptToneCase {
    const char* chord;
    int b;
    std::vector<int> tones;
};

class ChordTones : public ::testing::TestWithParam<KeptToneCase> {};

TEST_P(ChordTones, OnlyTheBassPitchClassIsLeftOut) {
    const KeptToneCase& c = GetParam();
    Timeline timeline = TimelineWith(24, {{0, c.chord}});
    Accompaniment accompaniment(Scripted({{c.b, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(ChordAt(timeline, 0, 0), c.tones) << c.chord;
}

INSTANTIATE_TEST_SUITE_P(
    AFlatIsKept, ChordTones,
    ::testing::Values(KeptToneCase{"E7", 1, {X, 20, 23, 26}},  // G# stays
                      KeptToneCase{"Ab7", 4, {20, 24, 27, X}}, // Ab stays, the seventh goes
                      KeptToneCase{"Ab7", 1, {X, 24, 27, 30}}, // the root doubles the bass
                      KeptToneCase{"Fm7", 3, {X, 20, 24, 27}}, // Ab stays
                      KeptToneCase{"C", 1, {X, 16, 19, X}}));  // the doubled root goes twice

TEST(AccompanimentComping, SecondVariantLeavesOutTheFirstVariantsTopVoice) {
    Timeline timeline = TimelineWith(24, {{0, "C7"}});
    Accompaniment accompaniment(Scripted({{4, 4}}));
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    ASSERT_EQ(ChordAt(timeline, 0, 0), (std::vector<int>{12, 16, 19, X}));
    accompaniment.BuildAccompaniment(timeline, 1, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(ChordAt(timeline, 1, 0), (std::vector<int>{X, 16, 19, X}));
    EXPECT_EQ(ChordAt(timeline, 0, 0), (std::vector<int>{12, 16, 19, X})) << "variant 0 untouched";
}

TEST(AccompanimentComping, PlaceChordVoicingDirectly) {
    Accompaniment accompaniment(Scripted({{1, 4}}));
    Timeline timeline = TimelineWith(96, {{0, "Ab7"}, {24, "E7"}});
    // Primes the voicing with E7 (the last symbol met).
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    ClearTimeline(timeline, 96);
    timeline.EventChord[24] = "E7";

    // No bass note at the tick: nothing is left out.
    accompaniment.PlaceChordVoicing(timeline, 1, 24, NoEvent);
    EXPECT_EQ(ChordAt(timeline, 1, 24), (std::vector<int>{16, 20, 23, 26}));
    // Tick 0 without a chord symbol: nothing written.
    accompaniment.PlaceChordVoicing(timeline, 1, 0, NoEvent);
    EXPECT_EQ(ChordAt(timeline, 1, 0), (std::vector<int>{X, X, X, X}));
    // A chord going on is struck whole over a doubling bass.
    accompaniment.PlaceChordVoicing(timeline, 1, 36, 4);
    EXPECT_EQ(ChordAt(timeline, 1, 36), (std::vector<int>{16, 20, 23, 26}));
    // Out of range: nothing happens.
    accompaniment.PlaceChordVoicing(timeline, 2, 24, NoEvent);
    accompaniment.PlaceChordVoicing(timeline, 0, -4, NoEvent);
    accompaniment.PlaceChordVoicing(timeline, 0, timeline.capacity(), NoEvent);
}

// ---- Bad input and the random source

TEST(AccompanimentInput, BadArgumentsWriteNothing) {
    Timeline timeline = TimelineWith(96, {{0, "C7"}});
    Accompaniment accompaniment(Scripted({{1, 4}}));
    accompaniment.BuildAccompaniment(timeline, 2, Accompanied(), 4, study_type::UserPhrase);
    accompaniment.BuildAccompaniment(timeline, -1, Accompanied(), 4, study_type::UserPhrase);
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 0, study_type::UserPhrase);
    EXPECT_TRUE(OnlyMelody(timeline));

    // A length past the tables stops at their end.
    timeline.TimelineLength = timeline.capacity() + 500;
    accompaniment.BuildAccompaniment(timeline, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(StrikeTicks(timeline, 0).front(), 0);

    Timeline never;
    never.TimelineLength = 96;
    accompaniment.BuildAccompaniment(never, 0, Accompanied(), 4, study_type::UserPhrase);
    EXPECT_EQ(never.capacity(), 0);
}

TEST(AccompanimentInput, DrawsOutsideTheUnitIntervalStayInRange) {
    for (const double drawn : {1.0, 7.5, -0.5, std::numeric_limits<double>::quiet_NaN()}) {
        Timeline timeline = TimelineWith(96, {{0, "Dm7"}});
        Accompaniment accompaniment([drawn] { return drawn; });
        accompaniment.BuildAccompaniment(timeline, 0, Accompanied(1), 4, study_type::UserPhrase);
        // Every pattern but 4 opens on the root; 4 is only drawn from values in [0.6, 0.8).
        EXPECT_EQ(timeline.cell(0, VoiceBass, 0), 2) << drawn;
        EXPECT_FALSE(StrikeTicks(timeline, 0).empty()) << drawn;
    }
}

TEST(AccompanimentInput, SeededSourceIsUniformInTheUnitIntervalAndRepeatable) {
    auto first = SeededRandom(42);
    auto again = SeededRandom(42);
    double sum = 0;
    for (int i = 0; i < 1000; ++i) {
        const double value = first();
        EXPECT_GE(value, 0.0);
        EXPECT_LT(value, 1.0);
        EXPECT_EQ(value, again());
        sum += value;
    }
    EXPECT_NEAR(sum / 1000, 0.5, 0.05);
    auto clock = ClockSeededRandom();
    const double value = clock();
    EXPECT_TRUE(value >= 0.0 && value < 1.0);
}

} // namespace
} // namespace orbel
