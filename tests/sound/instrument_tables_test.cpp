#include "sound/instrument_tables.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

int PositionOfName(std::string_view name) {
    for (std::size_t i = 0; i < MelodyInstruments.size(); ++i) {
        if (MelodyInstruments[i] == name) return static_cast<int>(i);
    }
    return -1;
}

struct MelodyCase {
    std::string_view name;
    int program;
};

class MelodyListTest : public ::testing::TestWithParam<MelodyCase> {};

// The rows at each end of the three runs of the list, where the position-to-program rule changes.
TEST_P(MelodyListTest, NameSelectsItsProgramAndBack) {
    const MelodyCase c = GetParam();
    const int position = PositionOfName(c.name);
    ASSERT_GE(position, 0) << c.name;
    EXPECT_EQ(MelodyProgramAt(position), c.program) << c.name;
    EXPECT_EQ(MelodyPositionOf(c.program), position) << c.name;
}

INSTANTIATE_TEST_SUITE_P(RunEdges, MelodyListTest,
                         ::testing::Values(MelodyCase{"Piano1", 1}, MelodyCase{"Hapsichord ", 7},
                                           MelodyCase{"GtHarmonic", 32}, MelodyCase{"Trunpet", 57},
                                           MelodyCase{"Trombone2", 59}, MelodyCase{"SynBrass1", 63},
                                           MelodyCase{"S.Sax", 65}, MelodyCase{"B.Sax", 68}));

TEST(MelodyList, EveryPositionRoundTripsAndProgramsRise) {
    int previous = 0;
    for (int position = 0; position < sound_tables::MelodyInstrumentCount; ++position) {
        const auto program = MelodyProgramAt(position);
        ASSERT_TRUE(program.has_value());
        EXPECT_GT(*program, previous);
        EXPECT_EQ(MelodyPositionOf(*program), position);
        previous = *program;
    }
}

TEST(MelodyList, OutsideTheListThereIsNothing) {
    EXPECT_FALSE(MelodyProgramAt(-1).has_value());
    EXPECT_FALSE(MelodyProgramAt(41).has_value());
    // Programs the list skips have no position: the bass and string families, the ensemble brass.
    for (int program : {0, 33, 40, 56, 60, 62, 69, 128}) {
        EXPECT_FALSE(MelodyPositionOf(program).has_value()) << program;
    }
}

TEST(ChordList, IsTheHeadOfTheMelodyList) {
    for (int position = 0; position < sound_tables::ChordInstrumentCount; ++position) {
        EXPECT_EQ(ChordProgramAt(position), MelodyProgramAt(position));
        EXPECT_EQ(ChordPositionOf(position + 1), position);
    }
    EXPECT_FALSE(ChordProgramAt(32).has_value());
    EXPECT_FALSE(ChordPositionOf(57).has_value());
    EXPECT_FALSE(ChordPositionOf(0).has_value());
}

TEST(SoundTables, BassAndClickLookupsStayInsideTheTables) {
    EXPECT_EQ(BassProgramFor(0), 33);
    EXPECT_EQ(BassProgramFor(7), 40);
    EXPECT_EQ(BassProgramFor(10), 0); // empty slot
    EXPECT_EQ(PercussionNoteFor(0), 33);
    EXPECT_EQ(PercussionNoteFor(9), 68);
    EXPECT_EQ(PercussionNoteFor(10), 0);
    for (int index : {-1, 11, 32767, -32768}) {
        EXPECT_FALSE(BassProgramFor(index).has_value()) << index;
        EXPECT_FALSE(PercussionNoteFor(index).has_value()) << index;
    }
    // Every named sound has a table entry.
    for (std::size_t i = 0; i < BassNames.size(); ++i)
        EXPECT_NE(BassPrograms[i], 0) << i;
    for (std::size_t i = 0; i < ClickNames.size(); ++i)
        EXPECT_NE(PercussionNotes[i], 0) << i;
}

} // namespace
} // namespace orbel
