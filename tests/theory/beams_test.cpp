// Beam groups and triplet brackets found from durations, rests and the place in the bar.
#include "theory/beams.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <vector>

namespace orbel {
namespace {

struct BeamCase {
    const char* label;
    int beatsPerBar;
    std::vector<int> durations;
    std::vector<int> rests;
    std::vector<int> codes;
};

class ComputeBeamsTest : public ::testing::TestWithParam<BeamCase> {};

TEST_P(ComputeBeamsTest, GroupsNotes) {
    const BeamCase& c = GetParam();
    PlaySequence seq = test::SequenceOf({}, c.durations, c.rests);
    seq.BeatsPerBar = static_cast<std::int16_t>(c.beatsPerBar);
    seq.SeqBeam.fill(999); // whatever an earlier build left
    ComputeBeams(seq);
    EXPECT_EQ(test::Beams(seq), c.codes);
}

INSTANTIATE_TEST_SUITE_P(
    Eighths, ComputeBeamsTest,
    ::testing::Values(BeamCase{"FourOnAHalfBar", 4, {12, 12, 12, 12}, {}, {1, 2, 2, 3}},
                      BeamCase{"FourAfterAQuarter", 4, {24, 12, 12, 12, 12, 24}, {}, {0, 1, 3, 1, 3, 0}},
                      BeamCase{"FourInThreeFour", 3, {12, 12, 12, 12}, {}, {1, 3, 1, 3}},
                      BeamCase{"OddOneOut", 4, {12, 12, 12}, {}, {1, 3, 0}},
                      BeamCase{"PairWaitsForTheBeat", 4, {36, 12, 12, 12}, {}, {0, 0, 1, 3}},
                      BeamCase{"RestBreaksTheGroup", 4, {12, 12, 12, 12}, {0, 1, 0, 0}, {0, 0, 1, 3}}),
    [](const ::testing::TestParamInfo<BeamCase>& info) { return info.param.label; });

INSTANTIATE_TEST_SUITE_P(
    Sixteenths, ComputeBeamsTest,
    ::testing::Values(BeamCase{"Four", 4, {6, 6, 6, 6}, {}, {11, 12, 12, 13}},
                      BeamCase{"TwoAndEighth", 4, {6, 6, 12}, {}, {11, 12, 3}},
                      BeamCase{"EighthAndTwo", 4, {12, 6, 6}, {}, {1, 12, 13}},
                      BeamCase{"AroundAnEighth", 4, {6, 12, 6}, {}, {11, 2, 13}},
                      BeamCase{"PairOnTheHalfBeat", 4, {12, 6, 6}, {1, 0, 0}, {0, 11, 13}},
                      BeamCase{"ThirtySecondsFour", 4, {3, 3, 3, 3}, {}, {21, 22, 22, 23}},
                      BeamCase{"ThirtySecondPairAfterASixteenth", 4, {6, 3, 3}, {}, {0, 21, 23}},
                      BeamCase{"ThirtySecondPairBeforeASixteenth", 4, {3, 3, 6}, {}, {21, 23, 0}},
                      BeamCase{"ThirtySecondPairWithARest", 4, {3, 3}, {0, 1}, {0, 0}}),
    [](const ::testing::TestParamInfo<BeamCase>& info) { return info.param.label; });

INSTANTIATE_TEST_SUITE_P(
    Triplets, ComputeBeamsTest,
    ::testing::Values(BeamCase{"Quarter", 4, {16, 16, 16}, {}, {301, 302, 303}},
                      BeamCase{"QuarterOnBeatTwo", 4, {24, 16, 16, 16}, {}, {0, 301, 302, 303}},
                      BeamCase{"Eighth", 4, {8, 8, 8, 8, 8, 8}, {}, {311, 312, 313, 311, 312, 313}},
                      BeamCase{"EighthWithRest", 4, {8, 8, 8}, {0, 1, 0}, {401, 402, 403}},
                      BeamCase{"EighthAllRests", 4, {8, 8, 8}, {1, 1, 1}, {401, 402, 403}},
                      BeamCase{"Sixteenth", 4, {12, 4, 4, 4}, {1, 0, 0, 0}, {0, 321, 322, 323}},
                      BeamCase{"ThirtySecond", 4, {6, 2, 2, 2}, {1, 0, 0, 0}, {0, 331, 332, 333}},
                      BeamCase{"MisplacedEighthTriplet", 4, {12, 8, 8, 8}, {}, {0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<BeamCase>& info) { return info.param.label; });

TEST(ComputeBeamsEdgeTest, NotesBeyondTheCountAreNotGrouped) {
    PlaySequence seq = test::SequenceOf({}, {12, 12, 12, 12});
    seq.SeqCount = 3;
    ComputeBeams(seq);
    EXPECT_EQ(test::Beams(seq), (std::vector<int>{1, 3, 0}));
    EXPECT_EQ(seq.SeqBeam[3], 0);
}

TEST(ComputeBeamsEdgeTest, FullSequenceOfEighths) {
    PlaySequence seq = test::SequenceOf({}, std::vector<int>(sequence_limits::Notes, 12));
    ComputeBeams(seq);
    EXPECT_EQ(seq.SeqBeam[508], 1);
    EXPECT_EQ(seq.SeqBeam[511], 3);
    EXPECT_EQ(seq.SeqBeam[512], 0);
}

TEST(BeamCode, ACodeIsItsGroupPlusItsPlace) {
    const struct {
        int code, group, place;
    } cases[] = {{0, beam_code::Eighth, beam_code::None},
                 {3, beam_code::Eighth, beam_code::Last},
                 {12, beam_code::Sixteenth, beam_code::Inner},
                 {21, beam_code::ThirtySecond, beam_code::First},
                 {303, beam_code::QuarterTriplet, beam_code::Last},
                 {332, beam_code::ThirtySecondTriplet, beam_code::Inner},
                 {401, beam_code::EighthTripletWithRest, beam_code::First}};
    for (const auto& c : cases) {
        EXPECT_EQ(beam_code::GroupOf(c.code), c.group) << c.code;
        EXPECT_EQ(beam_code::PlaceOf(c.code), c.place) << c.code;
    }
}

} // namespace
} // namespace orbel
