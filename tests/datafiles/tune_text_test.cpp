// Our chord chart: what each part of it reads as, what is refused and why, the chart written back, the file
// reader, and the factory charts.
#include "datafiles/tune_text.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace orbel {
namespace {

// A bar in a few words: its marks, then its chords ("C7:3" with beats, "C7(G7)" with an alternate).
std::string Described(const TuneBar& bar) {
    std::string words;
    const auto add = [&](const std::string& word) { words.append(words.empty() ? "" : " ").append(word); };
    if (!bar.section.empty()) add("[" + bar.section + "]");
    if (bar.repeatStart) add("|:");
    if (bar.ending) add(std::to_string(bar.ending) + ".");
    if (bar.segno) add("S");
    if (bar.codaMark) add("C");
    if (bar.timeTop) add(std::to_string(bar.timeTop) + "/4");
    if (bar.noChord) add("N.C.");
    if (bar.chords.empty() && !bar.noChord) add("/");
    for (const TuneChord& chord : bar.chords) {
        std::string word = chord.chord.text();
        if (chord.alternate) word.append("(").append(chord.alternate->text()).append(")");
        if (chord.beats) word.append(":").append(std::to_string(chord.beats));
        add(word);
    }
    if (bar.fine) add("F");
    if (bar.toCoda) add("T");
    if (bar.jump == TuneBar::Jump::DalSegno) add("DS");
    if (bar.jump == TuneBar::Jump::DaCapo) add("DC");
    if (bar.repeatTimes) add(":|" + std::to_string(bar.repeatTimes));
    return words;
}

struct ChartCase {
    const char* chart;
    std::vector<const char*> bars;
};

class TuneTextBars : public ::testing::TestWithParam<ChartCase> {};

TEST_P(TuneTextBars, ReadAsWrittenAndWriteBackTheSame) {
    const ChartCase& c = GetParam();
    const TuneTextResult read = ParseTuneText(c.chart);
    ASSERT_TRUE(read.tune) << read.error.toStdString();
    std::vector<std::string> bars;
    for (const TuneBar& bar : read.tune->bars)
        bars.push_back(Described(bar));
    EXPECT_EQ(bars, std::vector<std::string>(c.bars.begin(), c.bars.end())) << c.chart;
    const std::string written = TuneToText(*read.tune);
    const TuneTextResult again = ParseTuneText(written);
    ASSERT_TRUE(again.tune) << again.error.toStdString() << "\n" << written;
    EXPECT_EQ(*again.tune, *read.tune) << written;
}

INSTANTIATE_TEST_SUITE_P(
    Charts, TuneTextBars,
    ::testing::ValuesIn(std::vector<ChartCase>{
        {"| F7 | Bb7 |\n| C7 F7 |", {"F7", "Bb7", "C7 F7"}},
        {"F7\n\n# a comment\n  Bb7 C7  \r\nC7\rF7", {"F7", "Bb7 C7", "C7", "F7"}},
        {"|F7|Bb7||C7|", {"F7", "Bb7", "C7"}},
        {"| C7 . . F7 | G7 . . . |", {"C7:3 F7:1", "G7:4"}},
        {"| Dm7 (Ab7) G7 | % | / | N.C. | N.C. . C7 . |",
         {"Dm7(Ab7) G7", "Dm7(Ab7) G7", "/", "N.C.", "N.C.:2 C7:2"}},
        {"[A] |: F7 | C7 :|x3 [B] | G7 :|:\n| D7 :|", {"[A] |: F7", "C7 :|3", "[B] G7 :|2", "|: D7 :|2"}},
        {"|: C | 1. D | E :| 2. F | G |", {"|: C", "1. D", "E :|2", "2. F", "G"}},
        {"Segno | C | D To Coda | E D.S. al Coda |\nCoda | F |", {"S C", "D T", "E DS", "C F"}},
        {"| C Fine | D | D.C. al Fine", {"C F", "D DC"}},
        {"Time: 3/4\n| C . D | 4/4 E . . . | F |", {"C:2 D:1", "4/4 E:4", "F"}},
        {"| C 𝄋 | D 𝄌 | E dc al fine | F fine |", {"S C", "C D", "E DC", "F F"}},
    }));

TEST(TuneTextFields, ReadTitleKeyAndTime) {
    const std::vector<std::tuple<const char*, int, bool, bool>> keys = {
        {"F", 5, false, true},       {"G", 7, false, false},       {"Bb", 10, false, true},
        {"F#", 6, false, false},     {"Gb", 6, false, true},       {"F#m", 6, true, false},
        {"Eb minor", 3, true, true}, {"D major", 2, false, false}, {"Dm", 2, true, true},
        {"C", 0, false, true},
    };
    for (const auto& [key, tonic, minor, flat] : keys) {
        const TuneTextResult read = ParseTuneText(
            "title: A Title \nComposer:Us\nStyle: Waltz\nKey: " + std::string(key) + "\nTime: 3/4\nC");
        ASSERT_TRUE(read.tune) << key << ": " << read.error.toStdString();
        EXPECT_EQ(read.tune->title, "A Title");
        EXPECT_EQ(read.tune->composer, "Us");
        EXPECT_EQ(read.tune->style, "Waltz");
        EXPECT_EQ(read.tune->timeTop, 3);
        EXPECT_EQ(std::tuple(read.tune->key, read.tune->minorKey, read.tune->flatKey),
                  std::tuple(tonic, minor, flat))
            << key;
        EXPECT_EQ(ParseTuneText(TuneToText(*read.tune)).tune, read.tune) << key;
    }
}

TEST(TuneTextRefusals, NameTheLineAndTheProblem) {
    const std::vector<std::pair<std::string, const char*>> cases = {
        {"| C | Xq7 |", "line 1: unknown chord \"Xq7\""},
        {"C\n| C D E F G |", "line 2: a bar holds at most 4 chords"},
        {"| C . . D . |", "line 1: the chords' beats add up to 5, but the bar has 4"},
        {"Time: 3/4\n| C D E F |", "line 2: 4 chords in a bar of 3 beats"},
        {"Time: 6/8\nC", "line 1: the time is written n/4"},
        {"Key: H\nC", "line 1: the key is a note name"},
        {"Tempo: 120\nC", "line 1: unknown field \"Tempo\""},
        {"C\nTitle: Late", "line 2: the fields (Title:) come before the bars"},
        {"Title: " + std::string(201, 'x') + "\nC", "line 1: the title is longer than 200 characters"},
        {"| . C |", "line 1: a beat . with no chord before it"},
        {"| % |", "line 1: % with no bar before it"},
        {"| C % |", "line 1: % and / stand alone in their bar"},
        {":| C |", "line 1: :| before the first bar"},
        {"| C :|x1", "line 1: a repeat is played x2 to x99 times"},
        {"| C :|x100", "line 1: a repeat is played x2 to x99 times"},
        {"[A | C |", "line 1: a section mark [ without its ]"},
        {"| C [A [B] |", "line 1: a section mark [ without its ]"},
        {"| C |\n[B] Segno", "line 2: marks after the last bar"},
        {"# nothing\n\n", "line 2: the chart has no bars"},
        {"| C | D.S. al Coda |", "line 1: al Coda, but no bar says To Coda"},
        {"| C | D D.S. |", "the form cannot be played: bar 2: D.S. but no bar has a segno"},
        {"| C | 2. D |", "the form cannot be played: bar 2: the 2. ending is reached on pass 1"},
        {"| C | D.C. al Segno |", "line 1: a jump is al Coda or al Fine"},
        {"| 1. 2. C |", "line 1: two endings in one bar"},
        {"| (G7) C |", "line 1: an alternate chord \"(G7)\" comes right after its chord"},
    };
    for (const auto& [chart, error] : cases) {
        const TuneTextResult read = ParseTuneText(chart);
        EXPECT_FALSE(read.tune) << chart;
        EXPECT_TRUE(read.error.startsWith(QString::fromUtf8(error)))
            << chart << " gave " << read.error.toStdString();
    }
    std::string tooLong;
    for (int bar = 0; bar <= tune_limits::MaxBars; ++bar)
        tooLong += "C\n";
    EXPECT_EQ(ParseTuneText(tooLong).error.toStdString(), "line 1001: more than 1000 bars");
}

TEST(ReadTuneTextTest, ReadsUtf8AndShiftJisFilesAndNamesTheFileItRefuses) {
    QTemporaryDir folder;
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(QDir(folder.path()).filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    const TuneTextResult utf8 = ReadTuneText(write("a.txt", "\xEF\xBB\xBFTitle: \xE2\x99\xAD\r\n| C7 |\r\n"));
    ASSERT_TRUE(utf8.tune) << utf8.error.toStdString();
    EXPECT_EQ(utf8.tune->title, "♭");
    const TuneTextResult shiftJis =
        ReadTuneText(write("b.txt", "Title: \x83\x75\x83\x8b\x81\x5b\x83\x58\r\nF7\r\n"));
    ASSERT_TRUE(shiftJis.tune) << shiftJis.error.toStdString();
    EXPECT_EQ(shiftJis.tune->title, "ブルース");

    const QString bad = write("c.txt", "| C | Xq7 |\n");
    EXPECT_EQ(ReadTuneText(bad).error, bad + QStringLiteral(": line 1: unknown chord \"Xq7\""));
    const QString missing = folder.filePath(QStringLiteral("none.txt"));
    EXPECT_EQ(ReadTuneText(missing).error, missing + QStringLiteral(": no such file"));
    EXPECT_EQ(ReadTuneText(folder.path()).error, folder.path() + QStringLiteral(": not a file"));
    const QString large = write("d.txt", QByteArray(tune_text_limits::MaxFileBytes + 1, 'C'));
    EXPECT_TRUE(ReadTuneText(large).error.startsWith(large + QStringLiteral(": larger than")));
}

// Every factory chart reads, plays its form, and writes back as itself.
TEST(FactoryTunes, EveryChartReadsAndPlaysItsForm) {
    const std::vector<std::pair<const char*, int>> played = {
        {"blues_in_f.txt", 12},        {"blues_in_bb.txt", 12},        {"minor_blues_in_c.txt", 12},
        {"rhythm_form_in_bb.txt", 32}, {"two_five_one_cycle.txt", 24}, {"modal_form_in_d_dorian.txt", 32},
        {"waltz_form_in_bb.txt", 28},  {"bossa_form_in_f.txt", 24},
    };
    const QDir folder(QStringLiteral(ORBEL_TEST_SOURCE_DIR "/../data/tunes"));
    EXPECT_EQ(folder.entryList({QStringLiteral("*.txt")}, QDir::Files).size(),
              static_cast<qsizetype>(played.size()));
    for (const auto& [name, bars] : played) {
        const TuneTextResult read = ReadTuneText(folder.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(read.tune) << read.error.toStdString();
        EXPECT_FALSE(read.tune->title.empty()) << name;
        std::string error;
        EXPECT_EQ(static_cast<int>(PlayOrder(*read.tune, &error).size()), bars) << name << ": " << error;
        EXPECT_EQ(ParseTuneText(TuneToText(*read.tune)).tune, read.tune) << name;
    }
}

} // namespace
} // namespace orbel
