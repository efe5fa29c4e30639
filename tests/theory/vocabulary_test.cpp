// The step rule, chord voicings and the II–V–I tables.
#include "theory/vocabulary.h"

#include "theory/kihon.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

// The intervals a step string adds, each character read with StepInterval from 0 onwards.
std::vector<int> Intervals(std::string_view steps) {
    std::vector<int> intervals;
    int previous = 0;
    for (const char ch : steps) {
        previous = StepInterval(ch, previous);
        intervals.push_back(previous);
    }
    return intervals;
}

TEST(StepInterval, KnownCharactersGiveTheirInterval) {
    for (const int previous : {0, 3}) {
        EXPECT_EQ(StepInterval('1', previous), 1);
        EXPECT_EQ(StepInterval('H', previous), 1);
        EXPECT_EQ(StepInterval('2', previous), 2);
        EXPECT_EQ(StepInterval('W', previous), 2);
        EXPECT_EQ(StepInterval('3', previous), 3);
        EXPECT_EQ(StepInterval('4', previous), 4);
    }
}

TEST(StepInterval, OtherCharactersRepeatThePreviousInterval) {
    // Lower case is not recognised; neither are other digits.
    for (const char ch : {'w', 'h', ' ', '0', '5', 'x', '-', '\0'}) {
        EXPECT_EQ(StepInterval(ch, 0), 0) << int(ch);
        EXPECT_EQ(StepInterval(ch, 3), 3) << int(ch);
    }
}

TEST(StepInterval, StepStrings) {
    const std::vector<int> major = {2, 2, 1, 2, 2, 2, 1};
    EXPECT_EQ(Intervals("WWHWWWH"), major);
    EXPECT_EQ(Intervals("2212221"), major);
    EXPECT_EQ(Intervals("434"), (std::vector<int>{4, 3, 4}));
    EXPECT_EQ(Intervals("W W"), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(Intervals("xW"), (std::vector<int>{0, 2}));
    EXPECT_EQ(Intervals("wwhwwwh"), (std::vector<int>(7, 0)));
}

struct VoicingCase {
    const char* symbol;
    std::array<int, 4> tones;
};

class ChordVoicingTest : public ::testing::TestWithParam<VoicingCase> {};

TEST_P(ChordVoicingTest, WritesTonesAndCopies) {
    const VoicingCase& c = GetParam();
    Voicing voicing;
    for (int i = 0; i < voicing_entry::Count; ++i)
        voicing[i] = 100 + i;
    ChordVoicing(c.symbol, voicing);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(voicing[i], c.tones[i]) << c.symbol << " entry " << i;
    EXPECT_EQ(voicing[5], c.tones[0]) << c.symbol;
    EXPECT_EQ(voicing[6], c.tones[2]) << c.symbol;
    for (const int untouched : {4, 7, 8, 9, 10})
        EXPECT_EQ(voicing[untouched], 100 + untouched) << c.symbol;
}

INSTANTIATE_TEST_SUITE_P(
    EachRule, ChordVoicingTest,
    ::testing::Values(VoicingCase{"CmM7", {0, 3, 7, 11}}, VoicingCase{"FM7", {5, 9, 12, 16}},
                      VoicingCase{"CM", {0, 4, 7, 0}}, VoicingCase{"Ebm7b5", {3, 6, 9, 13}},
                      VoicingCase{"Dm7", {2, 5, 9, 12}}, VoicingCase{"C7b5", {0, 4, 6, 10}},
                      VoicingCase{"C7alt", {0, 4, 8, 11}}, VoicingCase{"Cdim", {0, 3, 6, 9}},
                      VoicingCase{"G7b9", {8, 11, 14, 17}}, VoicingCase{"Db6", {1, 5, 8, 10}},
                      VoicingCase{"Bb7", {10, 14, 17, 20}}, VoicingCase{"Dm", {2, 5, 9, 12}},
                      VoicingCase{"F(#5)", {5, 9, 12, 13}}, VoicingCase{"C", {0, 4, 7, 0}},
                      VoicingCase{"Aaug", {9, 13, 16, 9}}),
    [](const auto& info) { return "Rule" + std::to_string(info.index + 1); });

INSTANTIATE_TEST_SUITE_P(Overlaps, ChordVoicingTest,
                         ::testing::Values(
                             // A minor sixth plays the major sixth chord: "6" is tried before "m".
                             VoicingCase{"Cm6", {0, 4, 7, 9}},
                             // Any "7" matching none of the earlier rules is a dominant seventh.
                             VoicingCase{"C7#9", {0, 4, 7, 10}}, VoicingCase{"C7sus4", {0, 4, 7, 10}},
                             // "#5" comes after "7" and "m".
                             VoicingCase{"C7#5", {0, 4, 7, 10}}, VoicingCase{"Dm#5", {2, 5, 9, 12}},
                             // "dim7" holds "m7", which is tried before "im"; "m7b5" comes before "m7".
                             VoicingCase{"Bdim7", {11, 14, 18, 21}}, VoicingCase{"Bm7b5", {11, 14, 17, 21}},
                             // The case matters: "maj7" holds no "M".
                             VoicingCase{"Cmaj7", {0, 4, 7, 10}}),
                         [](const auto& info) { return "Case" + std::to_string(info.index + 1); });

INSTANTIATE_TEST_SUITE_P(Roots, ChordVoicingTest,
                         ::testing::Values(VoicingCase{"  F#m7  ", {6, 9, 13, 16}},
                                           VoicingCase{"Cb", {-1, 3, 6, -1}},
                                           VoicingCase{"B#7", {12, 16, 19, 22}},
                                           VoicingCase{"Bm7", {11, 14, 18, 21}},
                                           // No root letter: C.
                                           VoicingCase{"m7", {0, 3, 7, 10}}),
                         [](const auto& info) { return "Case" + std::to_string(info.index + 1); });

TEST(ChordVoicing, BlankSymbolKeepsTheTonesAndStillCopies) {
    for (const char* blank : {"", "   "}) {
        Voicing voicing;
        for (int i = 0; i < voicing_entry::Count; ++i)
            voicing[i] = 20 + i;
        ChordVoicing(blank, voicing);
        const Voicing expected = {20, 21, 22, 23, 24, 20, 22, 27, 28, 29, 30};
        EXPECT_EQ(voicing, expected) << '"' << blank << '"';
    }
}

TEST(ChordVoicing, ShapeTableAgreesWithTheSymbolsThatNameThem) {
    const std::pair<const char*, int> named[] = {
        {"CM7", chord_shape::MajorSeventh},     {"Cm7", chord_shape::MinorSeventh},
        {"C7", chord_shape::DominantSeventh},   {"Cdim", chord_shape::DiminishedSeventh},
        {"Cm7b5", chord_shape::HalfDiminished}, {"C7b5", chord_shape::SeventhFlatFive},
        {"C7b9", chord_shape::SeventhFlatNine}, {"C7alt", chord_shape::AugmentedMajorSeventh},
    };
    for (const auto& [symbol, shape] : named) {
        Voicing voicing{};
        ChordVoicing(symbol, voicing);
        EXPECT_EQ((ChordShape{voicing[0], voicing[1], voicing[2], voicing[3]}), ChordShapes[shape]) << symbol;
    }
}

// Tones of a scale digit string, in semitones above the chord root.
std::vector<int> Tones(const std::string& digits) {
    std::vector<int> tones;
    for (const char ch : digits)
        tones.push_back(DigitValue(ch));
    return tones;
}

class IIVITablesTest : public ::testing::Test {
protected:
    void SetUp() override { InitIIVITables(tables); }
    std::vector<int> Scale(int position, int treatment, int mode) const {
        return Tones(IIVIEntry(tables.IIVIScales, position, treatment, mode));
    }
    const std::string& Suffix(int position, int treatment, int mode) const {
        return IIVIEntry(tables.IIVIChordSuffix, position, treatment, mode);
    }
    IIVITables tables;
};

TEST_F(IIVITablesTest, ScalesOverEachChord) {
    using namespace iivi;
    const std::vector<int> dorian = {0, 2, 3, 5, 7, 9, 10, 12, 14, 15, 17};
    const std::vector<int> locrian = {0, 1, 3, 5, 6, 8, 10, 12, 13, 15, 17};
    const std::vector<int> mixolydian = {0, 2, 4, 5, 7, 9, 10, 12, 14, 16, 18};
    const std::vector<int> combinationOfDiminished = {0, 1, 3, 4, 6, 7, 9, 10, 12, 13, 15};
    const std::vector<int> altered = {0, 1, 3, 4, 6, 8, 10, 12, 13, 15, 16};
    const std::vector<int> wholeTone = {0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
    const std::vector<int> ionian = {0, 2, 4, 5, 7, 9, 11, 12, 14, 16, 17};
    const std::vector<int> dominant[] = {mixolydian, combinationOfDiminished, altered, wholeTone, mixolydian};
    for (int t = Mixolydian; t <= SubstituteDominant; ++t) {
        EXPECT_EQ(Scale(II, t, Major), dorian) << t;
        EXPECT_EQ(Scale(II, t, Minor), locrian) << t;
        EXPECT_EQ(Scale(V, t, Major), dominant[t]) << t;
        // Only the substitute dominant differs in minor.
        EXPECT_EQ(Scale(V, t, Minor), t == SubstituteDominant ? wholeTone : dominant[t]) << t;
        EXPECT_EQ(Scale(I, t, Major), ionian) << t;
        EXPECT_EQ(Scale(I, t, Minor), dorian) << t;
    }
}

TEST_F(IIVITablesTest, ChordSuffixes) {
    using namespace iivi;
    for (int t = Mixolydian; t <= SubstituteDominant; ++t) {
        EXPECT_EQ(Suffix(II, t, Major), "m7");
        EXPECT_EQ(Suffix(II, t, Minor), "m7b5");
        EXPECT_EQ(Suffix(V, t, Major), "7");
        EXPECT_EQ(Suffix(V, t, Minor), "7");
        EXPECT_EQ(Suffix(I, t, Major), "M7");
        EXPECT_EQ(Suffix(I, t, Minor), "m7");
    }
}

TEST_F(IIVITablesTest, IndexRuleAndMinorAlteredEntry) {
    static_assert(IIVIIndex(iivi::V, iivi::Altered, iivi::Minor) == 17);
    static_assert(IIVIIndex(iivi::I, 5, iivi::Minor) == iivi::Entries - 1);
    EXPECT_EQ(tables.IIVIScales[17], "013468ACDFG");
}

TEST_F(IIVITablesTest, TreatmentFiveStaysEmptyAndOutsideIsEmpty) {
    IIVITables used;
    used.IIVIScales.fill("junk");
    used.IIVIChordSuffix.fill("junk");
    InitIIVITables(used);
    for (int p = iivi::II; p <= iivi::I; ++p) {
        for (int m = iivi::Major; m <= iivi::Minor; ++m) {
            EXPECT_EQ(used.IIVIScales[IIVIIndex(p, 5, m)], "");
            EXPECT_EQ(used.IIVIChordSuffix[IIVIIndex(p, 5, m)], "");
        }
    }
    for (const auto& [p, t, m] : {std::tuple{-1, 0, 0}, std::tuple{3, 0, 0}, std::tuple{0, -1, 0},
                                  std::tuple{0, 6, 0}, std::tuple{0, 0, 2}, std::tuple{1, 0, -1}}) {
        EXPECT_EQ(Suffix(p, t, m), "") << p << ' ' << t << ' ' << m;
    }
}

TEST(IIVIChordOffset, RootsAboveTheKey) {
    for (int t = 0; t < iivi::Treatments; ++t) {
        EXPECT_EQ(IIVIChordOffset(iivi::II, t), 2) << t;
        EXPECT_EQ(IIVIChordOffset(iivi::V, t), t == iivi::SubstituteDominant ? 1 : 7) << t;
        EXPECT_EQ(IIVIChordOffset(iivi::I, t), 0) << t;
    }
    EXPECT_EQ(IIVIChordOffset(7, 0), 0);
}

} // namespace
} // namespace orbel
