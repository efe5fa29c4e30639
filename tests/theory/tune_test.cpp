// The tune model: chord spellings, transposition, the play order of repeats, endings and jumps, the played
// form's beats.
#include "theory/tune.h"

#include "theory/vocabulary.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace orbel {
namespace {

struct SpellingCase {
    const char* written;
    const char* ours; // nullptr: not a chord
};

class ChordSpelling : public ::testing::TestWithParam<SpellingCase> {};

TEST_P(ChordSpelling, ReadsAsOurSpellingAndReadsBackTheSame) {
    const SpellingCase& c = GetParam();
    const std::optional<ChordSymbol> chord = ParseChordSymbol(c.written);
    if (!c.ours) {
        EXPECT_FALSE(chord) << c.written << " read as " << chord->text();
        return;
    }
    ASSERT_TRUE(chord) << c.written;
    EXPECT_EQ(chord->text(), c.ours) << c.written;
    EXPECT_EQ(ParseChordSymbol(chord->text()), chord) << c.written;
}

INSTANTIATE_TEST_SUITE_P(Spellings, ChordSpelling,
                         ::testing::ValuesIn(std::vector<SpellingCase>{
                             {"C", "C"},           {"CM", "C"},
                             {"Cmaj", "C"},        {"C6", "C6"},
                             {"Bb6/9", "Bb69"},    {"F6(9)", "F69"},
                             {"Cmaj7", "CM7"},     {"Cma7", "CM7"},
                             {"C^7", "CM7"},       {"CΔ", "CM7"},
                             {"CΔ7", "CM7"},       {"CM7", "CM7"},
                             {"Cm", "Cm"},         {"Cmi", "Cm"},
                             {"Cmin", "Cm"},       {"C-", "Cm"},
                             {"Cm6", "Cm6"},       {"C-7", "Cm7"},
                             {"Cmi7", "Cm7"},      {"Cmin7", "Cm7"},
                             {"Cm^7", "CmM7"},     {"C-^7", "CmM7"},
                             {"CmMaj7", "CmM7"},   {"Cm(maj7)", "CmM7"},
                             {"C7", "C7"},         {"C9", "C9"},
                             {"C7(9)", "C9"},      {"C13", "C13"},
                             {"C7(9,13)", "C13"},  {"C7b9", "C7b9"},
                             {"C7(b9)", "C7b9"},   {"C7-9", "C7b9"},
                             {"C7#9", "C7#9"},     {"C7(#11)", "C7#11"},
                             {"C7b13", "C7b13"},   {"C7alt", "C7alt"},
                             {"Calt", "C7alt"},    {"C7sus", "C7sus4"},
                             {"C7sus4", "C7sus4"}, {"Csus", "Csus4"},
                             {"Ch", "Cm7b5"},      {"Ch7", "Cm7b5"},
                             {"Cø", "Cm7b5"},      {"Cø7", "Cm7b5"},
                             {"C-7b5", "Cm7b5"},   {"Cm7(b5)", "Cm7b5"},
                             {"Co", "Cdim"},       {"Cdim", "Cdim"},
                             {"Co7", "Cdim7"},     {"C°7", "Cdim7"},
                             {"Caug", "Caug"},     {"C+", "Caug"},
                             {"C+7", "C7#5"},      {"C7+", "C7#5"},
                             {"Caug7", "C7#5"},    {"Cmaj7#11", "CM7#11"},
                             {"Cmaj9", "CM9"},     {"Cm9", "Cm9"},
                             {"Cm11", "Cm11"},     {"Cadd9", "Cadd9"},
                             {"Cm(9)", "Cmadd9"},  {"C7b9#11", "C7b9#11"},
                             {"F♯m7", "F#m7"},     {"B♭7", "Bb7"},
                             {"Cb", "B"},          {"E#m", "Fm"},
                             {"C/E", "C/E"},       {"Bb7/Ab", "Bb7/Ab"},
                             {"F/F", "F"},         {"N.C.", "N.C."},
                             {"NC", "N.C."},       {" G7 ", "G7"},
                             {"", nullptr},        {"H7", nullptr},
                             {"c7", nullptr},      {"Cfoo", nullptr},
                             {"C7x", nullptr},     {"Bbb", nullptr},
                             {"C7(b8)", nullptr},  {"C99999999999", nullptr},
                             {"Fine", nullptr},    {"Coda", nullptr},
                             {"|", nullptr},       {"C7/X", nullptr},
                         }));

// Our spellings as the accompaniment voices them: intervals above the root.
TEST(ChordSymbolVoicing, TheAccompanimentVoicesOurSpellings) {
    const std::vector<std::pair<const char*, std::array<int, 4>>> cases = {
        {"C", {0, 4, 7, 0}},        {"C6", {0, 4, 7, 9}},     {"C69", {0, 4, 7, 9}},
        {"CM7", {0, 4, 7, 11}},     {"CM9", {0, 4, 7, 11}},   {"Cm", {0, 3, 7, 10}},
        {"Cm6", {0, 3, 7, 10}},     {"Cm9", {0, 3, 7, 10}},   {"CmM7", {0, 3, 7, 11}},
        {"C9", {0, 4, 7, 10}},      {"C13", {0, 4, 7, 10}},   {"C7#9", {0, 4, 7, 10}},
        {"C7b9", {1, 4, 7, 10}},    {"Cm7b5", {0, 3, 6, 10}}, {"Cdim", {0, 3, 6, 9}},
        {"Cdim7", {0, 3, 6, 9}},    {"Caug", {0, 4, 8, 11}},  {"C7sus4", {0, 4, 7, 10}},
        {"Csus4", {0, 4, 7, 0}},    {"C7alt", {0, 4, 8, 11}}, {"Eb7/Bb", {3, 7, 10, 13}},
        {"Ab7b5", {8, 12, 14, 18}},
    };
    for (const auto& [symbol, intervals] : cases) {
        Voicing voicing{};
        ChordVoicing(ParseChordSymbol(symbol)->voicingText(), voicing);
        const int root = voicing[0] - intervals[0];
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(voicing[i] - root, intervals[i]) << symbol << " tone " << i;
    }
    EXPECT_EQ(ParseChordSymbol("N.C.")->voicingText(), "");
}

TEST(ChordSymbolTransposed, SpellsTheMovedRootForTheKey) {
    const std::vector<std::tuple<const char*, int, bool, const char*>> cases = {
        {"C7", 1, true, "Db7"},    {"C7", 1, false, "C#7"},       {"Bb/D", 2, false, "C/E"},
        {"A#m7", 0, true, "A#m7"}, {"F#m7b5", -1, true, "Fm7b5"}, {"Ab", 13, false, "A"},
        {"G/B", -14, true, "F/A"}, {"N.C.", 5, true, "N.C."},     {"E7", 6, true, "Bb7"},
    };
    for (const auto& [written, semitones, flatKey, moved] : cases)
        EXPECT_EQ(ParseChordSymbol(written)->transposed(semitones, flatKey).text(), moved) << written;
}

TEST(TransposedTuneTest, MovesKeyChordsAndAlternates) {
    Tune tune;
    tune.key = 5; // F major
    tune.flatKey = true;
    tune.bars.push_back({{{*ParseChordSymbol("F7"), ParseChordSymbol("Cm7"), 0}}});
    const Tune up = TransposedTune(tune, 1);
    EXPECT_EQ(up.key, 6);
    EXPECT_FALSE(up.flatKey); // F# major
    EXPECT_EQ(up.bars[0].chords[0].chord.text(), "F#7");
    EXPECT_EQ(up.bars[0].chords[0].alternate->text(), "C#m7");
    EXPECT_EQ(TransposedTune(tune, 5).bars[0].chords[0].chord.text(), "Bb7");
    EXPECT_EQ(TransposedTune(tune, 12), tune);
}

// A chart in a few characters a bar, bars apart by blanks: "[" ‖:, "]" :‖ (a number after it: the times),
// another digit an ending, S segno, C coda mark, T To Coda, F Fine, D D.S., P D.C., "." nothing.
Tune Chart(std::string_view marks) {
    Tune tune;
    std::istringstream words{std::string(marks)};
    for (std::string word; words >> word;) {
        TuneBar bar;
        for (std::size_t i = 0; i < word.size(); ++i) {
            const char ch = word[i];
            if (ch == ']') {
                bar.repeatTimes =
                    i + 1 < word.size() && std::isdigit(word[i + 1]) ? std::stoi(word.substr(i + 1)) : 2;
                break;
            }
            if (std::isdigit(ch)) bar.ending = ch - '0';
            bar.repeatStart |= ch == '[';
            bar.segno |= ch == 'S';
            bar.codaMark |= ch == 'C';
            bar.toCoda |= ch == 'T';
            bar.fine |= ch == 'F';
            if (ch == 'D') bar.jump = TuneBar::Jump::DalSegno;
            if (ch == 'P') bar.jump = TuneBar::Jump::DaCapo;
        }
        tune.bars.push_back(bar);
    }
    return tune;
}

struct OrderCase {
    const char* name;
    const char* chart;
    const char* order; // bars from 1, or the start of the error
};

class PlayOrderTest : public ::testing::TestWithParam<OrderCase> {};

TEST_P(PlayOrderTest, PlaysTheBarsInOrder) {
    const OrderCase& c = GetParam();
    std::string error;
    const std::vector<int> order = PlayOrder(Chart(c.chart), &error);
    std::string played;
    for (const int bar : order)
        played += (played.empty() ? "" : " ") + std::to_string(bar + 1);
    const bool refused =
        std::string_view(c.order).starts_with("bar") || std::string_view(c.order).starts_with("the");
    EXPECT_EQ(refused ? error.substr(0, std::string_view(c.order).size()) : played, c.order);
    EXPECT_EQ(refused, !error.empty()) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PlayOrderTest,
    ::testing::ValuesIn(std::vector<OrderCase>{
        {"Blues", ". . . . . . . . . . . .", "1 2 3 4 5 6 7 8 9 10 11 12"},
        {"Repeat", "[ . ] .", "1 2 3 1 2 3 4"},
        {"RepeatFromTheTop", ". ] .", "1 2 1 2 3"},
        {"RepeatThreeTimes", "[ .]3 .", "1 2 1 2 1 2 3"},
        {"TwoRepeats", "[ ] [ ]", "1 2 1 2 3 4 3 4"},
        {"AabaWithEndings", "[ . 1 ] 2 . . .", "1 2 3 4 1 2 5 6 7 8"},
        {"ThreeEndings", "[ . 1] 2] 3 .", "1 2 3 1 2 4 1 2 5 6"},
        {"DaCapoAlFine", ". F . P", "1 2 3 4 1 2"},
        {"DalSegnoAlCoda", ". S . T . D C .", "1 2 3 4 5 6 2 3 4 7 8"},
        {"DaCapoAlCoda", "T . P C", "1 2 3 1 4"},
        {"NoRepeatsAfterTheJump", "[S . 1] 2 . D", "1 2 3 1 2 4 5 6 1 2 4 5 6"},
        {"NoSegno", ". D", "bar 2: D.S. but no bar has a segno"},
        {"NoCodaMark", "T . P", "bar 1: To Coda but no bar has a coda mark"},
        {"EndingWithoutItsRepeat", ". 2 .", "bar 2: the 2. ending is reached on pass 1"},
        {"FirstEndingNeverClosed", "[ 1 .", "bar 2: the 1. ending is not closed"},
        {"NoEndingForThePass", "[ 1] .", "bar 2: the 1. ending ends in :| but no later ending follows"},
        {"EndlessRepeat", "[ ]5000", "the form plays more than 4000 bars"},
        {"Empty", "", ""},
    }),
    [](const ::testing::TestParamInfo<OrderCase>& info) { return std::string(info.param.name); });

TEST(PlayedFormTest, FillsTheBeatsOfEveryBar) {
    Tune tune;
    tune.timeTop = 3;
    const auto chord = [](const char* text, int beats) {
        return TuneChord{*ParseChordSymbol(text), {}, beats};
    };
    tune.bars = {TuneBar{{chord("C7", 0), chord("F7", 0)}}, TuneBar{},
                 TuneBar{{chord("Dm7", 3), chord("G7", 0)}}, TuneBar{},
                 TuneBar{{chord("A7", 0), chord("D7", 0), chord("G7", 0)}}};
    tune.bars[2].timeTop = 5;
    tune.bars[3].noChord = true;
    const std::vector<std::string> expected = {"C7:2 F7:1", "F7:3", "Dm7:3 G7:2", "N.C.:5", "A7:2 D7:2 G7:1"};
    const std::vector<PlayedBar> form = PlayedForm(tune, {0, 1, 2, 3, 4});
    ASSERT_EQ(form.size(), expected.size());
    for (std::size_t i = 0; i < form.size(); ++i) {
        std::string written;
        for (const TuneChord& c : form[i].chords)
            written += (written.empty() ? "" : " ") + c.chord.text() + ":" + std::to_string(c.beats);
        EXPECT_EQ(written, expected[i]) << "bar " << i + 1;
        EXPECT_EQ(form[i].writtenBar, static_cast<int>(i));
    }
}

} // namespace
} // namespace orbel
