// The melody voice and per-tick copies of the timeline, and its size.
#include "theory/timeline_build.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using namespace timeline_limits;
using test::SequenceOf;

// Every cell of every voice of both variants at tick.
std::vector<int> AllVoicesAt(const Timeline& timeline, int tick) {
    std::vector<int> cells;
    for (int variant = 0; variant < Variants; ++variant) {
        for (int voice = 0; voice < Voices; ++voice) {
            cells.push_back(timeline.cell(variant, voice, tick));
        }
    }
    return cells;
}

const std::vector<int> Empty(Variants* Voices, NoEvent);

TEST(ClearTimeline, EmptiesEveryTableAtTheSmallestSize) {
    Timeline timeline;
    ClearTimeline(timeline, 200);
    timeline.cell(1, VoiceBass, 10) = 7;
    timeline.cell(0, VoiceMelody, 10) = 7;
    timeline.TieAt[10] = 1;
    timeline.EventChord[10] = "C7";
    timeline.EventDegree[10] = "R";
    timeline.EventNoteX[10] = 1.5F;
    timeline.TimelineLength = 96;

    ClearTimeline(timeline, 10);
    EXPECT_EQ(timeline.capacity(), MinimumTicks);
    EXPECT_EQ(AllVoicesAt(timeline, 10), Empty);
    EXPECT_EQ(AllVoicesAt(timeline, MinimumTicks - 1), Empty);
    EXPECT_EQ(timeline.TieAt[10], 0);
    EXPECT_EQ(timeline.EventChord[10], "");
    EXPECT_EQ(timeline.EventDegree[10], "");
    EXPECT_EQ(timeline.EventNoteX[10], 0.0F);
    EXPECT_EQ(timeline.TimelineLength, 0);
}

TEST(ClearTimeline, SizesAllTablesForLongerTimelinesAndShrinksBack) {
    Timeline timeline;
    ClearTimeline(timeline, 5000);
    EXPECT_EQ(timeline.capacity(), 5001);
    for (const auto& variant : timeline.Cells) {
        for (const auto& voice : variant) {
            EXPECT_EQ(voice.size(), 5001U);
        }
    }
    EXPECT_EQ(timeline.EventChord.size(), 5001U);
    EXPECT_EQ(timeline.EventRowBase.size(), 5001U);
    EXPECT_EQ(timeline.EventDegree.size(), 5001U);
    EXPECT_TRUE(timeline.holds(5000));
    EXPECT_FALSE(timeline.holds(5001));
    EXPECT_FALSE(timeline.holds(-1));

    ClearTimeline(timeline, -3);
    EXPECT_EQ(timeline.capacity(), MinimumTicks);
    ClearTimeline(timeline, MaximumLength * 4);
    EXPECT_EQ(timeline.capacity(), MaximumLength + 1);
}

TEST(GrowTimeline, KeepsWhatTheTablesHoldAndNeverShrinks) {
    Timeline timeline;
    ClearTimeline(timeline);
    timeline.cell(0, VoiceMelody, 3000) = 24;
    timeline.EventChord[3000] = "F7";
    GrowTimeline(timeline, 4000);
    EXPECT_EQ(timeline.capacity(), 4001);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 3000), 24);
    EXPECT_EQ(timeline.EventChord[3000], "F7");
    EXPECT_EQ(AllVoicesAt(timeline, 4000), Empty);
    GrowTimeline(timeline, 100);
    EXPECT_EQ(timeline.capacity(), 4001);
}

TEST(BuildTimeline, MelodyCellsAtEachNoteStart) {
    // A note, a rest, a tied note and a note, one octave up.
    PlaySequence seq = SequenceOf({24, 30, 26, 31}, {24, 12, 12, 48}, {0, 1, 0, 0});
    seq.SeqTie[2] = 1;
    seq.OctaveShift = 1;
    Timeline timeline;
    ClearTimeline(timeline);
    ASSERT_TRUE(BuildTimeline(timeline, seq));

    EXPECT_EQ(timeline.cell(0, VoiceMelody, 0), 36);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 24), MelodyStop);
    EXPECT_EQ(timeline.TieAt[24], 0) << "a rest is no tie";
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 36), MelodyStop);
    EXPECT_EQ(timeline.TieAt[36], 1);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 48), 43);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 96), MelodyStop) << "the end of the line";
    EXPECT_EQ(timeline.TimelineLength, 96);

    for (const int between : {1, 23, 25, 47, 49, 95, 97}) {
        EXPECT_EQ(timeline.cell(0, VoiceMelody, between), NoEvent) << between;
        EXPECT_EQ(timeline.TieAt[static_cast<std::size_t>(between)], 0) << between;
    }
    // Only the melody voice of variant 0 is written.
    std::vector<int> others = AllVoicesAt(timeline, 0);
    others.erase(others.begin());
    EXPECT_EQ(others, std::vector<int>(Variants * Voices - 1, NoEvent));
}

TEST(BuildTimeline, NegativeOctaveShiftAndEmptySequence) {
    PlaySequence seq = SequenceOf({30}, {12});
    seq.OctaveShift = -2;
    Timeline timeline;
    ClearTimeline(timeline);
    BuildTimeline(timeline, seq);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 0), 6);

    ClearTimeline(timeline);
    BuildTimeline(timeline, PlaySequence{});
    EXPECT_EQ(timeline.TimelineLength, 0);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 0), MelodyStop);
}

TEST(BuildTimeline, CopiesNoteDataToItsStartingTick) {
    PlaySequence seq = SequenceOf({24, 26, 28}, {24, 12, 12}, {0, 1, 0});
    seq.SeqChord[0] = std::string("  Dm7") + '\0' + " ";
    seq.SeqChord[1] = "   ";
    seq.SeqChord[2] = "G7";
    seq.SeqDegree = {"R", "", "3"};
    const std::vector<float> noteX = {10.5F, 20.5F};
    const std::vector<float> rowBase = {-4.0F};

    Timeline timeline;
    ClearTimeline(timeline);
    timeline.EventChord[24] = "stale";
    BuildTimeline(timeline, seq, noteX, rowBase);

    EXPECT_EQ(timeline.EventChord[0], "Dm7");
    EXPECT_EQ(timeline.EventChord[24], "stale") << "a blank symbol stores nothing";
    EXPECT_EQ(timeline.EventChord[36], "G7");
    EXPECT_EQ(timeline.EventChord[12], "");
    EXPECT_EQ(timeline.EventDegree[0], "R");
    EXPECT_EQ(timeline.EventDegree[36], "3");
    EXPECT_EQ(timeline.EventNoteX[0], 10.5F);
    EXPECT_EQ(timeline.EventNoteX[24], 20.5F);
    EXPECT_EQ(timeline.EventNoteX[36], 0.0F) << "no staff position given";
    EXPECT_EQ(timeline.EventRowBase[0], -4.0F);
    EXPECT_EQ(timeline.EventRowBase[24], 0.0F);
}

TEST(BuildTimeline, LongSequenceGrowsTheTablesAndPlaysWhole) {
    const int count = 512;
    PlaySequence seq = SequenceOf(std::vector<int>(count, 36), std::vector<int>(count, 96));
    seq.SeqChord[count - 1] = "C7";
    Timeline timeline;
    ClearTimeline(timeline);
    ASSERT_TRUE(BuildTimeline(timeline, seq));

    EXPECT_EQ(timeline.TimelineLength, 49152);
    EXPECT_GE(timeline.capacity(), 49153);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 49056), 36);
    EXPECT_EQ(timeline.EventChord[49056], "C7");
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 49152), MelodyStop);
    // The accompaniment voices grew with the melody.
    EXPECT_EQ(timeline.cell(1, VoiceBass, 49152), NoEvent);
    EXPECT_EQ(timeline.cell(1, Voices - 1, 49152), NoEvent);
    EXPECT_EQ(timeline.EventDegree.size(), timeline.TieAt.size());
}

TEST(BuildTimeline, WorksOnATimelineNeverCleared) {
    Timeline timeline;
    BuildTimeline(timeline, SequenceOf({24}, {24}));
    EXPECT_EQ(timeline.capacity(), MinimumTicks);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 0), 24);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 1), NoEvent);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 24), MelodyStop);
}

TEST(BuildTimeline, MalformedDurationsAndCounts) {
    // A negative duration does not move backwards.
    Timeline timeline;
    ClearTimeline(timeline);
    BuildTimeline(timeline, SequenceOf({24, 26, 28}, {24, -50, 12}));
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 24), 28) << "the second note is overwritten where it starts";
    EXPECT_EQ(timeline.TimelineLength, 36);

    // A count past the table reads only the notes there are.
    PlaySequence seq = SequenceOf(std::vector<int>(sequence_limits::Notes, 24),
                                  std::vector<int>(sequence_limits::Notes, 12));
    seq.SeqCount = 30000;
    ClearTimeline(timeline);
    EXPECT_TRUE(BuildTimeline(timeline, seq));
    EXPECT_EQ(timeline.TimelineLength, sequence_limits::Notes * 12);
}

TEST(BuildTimeline, SequenceBeyondTheLongestTimelineIsCut) {
    PlaySequence seq = SequenceOf(std::vector<int>(sequence_limits::Notes, 24),
                                  std::vector<int>(sequence_limits::Notes, 32000));
    EXPECT_EQ(SequenceTicks(seq), 32000LL * sequence_limits::Notes);
    Timeline timeline;
    ClearTimeline(timeline);
    EXPECT_FALSE(BuildTimeline(timeline, seq));
    EXPECT_EQ(timeline.TimelineLength, 3 * 32000);
    EXPECT_LE(timeline.capacity(), MaximumLength + 1);
    EXPECT_EQ(timeline.cell(0, VoiceMelody, 3 * 32000), MelodyStop);
}

} // namespace
} // namespace orbel
