// The cadences of a tune: every II–V(–I) and V–I of the factory charts and of charts made to show one
// behaviour each, with the written and the played places of their chords.
#include "theory/tune_analysis.h"

#include "chart_notation.h"
#include "theory/note_names.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using test::ChartOf;

std::string PlaceText(const std::optional<ChordPlace>& place) {
    return place ? std::to_string(place->bar + 1) + "." + std::to_string(place->chord + 1) : "-";
}

// "major C 1.1 1.2 2.1": kind, key, then II, V and I as bar.chord counted from 1 ("-": none).
std::string Describe(const std::vector<Cadence>& cadences) {
    static constexpr const char* Kinds[] = {"major", "minor", "backdoor", "tritone"};
    std::string text;
    for (const Cadence& c : cadences) {
        text += text.empty() ? "" : "; ";
        text += std::string(Kinds[static_cast<int>(c.kind)]) + " " +
                std::string(NoteNameCell(c.tonic, NameColumn::Flat)) + (c.minorKey ? "m " : " ");
        if (c.two) text += PlaceText(c.two) + " ";
        text += PlaceText(c.five) + " " + PlaceText(c.one);
    }
    return text;
}

struct AnalysisCase {
    const char* name;
    const char* chart;
    const char* twoFives;
    const char* fiveOnes = "";
    FormEnd end = FormEnd::Loops;
};

class CadenceTest : public ::testing::TestWithParam<AnalysisCase> {};

TEST_P(CadenceTest, FindsEveryCadence) {
    const AnalysisCase& c = GetParam();
    const TuneAnalysis analysis = AnalyseTune(ChartOf(c.chart), c.end);
    EXPECT_EQ(Describe(analysis.twoFives), c.twoFives);
    EXPECT_EQ(Describe(analysis.fiveOnes), c.fiveOnes);
    EXPECT_FALSE(analysis.writtenOrder);
}

// The factory charts of data/tunes, bar for bar.
INSTANTIATE_TEST_SUITE_P(
    FactoryCharts, CadenceTest,
    ::testing::ValuesIn(std::vector<AnalysisCase>{
        {"BluesInBb", "Bb7 | Eb7 | Bb7 | Fm7 Bb7 | Eb7 | Edim7 | Bb7 | Dm7 G7 | Cm7 | F7 | Bb7 G7 | Cm7 F7",
         "major Eb 4.1 4.2 -; minor Cm 8.1 8.2 9.1; major Bb 9.1 10.1 -; major Bb 12.1 12.2 -",
         "minor Cm 11.2 12.1"},
        {"BluesInF", "F7 | Bb7 | F7 | Cm7 F7 | Bb7 | Bdim7 | F7 | Am7 D7 | Gm7 | C7 | F7 D7 | Gm7 C7",
         "major Bb 4.1 4.2 -; minor Gm 8.1 8.2 9.1; major F 9.1 10.1 -; major F 12.1 12.2 -",
         "minor Gm 11.2 12.1"},
        {"BossaFormInF",
         "FM7 | % | Gm7 | C7 | Gm7 | C7 | FM7 | FM7 fine | Cm7 | F7 | BbM7 | % | Bbm7 | Eb7 | Am7 D7b9 | Gm7 "
         "C7 dc",
         "major F 3.1 4.1 -; major F 5.1 6.1 7.1; major Bb 9.1 10.1 11.1; major Ab 13.1 14.1 -; "
         "minor Gm 15.1 15.2 16.1; major F 16.1 16.2 1.1"},
        {"MinorBluesInC", "Cm7 | % | % | Cm7 | Fm7 | % | Cm7 | % | Ab7 | G7alt | Cm7 | Dm7b5 G7alt",
         "minor Cm 12.1 12.2 1.1", "minor Cm 10.1 11.1"},
        {"ModalFormInDDorian",
         "{ Dm7 | % | % | % | % | % | % | % } | Ebm7 | % | % | % | % | % | % | % | Dm7 | % | % | % | % | % | "
         "% | %",
         ""},
        {"RhythmFormInBb",
         "{ Bb6 G7 | Cm7 F7 | Dm7 G7 | Cm7 F7 | Fm7 Bb7 | Eb7 Edim7 | 1. Dm7 G7 | Cm7 F7 } | 2. Cm7 F7 | Bb6 "
         "| "
         "D7 | % | G7 | % | C7 | % | F7 | % | Bb6 G7 | Cm7 F7 | Dm7 G7 | Cm7 F7 | Fm7 Bb7 | Eb7 Edim7 | Cm7 "
         "F7 | "
         "Bb6",
         "major Bb 2.1 2.2 -; minor Cm 3.1 3.2 4.1; major Bb 4.1 4.2 -; major Eb 5.1 5.2 -; minor Cm 7.1 7.2 "
         "8.1; "
         "major Bb 8.1 8.2 1.1; major Bb 9.1 9.2 10.1; major Bb 20.1 20.2 -; minor Cm 21.1 21.2 22.1; "
         "major Bb 22.1 22.2 -; major Eb 23.1 23.2 -; major Bb 25.1 25.2 26.1",
         "minor Cm 1.2 2.1; major Bb 17.1 19.1; minor Cm 19.2 20.1"},
        {"TwoFiveOneCycle",
         "Dm7 G7 | CM7 | Gm7 C7 | FM7 | Cm7 F7 | BbM7 | Fm7 Bb7 | EbM7 | Bbm7 Eb7 | AbM7 | Ebm7 Ab7 | DbM7 | "
         "Abm7 Db7 | GbM7 | C#m7 F#7 | BM7 | F#m7 B7 | EM7 | Bm7 E7 | AM7 | Em7 A7 | DM7 | Am7 D7 | GM7",
         "major C 1.1 1.2 2.1; major F 3.1 3.2 4.1; major Bb 5.1 5.2 6.1; major Eb 7.1 7.2 8.1; "
         "major Ab 9.1 9.2 10.1; major Db 11.1 11.2 12.1; major Gb 13.1 13.2 14.1; major B 15.1 15.2 16.1; "
         "major E 17.1 17.2 18.1; major A 19.1 19.2 20.1; major D 21.1 21.2 22.1; major G 23.1 23.2 24.1"},
        {"WaltzFormInBb",
         "$ BbM7 | Gm7 | Cm7 | F7 | Dm7 | G7 | Cm7 | F7 @> | Fm7 | Bb7 | EbM7 | Ab7 | Dm7 | G7 | Cm7 F7 | "
         "BbM7 ds | @ Cm7 | F7 | BbM7 | /",
         "major Bb 3.1 4.1 -; minor Cm 5.1 6.1 7.1; major Bb 7.1 8.1 -; major Eb 9.1 10.1 11.1; "
         "minor Cm 13.1 14.1 15.1; major Bb 15.1 15.2 16.1; major Bb 17.1 18.1 19.1"},
    }),
    [](const ::testing::TestParamInfo<AnalysisCase>& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    MadeCharts, CadenceTest,
    ::testing::ValuesIn(std::vector<AnalysisCase>{
        {"Backdoor", "CM7 | Fm7 Bb7 | CM7", "backdoor C 2.1 2.2 3.1"},
        {"TritoneSubstitute", "Dm7 Db7 | CM7", "tritone C 1.1 1.2 2.1"},
        {"WholeTwoFiveMovedATritone", "Abm7 Db7 | CM7", "tritone C 1.1 1.2 2.1"},
        {"MinorTwoFiveOne", "Dm7b5 | G7b9 | Cm6", "minor Cm 1.1 2.1 3.1"},
        {"MinorSeventhTwoToMinor", "Dm7 G7alt | Cm7", "minor Cm 1.1 1.2 2.1"},
        {"Unresolved", "Em7 A7 | FM7", "major D 1.1 1.2 -"},
        {"HalfDiminishedTwoGoingElsewhere", "Fm7b5 Bb7 | CM7", "minor Ebm 1.1 1.2 -"},
        {"AcrossTheBarLine", "FM7 Em7b5 | A7 | Dm6", "minor Dm 1.2 2.1 3.1"},
        {"FourChordsInABar", "Am7 D7 Gm7 C7 | FM7", "minor Gm 1.1 1.2 1.3; major F 1.3 1.4 2.1"},
        {"OneAtTheTopOfTheForm", "C6 | Am7 | Dm7 | G7", "major C 3.1 4.1 1.1"},
        {"FormThatStops", "C6 | Am7 | Dm7 | G7", "major C 3.1 4.1 -", "", FormEnd::Stops},
        {"HeldOverTheEndOfTheForm", "G7 | CM7 | Dm7 | G7", "major C 3.1 4.1 2.1"},
        {"AcrossTheRepeat", "{ CM7 | Dm7 G7 } | Em7", "major C 2.1 2.2 1.1; major C 2.1 2.2 -"},
        {"FiveOneWithoutTwo", "Am7 | G7 | CM7 | E7 | Am6", "", "major C 2.1 3.1; minor Am 4.1 5.1"},
        {"BackdoorWithoutTwo", "Bb7 | CM7", "", "backdoor C 1.1 2.1"},
        {"NoChordBreaks", "Dm7 | NC | G7 | CM7 | Em7 A7 | NC | DM7", "major D 5.1 5.2 -", "major C 3.1 4.1"},
        {"SlashChords", "Dm7/C | G7/B | CM7/E", "major C 1.1 2.1 3.1"},
        {"HeldOverBars", "Dm7 | / | % | G7sus4 G7 | / | CM7", "major C 1.1 4.1 6.1"},
        {"ChainOfDominants", "E7 | A7 | D7 | G7", ""},
    }),
    [](const ::testing::TestParamInfo<AnalysisCase>& info) { return std::string(info.param.name); });

TEST(TuneAnalysisTest, NamesTheFirstPlayedPlaceOfEachChord) {
    const TuneAnalysis analysis = AnalyseTune(ChartOf("{ CM7 | Dm7 G7 } | Em7"));
    ASSERT_EQ(analysis.twoFives.size(), 2u);
    EXPECT_EQ(*analysis.twoFives[0].one, (ChordPlace{0, 0, 2, 0}));
    EXPECT_EQ(analysis.twoFives[1].five, (ChordPlace{1, 1, 3, 1}));
    EXPECT_EQ(analysis.chords.size(), 7u); // CM7 Dm7 G7, twice, then Em7
}

TEST(TuneAnalysisTest, AChordCanEndOneCadenceAndStartTheNext) {
    const TuneAnalysis analysis = AnalyseTune(ChartOf("Em7 A7 | Dm7 G7 | CM7"));
    const ChordRole& dm7 = analysis.chords[2].role;
    EXPECT_TRUE(dm7.one && dm7.two && dm7.minorKey);
    EXPECT_TRUE(analysis.chords[3].role.five && !analysis.chords[3].role.minorKey);
}

TEST(TuneAnalysisTest, ReadsTheWrittenOrderWhenTheFormCannotBeFollowed) {
    const TuneAnalysis analysis = AnalyseTune(ChartOf("Dm7 | G7 ds | CM7"));
    EXPECT_TRUE(analysis.writtenOrder);
    EXPECT_EQ(Describe(analysis.twoFives), "major C 1.1 2.1 3.1");
}

} // namespace
} // namespace orbel
