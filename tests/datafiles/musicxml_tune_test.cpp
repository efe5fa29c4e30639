// MusicXML lead sheets into the tune model: snippets of scores against the bars and chords they give, and the
// files that are refused with the reason.

#include "datafiles/musicxml_tune.h"

#include "support/tune_text.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace orbel {
namespace {

const std::string FourFour =
    "<attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4</beat-type>"
    "</time></attributes>";

QByteArray Score(const std::string& measures, const std::string& header = "") {
    return QByteArray::fromStdString("<?xml version=\"1.0\"?><score-partwise version=\"4.0\">" + header +
                                     "<part-list><score-part id=\"P1\"/></part-list><part id=\"P1\">" +
                                     measures + "</part></score-partwise>");
}
std::string Measure(const std::string& content) {
    return "<measure>" + content + "</measure>";
}
std::string Harmony(const std::string& step, const std::string& rest = "<kind>dominant</kind>") {
    return "<harmony><root><root-step>" + step + "</root-step></root>" + rest + "</harmony>";
}
std::string Note(int duration, const std::string& extra = "") {
    return "<note>" + extra + "<pitch><step>C</step><octave>4</octave></pitch><duration>" +
           std::to_string(duration) + "</duration></note>";
}

Tune Parsed(const QByteArray& bytes) {
    const MusicXmlTuneResult result = ParseMusicXmlTune(bytes);
    EXPECT_EQ(result.error.toStdString(), "");
    return result.tune.value_or(Tune{});
}

using testing::AllMarks;
using testing::Marks;
using testing::Name;
using testing::Summary;

TEST(MusicXmlTune, ChordSymbolsInOurSpelling) {
    const auto degree = [](int value, int alter, const char* type) {
        return "<degree><degree-value>" + std::to_string(value) + "</degree-value><degree-alter>" +
               std::to_string(alter) + "</degree-alter><degree-type>" + type + "</degree-type></degree>";
    };
    const auto c = [](const std::string& kind, const std::string& degrees = "") {
        return Harmony("C", "<kind>" + kind + "</kind>" + degrees);
    };
    const auto rooted = [](const char* root, const char* kind, const char* bass = "") {
        return "<harmony><root>" + std::string(root) + "</root><kind>" + kind + "</kind>" + bass +
               "</harmony>";
    };
    const struct {
        std::string harmony;
        std::string name;
    } cases[] = {
        {c("major"), "C"},
        {c("minor"), "Cm"},
        {c("augmented-seventh"), "C7#5"},
        {c("half-diminished"), "Cm7b5"},
        {c("major-minor"), "CmM7"},
        {c("dominant-13th"), "C13"},
        {c("a kind of its own"), "C"},
        {c("none"), "NC"},
        {Harmony("C", "<kind text=\"7alt\">dominant</kind>"), "C7alt"},
        {Harmony("C", "<kind text=\"7sus\">suspended-fourth</kind>"), "C7sus4"},
        {c("suspended-fourth", degree(7, 0, "add")), "C7sus4"},
        {c("dominant", degree(9, -1, "add")), "C7b9"},
        {c("dominant", degree(9, 1, "add")), "C7#9"},
        {c("dominant", degree(11, 1, "add")), "C7#11"},
        {c("dominant", degree(13, -1, "add")), "C7b13"},
        {c("dominant", degree(5, 1, "alter")), "C7#5"},
        {c("dominant-13th", degree(9, -1, "alter")), "C7b9"},
        {c("dominant", degree(9, -1, "add") + degree(9, 1, "add")), "C7alt"},
        {c("dominant", degree(5, 1, "alter") + degree(9, 1, "add") + degree(13, -1, "add")), "C7alt"},
        {c("dominant", degree(9, 0, "add") + degree(13, 0, "add")), "C13"},
        {c("dominant", degree(3, 0, "subtract") + degree(4, 0, "add")), "C7sus4"},
        {c("major-seventh", degree(11, 1, "add")), "CM7#11"},
        {c("major-sixth", degree(9, 0, "add")), "C69"},
        {c("major", degree(9, 0, "add")), "Cadd9"},
        {c("minor-seventh", degree(5, -1, "alter")), "Cm7b5"},
        {c("dominant", degree(0, -1, "add") + degree(15, 1, "add")), "C7"},
        {rooted("<root-step>B</root-step><root-alter>-1</root-alter>", "dominant"), "Bb7"},
        {rooted("<root-step>F</root-step><root-alter>1</root-alter>", "minor-seventh"), "F#m7"},
        {rooted("<root-step>C</root-step>", "major", "<bass><bass-step>E</bass-step></bass>"), "C/E"},
        {rooted("<root-step>D</root-step><root-alter>-1</root-alter>", "major",
                "<bass><bass-step>A</bass-step><bass-alter>-1</bass-alter></bass>"),
         "Db/Ab"},
        {rooted("<root-step>C</root-step>", "major", "<bass><bass-step>C</bass-step></bass>"), "C"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.harmony);
        EXPECT_EQ(Summary(Parsed(Score(Measure(FourFour + row.harmony + Note(4))))), row.name + ":4");
    }
}

TEST(MusicXmlTune, ChordsLastToTheNextOrTheBarsEnd) {
    const std::string f = Harmony("F");
    const std::string c = Harmony("C");
    const std::string half = Note(2);
    const struct {
        const char* name;
        std::string measures;
        std::string summary;
    } cases[] = {
        {"one chord", Measure(FourFour + f + Note(4)), "F7:4"},
        {"two halves", Measure(FourFour + f + half + c + half), "F7:2 C7:2"},
        {"four quarters", Measure(FourFour + f + Note(1) + c + Note(1) + f + Note(1) + c + Note(1)),
         "F7:1 C7:1 F7:1 C7:1"},
        {"notes of a chord do not move on", Measure(FourFour + f + half + Note(2, "<chord/>") + c + half),
         "F7:2 C7:2"},
        {"backup and forward",
         Measure(FourFour + f + Note(4) +
                 "<backup><duration>4</duration></backup>"
                 "<forward><duration>2</duration></forward>" +
                 c),
         "F7:2 C7:2"},
        {"offset", Measure(FourFour + f + Harmony("C", "<kind>dominant</kind><offset>2</offset>") + Note(4)),
         "F7:2 C7:2"},
        {"divisions",
         Measure("<attributes><divisions>4</divisions></attributes>" + f + Note(6) + c + Note(10)),
         "F7:2 C7:2"},
        {"rounded, one beat apart",
         Measure(FourFour + f + Note(3) + "<forward><duration>0.5</duration></forward>" + c), "F7:3 C7:1"},
        {"a bar without chords", Measure(FourFour + f + Note(4)) + Measure(Note(4)), "F7:4 |"},
        {"the chord before goes on", Measure(FourFour + f + Note(4)) + Measure(half + c + half),
         "F7:4 | F7:2 C7:2"},
        {"a first chord that comes late", Measure(FourFour + half + c + half), "C7:4"},
        {"the chord before restated", Measure(FourFour + f + Note(4)) + Measure(half + f + half),
         "F7:4 | F7:4"},
        {"a pickup without chords",
         "<measure implicit=\"yes\">" + FourFour + Note(1) + "</measure>" + Measure(f + Note(4)), "F7:4"},
        {"a chart without notes", Measure(FourFour + f + c + f), "F7:2 C7:1 F7:1"},
        {"one chord written twice", Measure(FourFour + f + f + Note(2) + c + Note(2)), "F7:2 C7:2"},
        {"three four",
         Measure("<attributes><time><beats>3</beats><beat-type>4</beat-type></time></attributes>" + f +
                 Note(3)),
         "F7:3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Summary(Parsed(Score(c.measures))), c.summary);
    }
}

TEST(MusicXmlTune, TimeSignaturesAndTheirChanges) {
    const auto time = [](const char* beats, const char* type) {
        return "<attributes><time><beats>" + std::string(beats) + "</beats><beat-type>" + type +
               "</beat-type></time></attributes>";
    };
    const struct {
        std::string first;
        int timeTop;
        std::string refusal;
    } cases[] = {
        {time("3", "4"), 3, ""},    {time("4", "4"), 4, ""},        {time("5", "4"), 5, ""},
        {time("6", "4"), 6, ""},    {time("2", "2"), 4, ""},        {"", 4, ""},
        {time("6", "8"), 0, "6/8"}, {time("3+2", "4"), 0, "3+2/4"}, {time("2", "4"), 0, "2/4"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        const MusicXmlTuneResult result = ParseMusicXmlTune(Score(Measure(c.first + Harmony("C"))));
        EXPECT_EQ(result.tune ? result.tune->timeTop : 0, c.timeTop);
        EXPECT_TRUE(result.error.contains(QString::fromStdString(c.refusal))) << result.error.toStdString();
    }
    const Tune changes = Parsed(Score(Measure(time("4", "4") + Harmony("C")) + Measure(time("3", "4")) +
                                      Measure(time("3", "4")) + Measure(time("4", "4") + Harmony("F"))));
    EXPECT_EQ(AllMarks(changes), (std::vector<std::string>{"", "3/4", "", "4/4"}));
}

TEST(MusicXmlTune, MarksRepeatsEndingsAndJumps) {
    const auto direction = [](const std::string& type) {
        return "<direction><direction-type>" + type + "</direction-type></direction>";
    };
    const auto words = [&](const char* text) {
        return direction("<words>" + std::string(text) + "</words>");
    };
    const auto barline = [](const std::string& inside) { return "<barline>" + inside + "</barline>"; };
    const struct {
        std::string second; // the second bar's content; the first holds the chord
        std::string marks;
    } cases[] = {
        {direction("<rehearsal>Bridge</rehearsal>"), "Bridge"},
        {barline("<repeat direction=\"forward\"/>"), "‖:"},
        {barline("<repeat direction=\"backward\"/>"), ":‖2"},
        {barline("<repeat direction=\"backward\" times=\"3\"/>"), ":‖3"},
        {barline("<ending number=\"2\" type=\"start\"/>"), "2"},
        {barline("<ending number=\"1, 2\" type=\"start\"/>"), "1"},
        {direction("<segno/>"), "segno"},
        {"<sound segno=\"s1\"/>", "segno"},
        {direction("<coda/>"), "coda"},
        {direction("<coda/>") + words("To Coda"), "→coda"},
        {"<direction><direction-type><coda/></direction-type><sound tocoda=\"c\"/></direction>", "→coda"},
        {words("Fine"), "fine"},
        {words("D.C. al Fine"), "D.C."},
        {words("D.S. al Coda"), "D.S."},
        {"<sound dacapo=\"yes\"/>", "D.C."},
        {"<direction><direction-type><words>D.S.</words></direction-type><sound "
         "dalsegno=\"s1\"/></direction>",
         "D.S."},
        {words("Define"), ""},
        {Harmony("C", "<kind>none</kind>"), "N.C."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        const Tune tune = Parsed(Score(Measure(FourFour + Harmony("C")) + Measure(c.second)));
        ASSERT_EQ(tune.bars.size(), 2u);
        EXPECT_EQ(Marks(tune.bars[1]), c.marks);
    }
    // Two coda signs and no words: the first is where the jump is taken.
    const Tune twoSigns = Parsed(
        Score(Measure(FourFour + Harmony("C") + direction("<coda/>")) + Measure(direction("<coda/>"))));
    EXPECT_EQ(Marks(twoSigns.bars[0]), "→coda");
    EXPECT_EQ(Marks(twoSigns.bars[1]), "coda");
}

TEST(MusicXmlTune, TitleComposerAndKey) {
    const auto key = [](int fifths, const char* mode) {
        return "<attributes><key><fifths>" + std::to_string(fifths) + "</fifths><mode>" + mode +
               "</mode></key></attributes>";
    };
    const struct {
        std::string header;
        std::string attributes;
        std::string title;
        std::string composer;
        int key;
        bool minor;
        bool flat;
    } cases[] = {
        {"<work><work-title> Blue  Tune </work-title></work><movement-title>Other</movement-title>"
         "<identification><creator type=\"lyricist\">L</creator><creator type=\"composer\">Someone</creator>"
         "</identification>",
         key(-1, "major"), "Blue Tune", "Someone", 5, false, true},
        {"<movement-title>Movement</movement-title>", key(3, "minor"), "Movement", "", 6, true, false},
        {"", key(0, "major"), "", "", 0, false, true},
        {"", key(0, "minor"), "", "", 9, true, false},
        {"", key(-4, "minor"), "", "", 5, true, true},
        {"<work><work-title>" + std::string(300, 'x') + "</work-title></work>", "",
         std::string(tune_limits::MaxTextChars, 'x'), "", 0, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header + c.attributes);
        const Tune tune = Parsed(Score(Measure(c.attributes + Harmony("C")), c.header));
        EXPECT_EQ(std::tie(tune.title, tune.composer, tune.key, tune.minorKey, tune.flatKey),
                  std::tie(c.title, c.composer, c.key, c.minor, c.flat));
    }
}

TEST(MusicXmlTune, ReadsABluesWithARepeatAndTwoEndings) {
    const MusicXmlTuneResult result =
        ReadMusicXmlTune(QStringLiteral(ORBEL_TEST_SOURCE_DIR "/fixtures/blues_in_f.musicxml"));
    ASSERT_TRUE(result.tune) << result.error.toStdString();
    const Tune& tune = *result.tune;
    EXPECT_EQ(std::tie(tune.title, tune.composer, tune.key, tune.minorKey, tune.flatKey, tune.timeTop),
              std::tuple("Practice Blues in F", "Anonymous", 5, false, true, 4));
    EXPECT_EQ(Summary(tune), "F7:4 | Bb7:4 | F7:4 | Cm7:2 F7:2 | Bb7:4 | Bdim7:4 | F7:4 | Am7b5:2 D7b9:2 | "
                             "Gm7:4 | C7:4 | F7:2 D7:2 | Gm7:2 C7:2 | F6:4");
    EXPECT_EQ(AllMarks(tune),
              (std::vector<std::string>{"A ‖:", "", "", "", "", "", "", "", "", "", "1", ":‖2", "2"}));
}

TEST(MusicXmlTune, TakesTheFirstInstrumentWithChordsAndTheirAlternates) {
    const QByteArray bytes =
        "<score-partwise><part id=\"P1\"><measure><note><rest/><duration>4</duration></note></measure></part>"
        "<part id=\"P2\"><measure><attributes><key><fifths>2</fifths></key></attributes><harmony><root>"
        "<root-step>D</root-step></root><kind>major</kind></harmony><harmony type=\"alternate\"><root>"
        "<root-step>B</root-step></root><kind>minor</kind></harmony></measure></part>"
        "<part id=\"P3\"><measure><harmony><root><root-step>E</root-step></root><kind>major</kind></harmony>"
        "</measure></part></score-partwise>";
    const Tune tune = Parsed(bytes);
    EXPECT_EQ(tune.key, 2);
    EXPECT_EQ(Summary(tune), "D:4");
    ASSERT_TRUE(tune.bars[0].chords[0].alternate);
    EXPECT_EQ(Name(*tune.bars[0].chords[0].alternate), "Bm");
}

TEST(MusicXmlTune, RefusesWhatItCannotReadInWords) {
    std::string manyBars;
    for (int i = 0; i <= tune_limits::MaxBars; ++i)
        manyBars += Measure(Harmony("C"));
    const struct {
        const char* name;
        QByteArray bytes;
        const char* reason;
    } cases[] = {
        {"empty", "", "not XML"},
        {"text", "just some words", "not XML"},
        {"other XML", "<html><body/></html>", "not MusicXML"},
        {"time-wise", "<score-timewise/>", "time-wise"},
        {"compressed", QByteArray("PK\x03\x04rest", 8), "uncompressed"},
        {"no harmony", Score(Measure(FourFour + Note(4))), "no chord symbols"},
        {"five chords",
         Score(Measure(FourFour + Harmony("C") + Harmony("D") + Harmony("E") + Harmony("F") + Harmony("G"))),
         "more than 4 chords"},
        {"four chords in three beats",
         Score(Measure("<attributes><time><beats>3</beats><beat-type>4</beat-type></time></attributes>" +
                       Harmony("C") + Note(1) + Harmony("D") + Note(1) + Harmony("E") + Note(1) +
                       Harmony("F"))),
         "more chords than beats"},
        {"too many bars", Score(manyBars), "more than 1000 bars"},
        {"cut short", Score(Measure(Harmony("C"))).chopped(10), "not well-formed"},
        {"too large", QByteArray(musicxml_limits::MaxFileBytes + 1, ' '), "larger than 16 MB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const MusicXmlTuneResult result = ParseMusicXmlTune(c.bytes);
        EXPECT_FALSE(result.tune);
        EXPECT_TRUE(result.error.contains(QLatin1String(c.reason))) << result.error.toStdString();
    }

    // A compressed file is refused by its name, before it is read.
    const QTemporaryDir dir;
    const std::pair<QString, const char*> files[] = {
        {dir.filePath(QStringLiteral("tune.mxl")), "uncompressed"},
        {dir.filePath(QStringLiteral("none.musicxml")), "was not found"},
        {dir.path(), "not a file"},
    };
    for (const auto& [path, reason] : files)
        EXPECT_TRUE(ReadMusicXmlTune(path).error.contains(QLatin1String(reason))) << path.toStdString();
}

} // namespace
} // namespace orbel
