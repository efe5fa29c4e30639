// The scale over each chord of a tune by its quality and its role in a cadence, found in the catalogue by
// its notes; the guide tones of each chord.
#include "theory/chord_scale.h"

#include "chart_notation.h"
#include "theory/note_names.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

using test::ChartOf;

static constexpr std::array<const char*, static_cast<std::size_t>(ScaleKind::Count)> KindNames = {
    "None",    "Major",          "Dorian",       "Lydian",        "Mixolydian",       "Aeolian",
    "Locrian", "HalfDiminished", "MelodicMinor", "HarmonicMinor", "PhrygianDominant", "LydianDominant",
    "Altered", "HalfWhole",      "WholeHalf",    "WholeTone",     "LydianAugmented"};

Catalogue CatalogueOf(const std::vector<std::string>& steps) {
    Catalogue catalogue;
    for (std::size_t i = 0; i < steps.size(); ++i)
        catalogue.ScaleSteps[i] = steps[i];
    catalogue.ScaleCount = static_cast<std::int16_t>(steps.size());
    return catalogue;
}

// The steps of the factory scale.txt: the text after the comma of each data line.
Catalogue FactoryCatalogue() {
    std::ifstream file(ORBEL_TEST_SOURCE_DIR "/../data/scale.txt");
    std::vector<std::string> steps;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#' || line.find(',') == std::string::npos) continue;
        std::string step = line.substr(line.find(',') + 1);
        std::erase(step, '\r');
        steps.push_back(step);
    }
    return CatalogueOf(steps);
}

struct ScaleCase {
    const char* name;
    const char* chart;
    const char* scales; // one a chord, as played
    int key = 0;
    bool minorKey = false;
};

class ChordScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ChordScaleTest, ChoosesByQualityAndFunction) {
    const ScaleCase& c = GetParam();
    const Tune tune = ChartOf(c.chart, c.key, c.minorKey);
    const ScaleFinder finder(FactoryCatalogue());
    std::string chosen;
    for (const ChordScale& scale : ChooseScales(tune, AnalyseTune(tune), finder)) {
        chosen +=
            (chosen.empty() ? "" : " ") + std::string(KindNames[static_cast<std::size_t>(scale.wanted)]);
        EXPECT_EQ(scale.choice.played, scale.wanted) << "the factory catalogue has it";
    }
    EXPECT_EQ(chosen, c.scales);
}

INSTANTIATE_TEST_SUITE_P(
    Charts, ChordScaleTest,
    ::testing::ValuesIn(std::vector<ScaleCase>{
        {"MajorTwoFiveOne", "Dm7 G7 | CM7", "Dorian Mixolydian Major"},
        {"MinorTwoFiveOne", "Dm7b5 G7 | Cm6", "HalfDiminished Altered MelodicMinor"},
        {"MinorSeventhTonic", "Am7 D7 | Gm7", "Dorian Altered Dorian"},
        {"FiveToMinorWithoutTwo", "E7 | Am", "Altered MelodicMinor"},
        {"NaturalTensionsKept", "Em7b5 A9 | Dm", "HalfDiminished Mixolydian MelodicMinor"},
        {"TritoneSubstitute", "Dm7 Db7 | CM7", "Dorian LydianDominant Major"},
        {"Backdoor", "CM7 | Fm7 Bb7 | CM7", "Major Dorian LydianDominant Major"},
        {"BluesDominants", "F7 | Bb7 | F7 | Cm7 F7", "Mixolydian Mixolydian Mixolydian Dorian Mixolydian", 5},
        {"FourChord", "CM7 | FM7 | G7 | CM7", "Major Lydian Mixolydian Major"},
        {"FourChordAsACadenceTonic", "Gm7 C7 | FM7", "Dorian Mixolydian Major"},
        {"MinorKeyTonicTriad", "Cm | Fm | Cm", "MelodicMinor Dorian MelodicMinor", 0, true},
        {"NoChordHasNoScale", "Dm7 | NC | G7", "Dorian Mixolydian"},
        {"Qualities", "G7alt | C7b9 | Bdim7 | Caug | E7#5 | A7sus4 | D7#11 | FM7#11 | Ab7#9 | CmM7 | CM7#5",
         "Altered HalfWhole WholeHalf WholeTone WholeTone Mixolydian LydianDominant Lydian Altered "
         "MelodicMinor LydianAugmented"},
    }),
    [](const ::testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

TEST(ScaleFinderTest, TheFactoryCatalogueHoldsEveryChoiceButLydianAugmented) {
    const Catalogue catalogue = FactoryCatalogue();
    const ScaleFinder finder(catalogue);
    for (int k = 1; k < static_cast<int>(ScaleKind::Count); ++k) {
        const auto kind = static_cast<ScaleKind>(k);
        const ScaleChoice choice = finder.find(kind);
        if (kind == ScaleKind::LydianAugmented) {
            EXPECT_EQ(choice.scale, -1);
            continue;
        }
        ASSERT_GE(choice.scale, 0) << KindNames[static_cast<std::size_t>(k)];
        EXPECT_EQ(catalogue.ScaleSteps[static_cast<std::size_t>(choice.scale)], StepsOf(kind));
    }
}

TEST(ScaleFinderTest, FindsAScaleByItsNotesWhateverItsNameAndSpelling) {
    const ScaleFinder finder(CatalogueOf({"WHWWWHW", "2212221", "2122212"}));
    EXPECT_EQ(finder.find(ScaleKind::Dorian).scale, 0);
    EXPECT_EQ(finder.find(ScaleKind::Major).scale, 1);
}

TEST(ScaleFinderTest, PlaysTheNearestScaleOrSaysWhichStepsToPlay) {
    const ScaleFinder finder(CatalogueOf({"1312122", "1221222"}));
    EXPECT_EQ(finder.find(ScaleKind::Altered).played, ScaleKind::PhrygianDominant);
    EXPECT_EQ(finder.find(ScaleKind::Altered).scale, 0);
    EXPECT_EQ(finder.find(ScaleKind::HalfDiminished).scale, 1);
    const ScaleChoice none = finder.find(ScaleKind::WholeHalfDiminished);
    EXPECT_EQ(none.scale, -1);
    EXPECT_EQ(StepsOf(none.played), "21212121");
}

TEST(ScaleFinderTest, ReadsOnlyTheCountedEntries) {
    Catalogue catalogue = CatalogueOf({"2212221"});
    catalogue.ScaleSteps[1] = "2122212";
    EXPECT_EQ(ScaleFinder(catalogue).find(ScaleKind::Dorian).scale, -1);
}

struct GuideCase {
    const char* chord;
    const char* tones; // third and seventh, "-" for none
};

class GuideToneTest : public ::testing::TestWithParam<GuideCase> {};

TEST_P(GuideToneTest, ThirdAndSeventh) {
    const GuideTones tones = GuideTonesOf(*ParseChordSymbol(GetParam().chord));
    const auto name = [](int pc) {
        return pc < 0 ? std::string("-") : std::string(NoteNameCell(pc, NameColumn::Flat));
    };
    EXPECT_EQ(name(tones.third) + " " + name(tones.seventh), GetParam().tones);
}

INSTANTIATE_TEST_SUITE_P(Chords, GuideToneTest,
                         ::testing::ValuesIn(std::vector<GuideCase>{
                             {"CM7", "E B"},
                             {"F7", "A Eb"},
                             {"Dm7b5/Ab", "F C"},
                             {"Bdim7", "D Ab"},
                             {"C6", "E A"},
                             {"Cm", "Eb -"},
                             {"CmM7", "Eb B"},
                             {"G7sus4", "C F"},
                             {"G7alt", "B F"},
                             {"N.C.", "- -"},
                         }));

} // namespace
} // namespace orbel
