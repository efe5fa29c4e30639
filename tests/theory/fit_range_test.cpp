// The octave shift that keeps the sequence in the playable range, one octave per build.
#include "theory/fit_range.h"

#include "sequence_test_support.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace orbel {
namespace {

struct RangeCase {
    const char* label;
    bool limitOn;
    int high;
    int low;
    std::vector<int> pitches;
    std::vector<int> rests;
    int shift;
    std::vector<int> shiftsAfterBuilds; // the shift after each of a run of builds of the same sequence
};

class FitRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(FitRangeTest, MovesTheShiftOneOctavePerBuild) {
    const RangeCase& c = GetParam();
    PlaySequence seq = test::SequenceOf(c.pitches, std::vector<int>(c.pitches.size(), 24), c.rests);
    seq.OctaveShift = static_cast<std::int16_t>(c.shift);
    Settings settings;
    settings.RangeLimitOn = c.limitOn ? 1 : 0;
    settings.RangeHigh = static_cast<std::int16_t>(c.high);
    settings.RangeLow = static_cast<std::int16_t>(c.low);

    std::vector<int> shifts;
    for (std::size_t build = 0; build < c.shiftsAfterBuilds.size(); ++build) {
        FitRange(seq, settings);
        shifts.push_back(seq.OctaveShift);
    }
    EXPECT_EQ(shifts, c.shiftsAfterBuilds);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitRangeTest,
    ::testing::Values(RangeCase{"InRange", false, 0, 0, {24, 36}, {}, 0, {0, 0}},
                      RangeCase{"HighNotesGoDownOnceAndStay", false, 0, 0, {60, 75}, {}, 0, {-1, -1, -1}},
                      RangeCase{"TopOfTheWindowIs71", false, 0, 0, {71}, {}, 0, {0}},
                      RangeCase{"Pitch72IsOut", false, 0, 0, {60, 72}, {}, 0, {-1}},
                      RangeCase{"BottomOfTheWindowIs1", false, 0, 0, {1, 30}, {}, 0, {0}},
                      RangeCase{"LowNotesGoUp", false, 0, 0, {-5, 20}, {}, 0, {1, 1}},
                      RangeCase{"ShiftMovesBackIntoRange", false, 0, 0, {24, 36}, {}, 4, {3, 2, 2}},
                      RangeCase{"TooHighWinsOverTooLow", false, 0, 0, {-20, 80}, {}, 0, {-1, 0, -1}},
                      RangeCase{"RestsDoNotCount", false, 0, 0, {0, 24, 100}, {1, 0, 1}, 0, {0}},
                      RangeCase{"OnlyRests", false, 0, 0, {30}, {1}, 0, {0}},
                      RangeCase{"LimitRaisesLowNotes", true, 50, 30, {24, 36}, {}, 0, {1, 1}},
                      RangeCase{"LimitLowersHighNotes", true, 50, 30, {48, 60}, {}, 0, {-1, -1}},
                      RangeCase{"ScaleGoesUpAnOctaveTowards40To60", true, 60, 40, {24, 36}, {}, 0, {1}},
                      RangeCase{"LimitEdgesAreInside", true, 36, 24, {24, 36}, {}, 0, {0}},
                      RangeCase{"NarrowLimitAlternates", true, 45, 40, {24, 36}, {}, 0, {1, 0, 1, 0}},
                      RangeCase{
                          "ImpossibleLimitStopsAtTenOctaves", true, -1000, -2000, {24}, {}, -9, {-10, -10}}),
    [](const ::testing::TestParamInfo<RangeCase>& info) { return info.param.label; });

// Whole octaves only: a shift that would take one note a semitone past an edge is out, one that lands on the
// edge is in.
TEST(ShiftsWithin, WholeOctavesThatKeepEveryNoteInTheWindow) {
    std::vector<int> every;
    for (int shift = -fit_range_limits::MaxOctaveShift; shift <= fit_range_limits::MaxOctaveShift; ++shift)
        every.push_back(shift);
    const struct {
        const char* label;
        std::vector<int> pitches;
        std::vector<int> rests;
        PitchWindow window;
        std::vector<int> shifts;
    } cases[] = {
        {"EdgesReachedExactly", {13, 47}, {}, {1, 71}, {-1, 0, 1, 2}},
        {"ASemitoneShortOfTheEdges", {12, 48}, {}, {1, 71}, {0, 1}},
        {"NotesAboveTheWindow", {70, 90}, {}, {1, 47}, {-5, -4}},
        {"NotesBelowTheWindow", {-30, -20}, {}, {1, 71}, {3, 4, 5, 6, 7}},
        {"WiderThanTheWindow", {10, 50}, {}, {20, 40}, {}},
        {"RestsDoNotCount", {0, 30, 100}, {1, 0, 1}, {1, 71}, {-2, -1, 0, 1, 2, 3}},
        {"OnlyRestsGoAnywhere", {30}, {1}, {1, 71}, every},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        const PlaySequence seq = test::SequenceOf(c.pitches, std::vector<int>(c.pitches.size(), 24), c.rests);
        const ShiftRange range = ShiftsWithin(seq, c.window);
        std::vector<int> shifts;
        std::copy_if(every.begin(), every.end(), std::back_inserter(shifts),
                     [&](int shift) { return range.contains(shift); });
        EXPECT_EQ(shifts, c.shifts);
    }
}

} // namespace
} // namespace orbel
