// Scales and chords built from their step strings, up and down.
#include "theory/sequence_builder.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace orbel {
namespace {

using test::CatalogueOf;
using test::Pitches;

struct ScaleCase {
    const char* label;
    std::string name;
    std::string steps;
    int root;
    bool upDown;
    std::vector<int> pitches;
};

class BuildScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(BuildScaleTest, BuildsEighthNotesFromTheRootInOctaveThree) {
    const ScaleCase& c = GetParam();
    const Catalogue catalogue = CatalogueOf({{c.name, c.steps}}, {}, {});
    Settings settings;
    settings.UpDown = c.upDown ? 1 : 0;
    PlaySequence seq;
    seq.MajorSpelling = 0;

    EXPECT_FALSE(BuildScaleOrChord(seq, settings, catalogue, true, 0, c.root).has_value());
    EXPECT_EQ(Pitches(seq), c.pitches);
    EXPECT_EQ(test::Durations(seq), std::vector<int>(c.pitches.size(), 12));
    EXPECT_EQ(seq.BeatsPerBar, 4);
    EXPECT_EQ(seq.MajorSpelling, 1);
}

INSTANTIATE_TEST_SUITE_P(
    StepStrings, BuildScaleTest,
    ::testing::Values(ScaleCase{"CMajor", "Major", "WWHWWWH", 0, false, {24, 26, 28, 29, 31, 33, 35, 36}},
                      ScaleCase{
                          "CMajorDigits", "Major", "2212221", 0, false, {24, 26, 28, 29, 31, 33, 35, 36}},
                      ScaleCase{"CMajorUpDown",
                                "Major",
                                "WWHWWWH",
                                0,
                                true,
                                {24, 26, 28, 29, 31, 33, 35, 36, 36, 35, 33, 31, 29, 28, 26, 24}},
                      ScaleCase{"MelodicMinorOnA",
                                "ﾒﾛﾃﾞｨｯｸﾏｲﾅｰ2",
                                "WHWWWWH",
                                9,
                                true,
                                {33, 35, 36, 38, 40, 42, 44, 45, 45, 43, 41, 40, 38, 36, 35, 33}},
                      // Without both marks in the name the descent mirrors the ascent.
                      ScaleCase{"MinorWithoutTwo",
                                "ﾒﾛﾃﾞｨｯｸﾏｲﾅｰ",
                                "WHWWWWH",
                                9,
                                true,
                                {33, 35, 36, 38, 40, 42, 44, 45, 45, 44, 42, 40, 38, 36, 35, 33}},
                      // On a string too short for both lowered notes only the note that exists is lowered.
                      ScaleCase{"ShortMelodicMinor", "ﾏｲﾅ2", "W", 0, true, {24, 26, 26, 23}},
                      // A blank, a lower-case letter and a full-width letter repeat the previous interval; an
                      // unknown first character repeats the root.
                      ScaleCase{"UnknownCharacters", "Odd", "W w3Ｗ", 0, false, {24, 26, 28, 30, 33, 36}},
                      ScaleCase{"UnknownFirst", "Odd", "xW", 2, false, {26, 26, 28}},
                      ScaleCase{"EmptySteps", "Root", "", 5, true, {29, 29}}),
    [](const ::testing::TestParamInfo<ScaleCase>& info) { return info.param.label; });

TEST(BuildScaleOrChordTest, TitlesUseTheSpellingOfThePreviousBuild) {
    const Catalogue catalogue = CatalogueOf({{"ﾄﾞﾘｱﾝ", "WHWWWHW"}}, {{"m7", "343"}}, {});
    const Settings settings;
    PlaySequence seq;

    seq.MajorSpelling = 0;
    BuildScaleOrChord(seq, settings, catalogue, true, 0, 1);
    EXPECT_EQ(seq.SeqChord[0], "C# ﾄﾞﾘｱﾝ");
    EXPECT_EQ(seq.SeqChord[1], "");

    // The scale build set major spelling, which the next title uses.
    ClearSequence(seq);
    BuildScaleOrChord(seq, settings, catalogue, false, 0, 1);
    EXPECT_EQ(seq.SeqChord[0], "Dbm7");
    EXPECT_EQ(Pitches(seq), (std::vector<int>{25, 28, 32, 35}));
}

TEST(BuildScaleOrChordTest, LongestStepStringsThatFitAreBuilt) {
    Settings settings;
    PlaySequence seq;
    const Catalogue up = CatalogueOf({{"Long", std::string(512, 'H')}}, {}, {});
    EXPECT_FALSE(BuildScaleOrChord(seq, settings, up, true, 0, 0).has_value());
    EXPECT_EQ(seq.SeqCount, 513);
    EXPECT_EQ(seq.SeqPitch[512], 24 + 512);

    settings.UpDown = 1;
    const Catalogue upDown = CatalogueOf({{"Long", std::string(255, 'H')}}, {}, {});
    EXPECT_FALSE(BuildScaleOrChord(seq, settings, upDown, true, 0, 0).has_value());
    EXPECT_EQ(seq.SeqCount, 512);
    EXPECT_EQ(seq.SeqPitch[511], 24);
}

TEST(BuildScaleOrChordTest, StepStringsLongerThanTheSequenceAreRefused) {
    std::string fullWidth; // counted in characters: 300 full-width letters are 300 steps
    for (int i = 0; i < 300; ++i)
        fullWidth += "Ｗ";
    const std::pair<std::string, bool> cases[] = {
        {std::string(513, 'W'), false}, {std::string(256, 'W'), true}, {fullWidth, true}};
    for (const auto& [steps, upDown] : cases) {
        const Catalogue catalogue = CatalogueOf({{"Long", steps}}, {{"Long", steps}}, {});
        Settings settings;
        settings.UpDown = upDown ? 1 : 0;
        for (const bool isScale : {true, false}) {
            PlaySequence seq; // as an earlier build left it
            seq.SeqCount = 3;
            seq.SeqChord[0] = "C Major";
            const BuildMessage message = BuildScaleOrChord(seq, settings, catalogue, isScale, 0, 0);
            ASSERT_TRUE(message.has_value()) << steps.size();
            EXPECT_EQ(*message, "ファイルの内容が変です。修正してください");
            EXPECT_EQ(seq.SeqCount, 0);
            EXPECT_EQ(seq.SeqChord[0], "");
        }
    }
}

TEST(BuildScaleOrChordTest, ItemOutsideTheCatalogueGivesAnEmptySequence) {
    const Catalogue catalogue = CatalogueOf({{"Major", "WWHWWWH"}}, {}, {});
    const Settings settings;
    for (const int item : {-1, 1, 31, 1000}) {
        PlaySequence seq;
        seq.SeqCount = 8;
        EXPECT_FALSE(BuildScaleOrChord(seq, settings, catalogue, true, item, 0).has_value());
        EXPECT_EQ(seq.SeqCount, 0) << item;
    }
}

} // namespace
} // namespace orbel
