// The build behind every change of the selection: which builder runs, and what follows it.
#include "theory/prepare_build.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using test::Pitches;

class BuildSequenceForSelectionTest : public ::testing::Test {
protected:
    BuildSequenceForSelectionTest() {
        InitIIVITables(tables);
        catalogue =
            test::CatalogueOf({{"Major", "WWHWWWH"}}, {{"M7", "434"}}, {{"1-3-5-7", "1357"}, {"bad", "0"}});
        test::AddPhrase(phrases, test::DorianPhraseLines());
        test::AddPhrase(phrases, {"*Cm7", "6C4", "6Eb4", "6G4", "6Bb4"});
    }

    BuildMessage Build(int studyType, int item, bool isChangeOnly = false) {
        settings.StudyType = static_cast<std::int16_t>(studyType);
        if (studyType >= 0 && studyType < settings_limits::StudyItemSlots)
            settings.StudyItem[static_cast<std::size_t>(studyType)] = static_cast<std::int16_t>(item);
        return BuildSequenceForSelection(seq, settings, catalogue, phrases, tables, isChangeOnly);
    }

    Catalogue catalogue;
    PhraseList phrases;
    IIVITables tables;
    Settings settings;
    PlaySequence seq;
};

TEST_F(BuildSequenceForSelectionTest, EachStudyTypeRunsItsBuilderOnTheRoot) {
    settings.RootKey = 2;
    ASSERT_FALSE(Build(study_type::Scale, 0).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 28, 30, 31, 33, 35, 37, 38}));
    EXPECT_EQ(test::Beams(seq), (std::vector<int>{1, 2, 2, 3, 1, 2, 2, 3}));

    ASSERT_FALSE(Build(study_type::Chord, 0).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 30, 33, 37}));
    EXPECT_EQ(seq.SeqChord[0], "DM7");

    ASSERT_FALSE(Build(study_type::IIVIPattern, 0).has_value());
    EXPECT_EQ(seq.SeqCount, 16);
    EXPECT_EQ(seq.SeqChord[0], "Em7");
    EXPECT_EQ(settings.RootKey, 2);

    for (const int type : {study_type::IIVIPhrase, study_type::UserPhrase}) {
        settings.RootKey = 9;
        ASSERT_FALSE(Build(type, 0).has_value());
        EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 29, 33, 24}));
        EXPECT_EQ(settings.RootKey, 2);
        EXPECT_EQ(seq.LastBuiltRoot, 2);
    }
}

TEST_F(BuildSequenceForSelectionTest, ARootChangeMovesTheParsedPhrase) {
    ASSERT_FALSE(Build(study_type::IIVIPhrase, 0).has_value());
    settings.RootKey = 4;
    ASSERT_FALSE(Build(study_type::IIVIPhrase, 0, true).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{28, 31, 35, 26}));
    EXPECT_EQ(seq.SeqChord[0], "Em7");
    EXPECT_EQ(seq.LastBuiltRoot, 4);
    EXPECT_EQ(settings.RootKey, 4);

    // Parsing again starts from the file: the key is the phrase's own.
    ASSERT_FALSE(Build(study_type::IIVIPhrase, 0).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 29, 33, 24}));
    EXPECT_EQ(settings.RootKey, 2);
}

TEST_F(BuildSequenceForSelectionTest, FitsTheRangeAfterBuilding) {
    settings.RangeLimitOn = 1;
    settings.RangeHigh = 60;
    settings.RangeLow = 30;
    ASSERT_FALSE(Build(study_type::IIVIPhrase, 1).has_value());
    EXPECT_EQ(seq.OctaveShift, -1);
    EXPECT_EQ(test::Beams(seq), (std::vector<int>{1, 2, 2, 3}));
    ASSERT_FALSE(Build(study_type::IIVIPhrase, 1).has_value());
    EXPECT_EQ(seq.OctaveShift, -1);
}

TEST_F(BuildSequenceForSelectionTest, RefusedItemsPassTheirMessageOn) {
    ASSERT_FALSE(Build(study_type::Scale, 0).has_value());
    const BuildMessage message = Build(study_type::IIVIPattern, 1);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, "ファイルの内容が変です。修正してください");
    EXPECT_EQ(seq.SeqCount, 0);
}

TEST_F(BuildSequenceForSelectionTest, UnknownSelectionsGiveAnEmptySequence) {
    const std::vector<std::pair<int, int>> selections{{study_type::Scale, 1},
                                                      {study_type::Chord, -1},
                                                      {study_type::IIVIPattern, 2},
                                                      {study_type::IIVIPhrase, 2},
                                                      {study_type::UserPhrase, 300},
                                                      {5, 0},
                                                      {-1, 0},
                                                      {200, 0}};
    for (const auto& [type, item] : selections) {
        settings.StudyType = study_type::Scale;
        settings.StudyItem[0] = 0;
        ASSERT_FALSE(BuildSequenceForSelection(seq, settings, catalogue, phrases, tables, false));
        ASSERT_EQ(seq.SeqCount, 8);
        EXPECT_FALSE(Build(type, item).has_value()) << type << ", " << item;
        EXPECT_EQ(seq.SeqCount, 0) << type << ", " << item;
    }
}

} // namespace
} // namespace orbel
