// Lead-sheet links into the tune model: small charts written here, put into links of both forms (the newer
// one scrambled by the inverse of the reader's unscrambling), against the bars, beats, marks and play order
// they give, and the links and pages that are refused with the reason.

#include "datafiles/chart_unscramble.h"
#include "datafiles/lead_sheet_link.h"

#include "support/tune_text.h"

#include <QElapsedTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <string>
#include <tuple>
#include <vector>

namespace orbel {
namespace {

using testing::AllMarks;
using testing::Name;
using testing::Summary;

// The scrambling the newer form puts on a chart: each block of fifty that has two more characters after it is
// written backwards, except at the places 5-9, 24-25 and 40-44, which keep their characters.
std::string Scrambled(std::string chart) {
    for (std::size_t at = 0; chart.size() - at > 50 && chart.size() - at - 50 >= 2; at += 50) {
        const std::string block = chart.substr(at, 50);
        std::string backwards(block.rbegin(), block.rend());
        for (const int kept : {5, 6, 7, 8, 9, 24, 25, 40, 41, 42, 43, 44})
            backwards[kept] = block[kept];
        chart.replace(at, 50, backwards);
    }
    return chart;
}

struct Fields {
    std::string chart;
    std::string title = "Study";
    std::string composer = "Player Some";
    std::string key = "C";
};

// A tune of the newer form, before the link's percent encoding.
std::string NewerTune(const Fields& f) {
    return f.title + "=" + f.composer + "==Medium Swing=" + f.key + "==1r34LbKcu7" + Scrambled(f.chart) +
           "=Jazz-Medium Swing=120=3";
}
std::string NewerLink(const std::vector<Fields>& tunes, const std::string& playlist = "") {
    std::string joined;
    for (const Fields& f : tunes)
        joined += (joined.empty() ? "" : "===") + NewerTune(f);
    if (!playlist.empty()) joined += "===" + playlist;
    return "irealb://" + QUrl::toPercentEncoding(QString::fromStdString(joined)).toStdString();
}
std::string OlderLink(const Fields& f) {
    return "irealbook://" + f.title + "=" + f.composer + "=Medium Swing=" + f.key + "=n=" + f.chart;
}

LeadSheetLinks Parsed(const std::string& text) {
    return ParseLeadSheetLinks(QString::fromStdString(text));
}
Tune Read(const std::string& text) {
    const LeadSheetLinks links = Parsed(text);
    EXPECT_EQ(links.error.toStdString(), "");
    return links.tunes.size() == 1 ? links.tunes[0] : Tune{};
}
// The chart read from both forms of link, which must agree.
Tune Both(const std::string& chart) {
    const Tune older = Read(OlderLink({chart}));
    EXPECT_EQ(Read(NewerLink({{chart}})), older) << chart;
    return older;
}

TEST(LeadSheetLink, UnscramblingUndoesTheScramblingAtEveryLength) {
    std::string chart;
    for (int length = 0; length <= 160; ++length) {
        const std::string scrambled = Scrambled(chart);
        EXPECT_EQ(UnscrambleChart(QString::fromStdString(scrambled)).toStdString(), chart) << length;
        if (length > 51) {
            EXPECT_NE(scrambled, chart) << length;
        }
        chart += static_cast<char>('A' + length % 26);
    }
    EXPECT_EQ(ExpandShortForms(QStringLiteral("C7XyQ|F7LZG7XyQKcl")), QStringLiteral("C7   |F7 |G7   | x"));
}

TEST(LeadSheetLink, ChordsShareTheBarByTheirCells) {
    const struct {
        const char* chart;
        const char* summary;
    } cases[] = {
        {"[T44C^7   |", "CM7:4"},
        {"C7 F7 |", "C7:2 F7:2"},
        {"C7ppF7|", "C7:3 F7:1"},
        {"Bh7, Bb7 |", "Bm7b5:2 Bb7:2"},
        {"D-/F sEh,A7,|", "Dm/F:2 Em7b5:1 A7:1"},
        {"C,D-,E-,F|", "C:1 Dm:1 Em:1 F:1"},
        {"C       G       |", "C:2 G:2"},
        {"T34C^7 F7 |", "CM7:2 F7:1"},
        {"T54C F |", "C:3 F:2"},
        {"T22C F |", "C:2 F:2"},
        {"C-7b5 C7sus C7alt C-^7 |", "Cm7b5:1 C7sus4:1 C7alt:1 CmM7:1"},
        {"C7/E Bb^7/D |", "C7/E:2 BbM7/D:2"},
        {"C7   | x   |", "C7:4 | C7:4"},
        {"C7 |F7 | r|  |", "C7:4 | F7:4 | C7:4 | F7:4"},
        {"C7 |p F7 |", "C7:4 | C7:2 F7:2"},
        {"C7 W/E |", "C7:2 C7/E:2"},
        {"n   |", "NC:4"},
        {"C7 n |", "C7:2 NC:2"},
        {"C7   |      |F7   |", "C7:4 | F7:4"},
        {"YsC7,lF7 U|fG Z ", "C7:2 F7:2 | G:4"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Summary(Both(c.chart)), c.summary) << c.chart;

    const Tune alternate = Both("C^7(A7b9) D-7(Ab7)|");
    ASSERT_EQ(alternate.bars.at(0).chords.size(), 2u);
    EXPECT_EQ(Name(alternate.bars[0].chords[0].alternate.value_or(ChordSymbol{})), "A7b9");
    EXPECT_EQ(Name(alternate.bars[0].chords[1].alternate.value_or(ChordSymbol{})), "Ab7");
    EXPECT_TRUE(Both("n |").bars[0].noChord);
    // Line ends the exporting app put into a scrambled chart lay it out and nothing more.
    EXPECT_EQ(Summary(Read(NewerLink({{"C7 |\nF7 |"}}))), "C7:4 | F7:4");
}

TEST(LeadSheetLink, SectionsRepeatsEndingsJumpsAndTimes) {
    const struct {
        const char* chart;
        std::vector<std::string> marks;
    } cases[] = {
        {"*A{C |D }*B[E |F ]", {"A ‖:", ":‖2", "B", ""}},
        {"{C |N1D }      |N2E Z", {"‖:", "1 :‖2", "2"}},
        {"{C <3x>}", {"‖: :‖3"}},
        {"*AS C |D Q|E <D.S. al Coda>|QF Z", {"A segno", "→coda", "D.S.", "coda"}},
        {"C |<Fine>D |E <D.C. al Fine>Z", {"", "fine", "D.C."}},
        {"C |<*36D.C. al Fine>|", {"D.C."}},
        {"T44C |T34D |E |T44F |", {"", "3/4", "", "4/4"}},
        {"*iC |*VD |N0E |", {"Intro", "Verse", "1"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AllMarks(Both(c.chart)), c.marks) << c.chart;
    EXPECT_EQ(Both("T34C |").timeTop, 3);
}

TEST(LeadSheetLink, TitleComposerAndKey) {
    using Heading =
        std::tuple<std::string, std::string, int, bool, bool>; // title, composer, key, minor, flat
    const std::pair<Fields, Heading> cases[] = {
        {{"C |", "Song, The", "Player Some", "Eb"}, {"The Song", "Some Player", 3, false, true}},
        {{"C |", "Duo", "Writer Ann, Other Bo", "C-"}, {"Duo", "Ann Writer, Bo Other", 0, true, true}},
        {{"C |", "Band", "Band (One, Two)", "F#-"}, {"Band", "Band (One, Two)", 6, true, false}},
        {{"C |", "Solo", "Nobody", "D"}, {"Solo", "Nobody", 2, false, false}},
        {{"C |", "Minor", "", "A-"}, {"Minor", "", 9, true, false}},
    };
    for (const auto& [fields, heading] : cases) {
        for (const std::string& link : {OlderLink(fields), NewerLink({fields})}) {
            const Tune tune = Read(link);
            EXPECT_EQ(std::tie(tune.title, tune.composer, tune.key, tune.minorKey, tune.flatKey), heading)
                << link;
            EXPECT_EQ(tune.style, "Medium Swing");
        }
    }
}

// A chord of a bar built by hand.
TuneChord Chord(const char* symbol, int beats) {
    return {ParseChordSymbol(symbol).value_or(ChordSymbol{}), std::nullopt, beats};
}

TEST(LeadSheetLink, ABluesInFPlaysAsTheSameFormBuiltDirectly) {
    const Tune linked =
        Read(NewerLink({{"{*AT44F7XyQ|Bb7XyQ|F7XyQ|C-7 F7LZBb7XyQ|Bo7XyQ|F7XyQ|A-7 D7LZG-7XyQ|"
                         "C7XyQ|N1F7 D7LZG-7 C7 }XyQXyQ|N2F6XyQZ",
                         "Blues in F", "Player Some", "F"}}));
    Tune built;
    built.title = "Blues in F";
    built.key = 5;
    built.flatKey = true;
    const std::vector<std::vector<TuneChord>> chords = {{Chord("F7", 4)},
                                                        {Chord("Bb7", 4)},
                                                        {Chord("F7", 4)},
                                                        {Chord("Cm7", 2), Chord("F7", 2)},
                                                        {Chord("Bb7", 4)},
                                                        {Chord("Bdim7", 4)},
                                                        {Chord("F7", 4)},
                                                        {Chord("Am7", 2), Chord("D7", 2)},
                                                        {Chord("Gm7", 4)},
                                                        {Chord("C7", 4)},
                                                        {Chord("F7", 2), Chord("D7", 2)},
                                                        {Chord("Gm7", 2), Chord("C7", 2)},
                                                        {Chord("F6", 4)}};
    for (const std::vector<TuneChord>& chordsOfBar : chords) {
        TuneBar bar;
        bar.chords = chordsOfBar;
        built.bars.push_back(bar);
    }
    built.bars[0].section = "A";
    built.bars[0].repeatStart = true;
    built.bars[10].ending = 1;
    built.bars[11].repeatTimes = 2;
    built.bars[12].ending = 2;

    std::string error;
    const std::vector<int> order = PlayOrder(linked, &error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(order, PlayOrder(built, nullptr));
    EXPECT_EQ(order.size(), 23u);
    const std::vector<PlayedBar> played = PlayedForm(linked, order);
    const std::vector<PlayedBar> expected = PlayedForm(built, order);
    ASSERT_EQ(played.size(), expected.size());
    for (std::size_t i = 0; i < played.size(); ++i)
        EXPECT_EQ(played[i].chords, expected[i].chords) << i;
}

TEST(LeadSheetLink, FormsPlayInTheOrderTheirMarksAsk) {
    const struct {
        const char* name;
        const char* chart;
        std::vector<int> order; // bars counted from 1
    } cases[] = {
        {"AABA with endings",
         "*A{C |A- |N1D- |G7 }      |N2D-7 G7 |C6 ]*B[F |F |G |G ]*A[C |A- |D-7 G7 |C6 Z",
         {1, 2, 3, 4, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
        {"D.S. al Coda", "[C |SF |G7 Q|C <D.S. al Coda>]Y[QA-7 |D7 |G7 Z", {1, 2, 3, 4, 2, 3, 5, 6, 7}},
        {"D.C. al Fine", "[C |F <Fine>|G7 |C <D.C. al Fine>Z", {1, 2, 3, 4, 1, 2}},
    };
    for (const auto& c : cases) {
        std::string error;
        std::vector<int> order = PlayOrder(Both(c.chart), &error);
        for (int& bar : order)
            ++bar;
        EXPECT_EQ(order, c.order) << c.name << ": " << error;
    }
}

TEST(LeadSheetLink, AnHtmlPageHoldsAPlaylistAndMoreLinks) {
    const std::string page = "<html><body><a href=\"" +
                             NewerLink({{"C |", "First, The"}, {"D- G7 |", "Second"}}, "My & Your List") +
                             "\">Playlist</a>\n<p><a href='" + OlderLink({"F |", "Third &amp; Last"}) +
                             "'>x</a></p></body></html>";
    const LeadSheetLinks links = Parsed(page);
    EXPECT_EQ(links.error.toStdString(), "");
    ASSERT_EQ(links.tunes.size(), 3u);
    EXPECT_EQ(std::tuple(links.tunes[0].title, links.tunes[1].title, links.tunes[2].title),
              std::tuple("The First", "Second", "Third & Last"));
    EXPECT_EQ(Summary(links.tunes[1]), "Dm:2 G7:2");
    EXPECT_EQ(links.playlistName, QStringLiteral("My & Your List"));
}

TEST(LeadSheetLink, ABrokenTuneIsNamedAndTheOthersAreKept) {
    const LeadSheetLinks links =
        Parsed(NewerLink({{"C |", "Good"}, {"C |H7 |", "Broken"}, {"F |", "Also Good"}}) + "\n" +
               OlderLink({"F |", "Plain"}));
    EXPECT_EQ(links.tunes.size(), 3u);
    EXPECT_EQ(links.error.toStdString(),
              "The tune “Broken” was not read: bar 2: “H” is not chord-chart notation.");
}

TEST(LeadSheetLink, RefusesInWordsWhatItCannotRead) {
    std::string manyBars;
    for (int i = 0; i <= tune_limits::MaxBars; ++i)
        manyBars += "C |";
    const std::string unscrambled = "[T44C^7   |A-7   |D-7   |G7   |C^7   |A-7   |D-7   |G7   Z";
    const std::string good = NewerLink({{"C |", "Cut"}});
    const struct {
        const char* name;
        std::string text;
        const char* reason;
    } cases[] = {
        {"no link", "<html><body>no chart here</body></html>", "holds no lead-sheet link"},
        {"cut in an escape", good.substr(0, good.size() - 1 - good.substr(good.rfind('%')).size() + 2),
         "cut short"},
        {"cut in the chart", good.substr(0, good.find("%3DJazz")),
         "“Cut” was not read: the link ends within it"},
        {"not scrambled",
         "irealb://" + QUrl::toPercentEncoding(
                           QString::fromStdString("Plain=A B==S=C==1r34LbKcu7" + unscrambled + "=x=1=2"))
                           .toStdString(),
         "not scrambled"},
        {"unknown symbol", OlderLink({"C |D |V |", "Odd"}), "“Odd” was not read: bar 3: “V” is not"},
        {"not a chord", OlderLink({"C7#4 |"}), "“C7#4” is not a chord symbol"},
        {"too many bars", OlderLink({manyBars}), "more than 1000 bars"},
        {"too many chords", OlderLink({"C,D,E,F,G |"}), "more than 4 chords"},
        {"more chords than beats", OlderLink({"T34C,D,E,F |"}), "more chords than beats"},
        {"six eight", OlderLink({"T68C |"}), "6/8"},
        {"key", OlderLink({"C |", "K", "A B", "H"}), "key “H” is not a key"},
        {"open text", OlderLink({"C <D.S. al"}), "no closing “>”"},
        {"repeat of nothing", OlderLink({"x |"}), "fewer come before it"},
        {"no tune", "irealbook://only=some=fields", "holds no tune"},
    };
    for (const auto& c : cases) {
        const LeadSheetLinks links = Parsed(c.text);
        EXPECT_TRUE(links.tunes.empty()) << c.name;
        EXPECT_TRUE(links.error.contains(QString::fromUtf8(c.reason)))
            << c.name << ": " << links.error.toStdString();
    }
}

TEST(LeadSheetLink, ReadsAPageFromAFile) {
    const LeadSheetLinks links =
        ReadLeadSheetFile(QStringLiteral(ORBEL_TEST_SOURCE_DIR "/fixtures/lead_sheets.html"));
    EXPECT_EQ(links.error.toStdString(), "");
    EXPECT_EQ(links.tunes.size(), 3u);
    EXPECT_EQ(links.playlistName, QStringLiteral("Practice Set"));
    EXPECT_TRUE(ReadLeadSheetFile(QStringLiteral("/nonexistent/page.html")).error.contains(u"was not found"));
}

TEST(LeadSheetLink, AThreeHundredTunePlaylistReadsWellUnderASecond) {
    const std::string chorus = "*A{T44C^7XyQ|A-7XyQ|D-7 G7LZC^7XyQ|E-7 A7LZD-7 G7LZN1C^7 A7 }XyQ|N2C6XyQZ";
    std::vector<Fields> tunes;
    for (int i = 0; i < 300; ++i)
        tunes.push_back({chorus + chorus + chorus, "Tune " + std::to_string(i)});
    const std::string page = "<html><a href=\"" + NewerLink(tunes, "Big") + "\">Big</a></html>";
    QElapsedTimer clock;
    clock.start();
    const LeadSheetLinks links = Parsed(page);
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_EQ(links.tunes.size(), 300u);
    EXPECT_EQ(links.error.toStdString(), "");
}

} // namespace
} // namespace orbel
