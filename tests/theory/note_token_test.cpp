// Note tokens of the phrase files, duration codes and chord roots.
#include "theory/note_token.h"

#include <gtest/gtest.h>
#include <string>

namespace orbel {
namespace {

struct TokenCase {
    const char* token;
    int pitch;
    bool isRest;
    int position;
};

class ParseNoteTokenTest : public ::testing::TestWithParam<TokenCase> {};

TEST_P(ParseNoteTokenTest, ReadsPitchAndEndOfPitchPart) {
    const TokenCase& c = GetParam();
    int pitch = 999;
    bool isRest = true;
    const int position = ParseNoteToken(c.token, pitch, isRest);
    EXPECT_EQ(pitch, c.pitch) << c.token;
    EXPECT_EQ(isRest, c.isRest) << c.token;
    EXPECT_EQ(position, c.position) << c.token;
}

INSTANTIATE_TEST_SUITE_P(Notes, ParseNoteTokenTest,
                         ::testing::Values(TokenCase{"3C4", 24, false, 2}, TokenCase{"=3C#4", 25, false, 4},
                                           TokenCase{"3Cb4", 23, false, 3}, TokenCase{"=3F#5", 30, false, 4},
                                           TokenCase{"4BbT4", 46, false, 3}, TokenCase{"=4Bb5", 46, false, 4},
                                           TokenCase{"3E4.", 28, false, 2}, TokenCase{"0C5", -12, false, 2},
                                           TokenCase{"1C5", 0, false, 2}, TokenCase{"6B5", 71, false, 2},
                                           TokenCase{"  3G5  ", 31, false, 2}));

INSTANTIATE_TEST_SUITE_P(RestsAndOddTokens, ParseNoteTokenTest,
                         ::testing::Values(TokenCase{"R5", 0, true, 1}, TokenCase{"=R5", 0, true, 2},
                                           TokenCase{"3R5", 24, true, 2},
                                           // No octave digit: no offset, the accidental spot does not move.
                                           TokenCase{"C4", 0, false, 1}, TokenCase{"C#4", 0, false, 1},
                                           TokenCase{"=C4", 0, false, 2}, TokenCase{"=Cb4", 0, false, 2},
                                           TokenCase{"=Cb#4", 1, false, 4},
                                           // An octave digit outside 0..6 adds nothing.
                                           TokenCase{"7C4", 0, false, 2}, TokenCase{"xE4", 4, false, 2},
                                           // Nothing to read.
                                           TokenCase{"", 0, false, 0}, TokenCase{"   ", 0, false, 0},
                                           TokenCase{"34", 0, false, 0}, TokenCase{"12#4", 0, false, 0}));

struct DurationCase {
    const char* code;
    int ticks;
};

class ReadDurationCodeTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(ReadDurationCodeTest, GivesTicks) {
    EXPECT_EQ(ReadDurationCode(GetParam().code), GetParam().ticks) << '"' << GetParam().code << '"';
}

INSTANTIATE_TEST_SUITE_P(PlainValues, ReadDurationCodeTest,
                         ::testing::Values(DurationCase{"2", 3}, DurationCase{"3", 6}, DurationCase{"4", 12},
                                           DurationCase{"5", 24}, DurationCase{"6", 48},
                                           DurationCase{"7", 96}, DurationCase{" 5", 24},
                                           DurationCase{"5x", 24}));

INSTANTIATE_TEST_SUITE_P(Triplets, ReadDurationCodeTest,
                         ::testing::Values(DurationCase{"T2", 2}, DurationCase{"T3", 4},
                                           DurationCase{"T4", 8}, DurationCase{"T5", 16},
                                           DurationCase{"4T", 8}, DurationCase{"T6", 0},
                                           DurationCase{"T", 0}));

INSTANTIATE_TEST_SUITE_P(Dotted, ReadDurationCodeTest,
                         ::testing::Values(DurationCase{"2.", 4}, // 4.5 goes to the even 4
                                           DurationCase{"3.", 9}, DurationCase{"4.", 18},
                                           DurationCase{"5.", 36}, DurationCase{"6.", 72},
                                           DurationCase{"7.", 144}, DurationCase{".5", 36},
                                           DurationCase{"5..", 36},
                                           // The dot is handled first and "T4" is no number.
                                           DurationCase{"T4.", 0}, DurationCase{".T4", 0}));

INSTANTIATE_TEST_SUITE_P(NoDuration, ReadDurationCodeTest,
                         ::testing::Values(DurationCase{"", 0}, DurationCase{"1", 0}, DurationCase{"8", 0},
                                           DurationCase{"x5", 0}, DurationCase{"99999999999", 0},
                                           DurationCase{"T99999999999", 0}, DurationCase{"99999999999.", 0}));

TEST(DurationTicksTest, MapsEveryCodeAndNothingElse) {
    const std::pair<int, int> known[] = {{2, 3},  {3, 6},   {4, 12},  {5, 24},  {6, 48},
                                         {7, 96}, {302, 2}, {303, 4}, {304, 8}, {305, 16}};
    for (const auto& [code, ticks] : known)
        EXPECT_EQ(DurationTicks(code), ticks) << code;
    for (const int code : {-2, 0, 1, 8, 300, 301, 306, 32767})
        EXPECT_EQ(DurationTicks(code), 0) << code;
}

TEST(NoteTokenTest, DurationFollowsThePitchPart) {
    struct Whole {
        const char* token;
        int pitch;
        int ticks;
    };
    for (const Whole& w : {Whole{"3E4.", 28, 18}, Whole{"4BbT4", 46, 8}, Whole{"=3F#5", 30, 24},
                           Whole{"3C7.", 24, 144}, Whole{"=4Eb2.", 39, 4}}) {
        const std::string token = w.token;
        int pitch = 0;
        bool isRest = false;
        const int position = ParseNoteToken(token, pitch, isRest);
        EXPECT_EQ(pitch, w.pitch) << token;
        EXPECT_EQ(ReadDurationCode(std::string_view(token).substr(static_cast<std::size_t>(position))),
                  w.ticks)
            << token;
    }
}

struct ChordRootCase {
    const char* symbol;
    int rootClass;
    int length;
};

class ParseChordRootTest : public ::testing::TestWithParam<ChordRootCase> {};

TEST_P(ParseChordRootTest, ReadsRootAndItsLength) {
    const ChordRootCase& c = GetParam();
    int rootClass = 999;
    EXPECT_EQ(ParseChordRoot(c.symbol, rootClass), c.length) << c.symbol;
    EXPECT_EQ(rootClass, c.rootClass) << c.symbol;
}

INSTANTIATE_TEST_SUITE_P(Symbols, ParseChordRootTest,
                         ::testing::Values(ChordRootCase{"Bb7", 10, 2}, ChordRootCase{"F#m7", 6, 2},
                                           ChordRootCase{"Dm7", 2, 1}, ChordRootCase{"Cb", -1, 2},
                                           ChordRootCase{"B#", 12, 2}, ChordRootCase{"AbM7", 8, 2},
                                           ChordRootCase{"Em7b5", 4, 1}, ChordRootCase{" G7 ", 7, 1},
                                           ChordRootCase{"m7", 0, 0}, ChordRootCase{"", 0, 0},
                                           ChordRootCase{"7#", 0, 0}));

} // namespace
} // namespace orbel
