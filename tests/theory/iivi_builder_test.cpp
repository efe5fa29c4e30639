// II–V–I digital patterns: notes, chord symbols, bar divisions, degree names and ring points.
#include "theory/sequence_builder.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using test::CatalogueOf;
using test::Durations;
using test::Pitches;

class IIVIPatternTest : public ::testing::Test {
protected:
    IIVIPatternTest() { InitIIVITables(tables); }

    BuildMessage Build(const std::string& digits, int mode, int treatment, int root = 0) {
        const Catalogue catalogue = CatalogueOf({}, {}, {{"pattern", digits}});
        settings.IIVIMode = {static_cast<std::int16_t>(mode), static_cast<std::int16_t>(treatment)};
        return BuildIIVIPattern(seq, settings, catalogue, tables, 0, root);
    }

    std::vector<std::string> ChordsAt(const std::vector<int>& notes) const {
        std::vector<std::string> chords;
        for (const int note : notes)
            chords.push_back(seq.SeqChord[static_cast<std::size_t>(note)]);
        return chords;
    }

    IIVITables tables;
    Settings settings;
    PlaySequence seq;
};

TEST_F(IIVIPatternTest, OneThreeFiveSevenInCMajor) {
    ASSERT_FALSE(Build("1357", iivi::Major, iivi::Mixolydian).has_value());
    EXPECT_EQ(Pitches(seq),
              (std::vector<int>{26, 29, 33, 36, 31, 35, 38, 41, 24, 28, 31, 35, 24, 28, 31, 35}));
    EXPECT_EQ(Durations(seq), std::vector<int>(16, 24));
    EXPECT_EQ(ChordsAt({0, 4, 8, 12}), (std::vector<std::string>{"Dm7", "G7", "CM7", "CM7"}));
    for (const int note : {1, 2, 3, 5, 13, 15})
        EXPECT_EQ(seq.SeqChord[static_cast<std::size_t>(note)], "");
    EXPECT_EQ(seq.BeatsPerBar, 4);
    EXPECT_EQ(seq.MajorSpelling, 1);
}

TEST_F(IIVIPatternTest, SubstituteDominantIsBuiltASemitoneAboveTheKey) {
    ASSERT_FALSE(Build("1357", iivi::Major, iivi::SubstituteDominant).has_value());
    EXPECT_EQ(seq.SeqChord[4], "Db7");
    EXPECT_EQ(std::vector<int>(seq.SeqPitch.begin() + 4, seq.SeqPitch.begin() + 8),
              (std::vector<int>{25, 29, 32, 35}));
}

TEST_F(IIVIPatternTest, MinorKeyUsesMinorChordsAndSpelling) {
    seq.MajorSpelling = 1;
    ASSERT_FALSE(Build("1", iivi::Minor, iivi::Altered, 2).has_value());
    EXPECT_EQ(ChordsAt({0, 1, 2, 3}), (std::vector<std::string>{"Em7b5", "A7", "Dm7", "Dm7"}));
    EXPECT_EQ(Pitches(seq), (std::vector<int>{28, 33, 26, 26}));
    EXPECT_EQ(seq.MajorSpelling, 0);
}

TEST_F(IIVIPatternTest, DigitsEightAndNinePlayTheChordRoot) {
    ASSERT_FALSE(Build("789", iivi::Major, iivi::Mixolydian).has_value());
    // Digit 7 is the seventh character: A above D, A above G, B above C.
    EXPECT_EQ(Pitches(seq), (std::vector<int>{36, 26, 26, 41, 31, 31, 35, 24, 24, 35, 24, 24}));
}

TEST_F(IIVIPatternTest, StoresDegreeNamesAndTheRingOfTheChord) {
    ASSERT_FALSE(Build("12", iivi::Major, iivi::Mixolydian).has_value());
    // II on D (pitch classes 2 and 4) on the inner ring, V on G (7, 9) on the middle ring, I on C (0, 2) on
    // the outer ring.
    const std::vector<std::string> degrees{"Ⅰ", "Ⅱ", "Ⅰ", "Ⅱ", "Ⅰ", "Ⅱ", "Ⅰ", "Ⅱ"};
    using namespace circle_ring;
    const std::vector<std::int8_t> rings{Inner, Inner, Middle, Middle, Outer, Outer, Outer, Outer};
    ASSERT_EQ(seq.SeqCount, 8);
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(seq.SeqDegree[i], degrees[i]) << i;
        EXPECT_EQ(seq.SeqRing[i], rings[i]) << i;
    }
    EXPECT_EQ(Durations(seq), std::vector<int>(8, 48));
}

TEST_F(IIVIPatternTest, ABarIsSharedAmongTheDigits) {
    const std::vector<std::vector<int>> bars{
        {96}, {48, 48}, {24, 24, 48}, {24, 24, 24, 24}, {24, 24, 24, 12, 12}, {24, 24, 12, 12, 12, 12}};
    for (std::size_t n = 1; n <= bars.size(); ++n) {
        ASSERT_FALSE(Build(std::string("123456").substr(0, n), iivi::Major, iivi::Mixolydian).has_value());
        std::vector<int> expected;
        for (int bar = 0; bar < 4; ++bar)
            expected.insert(expected.end(), bars[n - 1].begin(), bars[n - 1].end());
        EXPECT_EQ(Durations(seq), expected) << n << " digits";
    }
}

TEST_F(IIVIPatternTest, PatternsThatCannotFillABarAreRefused) {
    for (const char* digits : {"0", "1350", "1A35", "13-5", "1 3", "1234567", "", "１３５"}) {
        seq.SeqCount = 5; // as an earlier build left it
        seq.SeqChord[0] = "Dm7";
        const BuildMessage message = Build(digits, iivi::Major, iivi::Mixolydian);
        ASSERT_TRUE(message.has_value()) << '"' << digits << '"';
        EXPECT_EQ(*message, "ファイルの内容が変です。修正してください");
        EXPECT_EQ(seq.SeqCount, 0) << digits;
        EXPECT_EQ(seq.SeqChord[0], "") << digits;
    }
}

TEST_F(IIVIPatternTest, UnknownItemOrTreatmentNeverReadsPastATable) {
    const Catalogue catalogue = CatalogueOf({}, {}, {{"pattern", "1357"}});
    for (const int item : {-1, 1, 31}) {
        EXPECT_FALSE(BuildIIVIPattern(seq, settings, catalogue, tables, item, 0).has_value());
        EXPECT_EQ(seq.SeqCount, 0);
    }
    // Treatment 5 has empty table entries and 9 none at all: every note falls on the chord root.
    for (const int treatment : {5, 9, -1}) {
        ASSERT_FALSE(Build("13", iivi::Major, treatment).has_value());
        EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 26, 31, 31, 24, 24, 24, 24})) << treatment;
        EXPECT_EQ(seq.SeqChord[0], "D") << treatment;
    }
}

} // namespace
} // namespace orbel
