// Note values: what a length in ticks is written as, and the room the staff gives it.
#include "theory/note_value.h"

#include <gtest/gtest.h>
#include <vector>

namespace orbel {
namespace {

TEST(NoteValue, EachLengthIsItsNoteWithDotsAndTuplet) {
    const struct {
        int ticks;
        NoteKind kind;
        int dots;
        bool triplet;
    } cases[] = {
        {96, NoteKind::Whole, 0, false},    {72, NoteKind::Half, 1, false},
        {48, NoteKind::Half, 0, false},     {36, NoteKind::Quarter, 1, false},
        {24, NoteKind::Quarter, 0, false},  {18, NoteKind::Eighth, 1, false},
        {12, NoteKind::Eighth, 0, false},   {9, NoteKind::Sixteenth, 1, false},
        {6, NoteKind::Sixteenth, 0, false}, {3, NoteKind::ThirtySecond, 0, false},
        {16, NoteKind::Quarter, 0, true},   {8, NoteKind::Eighth, 0, true},
        {4, NoteKind::Sixteenth, 0, true},  {2, NoteKind::ThirtySecond, 0, true},
    };
    for (const auto& c : cases) {
        const std::optional<NoteValue> v = NoteValueOf(c.ticks);
        ASSERT_TRUE(v) << c.ticks;
        EXPECT_EQ(v->ticks, c.ticks);
        EXPECT_EQ(v->kind, c.kind) << c.ticks;
        EXPECT_EQ(v->dots, c.dots) << c.ticks;
        EXPECT_EQ(v->triplet, c.triplet) << c.ticks;
    }
}

TEST(NoteValue, NoSingleNoteHasOtherLengths) {
    for (const int ticks : {-24, 0, 1, 5, 7, 25, 60, 97, 144})
        EXPECT_FALSE(NoteValueOf(ticks)) << ticks;
}

TEST(NoteValue, FlagsCountEighthsSixteenthsAndThirtySeconds) {
    const struct {
        NoteKind kind;
        int flags;
    } cases[] = {{NoteKind::Whole, 0},  {NoteKind::Half, 0},      {NoteKind::Quarter, 0},
                 {NoteKind::Eighth, 1}, {NoteKind::Sixteenth, 2}, {NoteKind::ThirtySecond, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(FlagsOf(c.kind), c.flags) << static_cast<int>(c.kind);
}

TEST(NoteValue, ALengthSplitsIntoTheLongestPlainValuesFirst) {
    const struct {
        int ticks;
        std::vector<int> parts;
    } cases[] = {
        {0, {}},         {2, {}},  {24, {24}}, {30, {24, 6}},      {16, {12, 3}},  {60, {48, 12}},
        {120, {96, 24}}, {5, {3}}, {8, {6}},   {200, {96, 96, 6}}, {105, {96, 9}},
    };
    for (const auto& c : cases) {
        std::vector<int> parts;
        for (const NoteValue& v : SplitIntoPlainValues(c.ticks)) {
            EXPECT_FALSE(v.triplet);
            parts.push_back(v.ticks);
        }
        EXPECT_EQ(parts, c.parts) << c.ticks;
    }
}

TEST(NoteValue, OnlyARestFillingABarOfThreeFourIsTheWholeBarRest) {
    const struct {
        int ticks;
        bool rest;
        int beatsPerBar;
        bool wholeBar;
    } cases[] = {{72, true, 3, true},  {72, false, 3, false}, {72, true, 4, false},
                 {96, true, 4, false}, {48, true, 3, false},  {96, true, 3, false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsWholeBarRest(c.ticks, c.rest, c.beatsPerBar), c.wholeBar) << c.ticks << " " << c.rest;
}

TEST(NoteValue, WidthUnitsOfEachLength) {
    const struct {
        int ticks;
        int note, rest, rest34;
    } cases[] = {{2, 2, 2, 2},  {3, 2, 2, 2},  {4, 3, 3, 3},   {6, 3, 3, 3},     {8, 3, 3, 3},
                 {9, 3, 3, 3},  {12, 4, 3, 3}, {16, 4, 4, 4},  {18, 4, 3, 3},    {24, 5, 4, 4},
                 {36, 5, 4, 4}, {48, 7, 7, 7}, {72, 7, 7, 10}, {96, 10, 10, 10}, {5, 0, 0, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(NoteWidthUnits(c.ticks, false, 4), c.note) << c.ticks;
        EXPECT_EQ(NoteWidthUnits(c.ticks, true, 4), c.rest) << c.ticks;
        EXPECT_EQ(NoteWidthUnits(c.ticks, true, 3), c.rest34) << c.ticks;
    }
}

} // namespace
} // namespace orbel
