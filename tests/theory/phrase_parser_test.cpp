// Phrase items parsed from their data lines, and moved to another root.
#include "theory/phrase_parser.h"

#include "theory/sequence_builder.h"
#include "theory/sequence_text.h"

#include "sequence_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using test::AddPhrase;
using test::Durations;
using test::Pitches;

static constexpr const char* Faulty = "ファイルの内容が変です。修正してください";

class ParsePhraseTest : public ::testing::Test {
protected:
    BuildMessage Parse(std::vector<std::string> lines, std::int16_t beats = 4) {
        phrases = {};
        AddPhrase(phrases, std::move(lines), beats);
        ClearSequence(seq);
        return ParsePhrase(seq, settings, phrases, 0);
    }

    PhraseList phrases;
    Settings settings;
    PlaySequence seq;
};

TEST_F(ParsePhraseTest, ReadsNotesChordsAndRowBreaks) {
    settings.RootKey = 7;
    seq.MajorSpelling = 1;
    ASSERT_FALSE(Parse(test::DorianPhraseLines()).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{26, 29, 33, 24}));
    EXPECT_EQ(Durations(seq), (std::vector<int>{24, 24, 24, 24}));
    EXPECT_EQ(seq.SeqChord[0], "Dm7");
    EXPECT_EQ(seq.SeqChord[1], "");
    EXPECT_EQ(
        (std::vector<int>{seq.SeqBarStart[0], seq.SeqBarStart[1], seq.SeqBarStart[2], seq.SeqBarStart[3]}),
        (std::vector<int>{0, 0, 1, 0}));
    EXPECT_EQ(settings.RootKey, 2);
    EXPECT_EQ(seq.MajorSpelling, 0);
    EXPECT_EQ(seq.BeatsPerBar, 4);
}

TEST_F(ParsePhraseTest, ReadsRestsTiesAndDurationCodes) {
    ASSERT_FALSE(Parse({"*  Bb7  ", "R5", "4BbT4", "=4BbT4", "4DT4", "3E4.", "=3F#2", "3G9"}, 3).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{30, 46, 46, 38, 28, 30, 31}));
    EXPECT_EQ(Durations(seq), (std::vector<int>{24, 8, 8, 8, 18, 3, 0}));
    EXPECT_EQ(test::ValidPart(seq.SeqRest, seq), (std::vector<int>{1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(test::ValidPart(seq.SeqTie, seq), (std::vector<int>{0, 0, 1, 0, 0, 1, 0}));
    EXPECT_EQ(seq.SeqChord[0], "Bb7"); // over the rest, the next note line
    EXPECT_EQ(seq.BeatsPerBar, 3);
    EXPECT_EQ(settings.RootKey, 10);
    EXPECT_EQ(seq.MajorSpelling, 1);
}

TEST_F(ParsePhraseTest, KeyFollowsTheLastChordRead) {
    ASSERT_FALSE(Parse({"*Dm7", "3D5", "*G7", "3G5", "*CM7", "3C6"}).has_value());
    EXPECT_EQ(settings.RootKey, 0);
    EXPECT_EQ(seq.MajorSpelling, 1);

    // A chord line after the last note still sets the key; one with no note under it is not stored.
    ASSERT_FALSE(Parse({"3D5", "*F#m7b5"}).has_value());
    EXPECT_EQ(settings.RootKey, 6);
    EXPECT_EQ(seq.MajorSpelling, 0);
    EXPECT_EQ(seq.SeqChord[0], "");

    // Without any chord the phrase is in C major; a B# root folds to C.
    settings.RootKey = 5;
    ASSERT_FALSE(Parse({"3D5"}).has_value());
    EXPECT_EQ(settings.RootKey, 0);
    ASSERT_FALSE(Parse({"*B#7", "3D5"}).has_value());
    EXPECT_EQ(settings.RootKey, 0);
}

TEST_F(ParsePhraseTest, FirstBlankLineEndsTheItem) {
    ASSERT_FALSE(Parse({"3C5", "3D5", "", "3E5"}).has_value());
    EXPECT_EQ(Pitches(seq), (std::vector<int>{24, 26}));
    ASSERT_FALSE(Parse({}).has_value());
    EXPECT_EQ(seq.SeqCount, 0);
}

TEST_F(ParsePhraseTest, ChordSymbolsAreCutAtWholeCharacters) {
    std::string chord = "C";
    for (int i = 0; i < 30; ++i)
        chord += "♭";
    ASSERT_FALSE(Parse({"*" + chord, "3C5"}).has_value());
    EXPECT_EQ(seq.SeqChord[0], CutToCharacters(chord, 24));
    EXPECT_EQ(seq.SeqChord[0].size(), 1 + 23 * std::string("♭").size());
}

TEST_F(ParsePhraseTest, AnItemWithoutEndIsRefused) {
    std::vector<std::string> lines(400, "3C4");
    ASSERT_FALSE(Parse(lines).has_value());
    EXPECT_EQ(seq.SeqCount, 400);

    lines.push_back("\\");
    settings.RootKey = 9;
    seq.MajorSpelling = 1;
    const BuildMessage message = Parse(lines);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(*message, Faulty);
    EXPECT_EQ(seq.SeqCount, 0);
    EXPECT_EQ(settings.RootKey, 9);
    EXPECT_EQ(seq.MajorSpelling, 1);
}

TEST_F(ParsePhraseTest, DurationNumbersBeyondSixteenBitsAreRefused) {
    for (const char* token : {"3C40000", "3C32768", "3CT32468", "3C40000.", "3C-40000"}) {
        settings.RootKey = 4;
        const BuildMessage message = Parse({"*Dm7", "3D5", token});
        ASSERT_TRUE(message.has_value()) << token;
        EXPECT_EQ(*message, Faulty);
        EXPECT_EQ(seq.SeqCount, 0) << token;
        EXPECT_EQ(seq.SeqChord[0], "") << token;
        EXPECT_EQ(settings.RootKey, 4) << token;
    }
    // Numbers that fit are read, and an unknown code is simply no duration.
    ASSERT_FALSE(Parse({"3C32767", "3CT32467", "3C"}).has_value());
    EXPECT_EQ(Durations(seq), (std::vector<int>{0, 0, 0}));
}

TEST_F(ParsePhraseTest, MissingItemGivesAnEmptySequence) {
    AddPhrase(phrases, test::DorianPhraseLines());
    for (const int item : {-1, 1, 301}) {
        seq.SeqCount = 4;
        settings.RootKey = 5;
        EXPECT_FALSE(ParsePhrase(seq, settings, phrases, item).has_value());
        EXPECT_EQ(seq.SeqCount, 0);
        EXPECT_EQ(settings.RootKey, 5);
    }
}

TEST_F(ParsePhraseTest, TransposingRenamesChordRootsForTheNewKey) {
    ASSERT_FALSE(Parse({"*Bb7(#9)", "3A5", "R5", "*%", "3F5", "\\", "*Dm7", "=3D4"}).has_value());
    const PlaySequence parsed = seq;
    settings.RootKey = 4; // D minor → E minor
    TransposeSequence(seq, settings, 2);
    EXPECT_EQ(Pitches(seq), (std::vector<int>{35, 32, 31, 28}));
    EXPECT_EQ(seq.SeqChord[0], "C7(#9)");
    EXPECT_EQ(seq.SeqChord[2], "%");
    EXPECT_EQ(seq.SeqChord[3], "Em7");
    EXPECT_EQ(seq.SeqRest, parsed.SeqRest);
    EXPECT_EQ(seq.SeqDur, parsed.SeqDur);
    EXPECT_EQ(seq.SeqTie, parsed.SeqTie);
    EXPECT_EQ(seq.SeqBarStart, parsed.SeqBarStart);

    settings.RootKey = 3; // E minor → E♭ minor, a flat key
    TransposeSequence(seq, settings, -1);
    EXPECT_EQ(seq.SeqChord[0], "B7(#9)");
    EXPECT_EQ(seq.SeqChord[3], "Ebm7");

    settings.RootKey = 1; // C♯ minor is spelled with sharps
    TransposeSequence(seq, settings, -2);
    EXPECT_EQ(seq.SeqChord[0], "A7(#9)");
    EXPECT_EQ(seq.SeqChord[3], "C#m7");
    EXPECT_EQ(Pitches(seq), (std::vector<int>{32, 29, 28, 25}));
}

} // namespace
} // namespace orbel
