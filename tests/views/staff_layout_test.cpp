// The staff laid out, checked on the positions it computes.

#include "views/music_glyphs.h"
#include "views/staff_layout.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

constexpr double s = staff_geometry::LineSpacing;
const StaffFrame Frame{24300, 15000, 19800, 1};

struct Entry {
    int pitch = 24;
    int ticks = 24;
    bool rest = false;
    bool tie = false;
    bool rowBreak = false;
};

PlaySequence Sequence(const std::vector<Entry>& entries, int beatsPerBar = 4) {
    PlaySequence seq;
    for (const Entry& e : entries) {
        const auto i = static_cast<std::size_t>(seq.SeqCount++);
        seq.SeqPitch[i] = static_cast<std::int16_t>(e.pitch);
        seq.SeqDur[i] = static_cast<std::int16_t>(e.ticks);
        seq.SeqRest[i] = e.rest ? 1 : 0;
        seq.SeqTie[i] = e.tie ? 1 : 0;
        seq.SeqBarStart[i] = e.rowBreak ? 1 : 0;
    }
    seq.BeatsPerBar = static_cast<std::int16_t>(beatsPerBar);
    return seq;
}

double RowBase(int row) {
    return Frame.windowHeight - row * Frame.windowHeight / 10 * 1.25;
}

std::vector<StaffMark> Marks(const StaffLayout& layout, StaffMark::Kind kind) {
    std::vector<StaffMark> found;
    for (const StaffMark& m : layout.marks)
        if (m.kind == kind) found.push_back(m);
    return found;
}

// Vertical lines inside the staff, other than its two ends and the closing double bar.
int BarLines(const StaffLayout& layout) {
    const double left = Frame.windowWidth * 0.01;
    const double right = left + Frame.frame2Left * 0.97;
    int bars = 0;
    for (const StaffMark& m : Marks(layout, StaffMark::Kind::Line))
        if (m.x == m.x2 && m.x > left + 1 && m.x < right - s) ++bars;
    return bars;
}

TEST(StaffLayout, ASingleEntryIsNotShown) {
    const StaffLayout layout = LayOutStaff(Sequence({{24, 24}}), {}, Frame);
    ASSERT_EQ(layout.messages.size(), 1U);
    EXPECT_TRUE(layout.messages[0].startsWith(QStringLiteral("　クリシェデータがありません！！")));
    EXPECT_TRUE(layout.marks.empty());
}

TEST(StaffLayout, UpAndDownScalesOfAnEvenCountHaveOneBarLineInTheMiddle) {
    for (const int count : {16, 15}) {
        const PlaySequence seq = Sequence(std::vector<Entry>(static_cast<std::size_t>(count), Entry{28, 12}));
        const StaffLayout layout = LayOutStaff(seq, {0, 1, 0}, Frame);
        EXPECT_EQ(BarLines(layout), count == 16 ? 1 : 0) << count;
        // The cursor of every entry stands right of the one before.
        for (int i = 1; i < count; ++i)
            EXPECT_GT(layout.noteX[static_cast<std::size_t>(i)],
                      layout.noteX[static_cast<std::size_t>(i) - 1]);
    }
}

TEST(StaffLayout, LedgerLinesReachTheHead) {
    // Pitch 45 (A) sits on B + 5 s in a flat key: exactly one ledger line; pitch 48 (C) needs two.
    const struct {
        int pitch;
        int lines;
    } cases[] = {{45, 1}, {48, 2}, {24, 1}, {28, 0}, {21, 2}};
    for (const auto& c : cases) {
        const StaffLayout layout = LayOutStaff(Sequence({{c.pitch, 24}, {28, 24}}), {}, Frame);
        int ledgers = 0;
        for (const StaffMark& m : Marks(layout, StaffMark::Kind::Line))
            if (m.y == m.y2 && m.x2 - m.x < 2.2 * s) ++ledgers;
        EXPECT_EQ(ledgers, c.lines) << c.pitch;
    }
}

TEST(StaffLayout, DotsSitInTheSpaceAndTiesArchAwayFromTheStems) {
    // A dotted quarter on a line (E, the bottom line) and in a space (F); a tie between two high notes and
    // one between two low ones.
    const StaffLayout dots = LayOutStaff(Sequence({{28, 36}, {29, 36}, {28, 24}}, 4), {3, 0, 0}, Frame);
    const std::vector<StaffMark> d = Marks(dots, StaffMark::Kind::Dot);
    ASSERT_EQ(d.size(), 2U);
    EXPECT_DOUBLE_EQ(d[0].y, RowBase(1) - 0.5 * s);
    EXPECT_DOUBLE_EQ(d[1].y, RowBase(1) + 0.5 * s);

    const struct {
        int pitch;
        bool above;
    } ties[] = {{43, true}, {28, false}};
    for (const auto& t : ties) {
        const StaffLayout layout =
            LayOutStaff(Sequence({{t.pitch, 48}, {t.pitch, 48, false, true}}), {3, 0, 0}, Frame);
        const std::vector<StaffMark> arcs = Marks(layout, StaffMark::Kind::Arc);
        ASSERT_EQ(arcs.size(), 1U) << t.pitch;
        EXPECT_EQ(arcs[0].startAngle == 0, t.above) << t.pitch;
    }
}

TEST(StaffLayout, ThreeFourPhrasesShowTheirSignatureAndBarEveryThreeBeats) {
    const PlaySequence seq = Sequence(std::vector<Entry>(6, Entry{28, 24}), 3);
    const StaffLayout layout = LayOutStaff(seq, {3, 0, 0}, Frame);
    bool threeFour = false;
    for (const StaffMark& m : Marks(layout, StaffMark::Kind::Glyph))
        threeFour |= m.text == QString(QChar(music_glyph::ThreeFourTime));
    EXPECT_TRUE(threeFour);
    EXPECT_EQ(BarLines(layout), 1);
    EXPECT_TRUE(layout.messages.empty());
}

TEST(StaffLayout, ARowBreakOnTheFirstEntryLeavesTheFirstRowEmpty) {
    const StaffLayout layout = LayOutStaff(
        Sequence({{28, 96, false, false, true}, {28, 96}, {28, 96, false, false, true}, {28, 96}}), {3, 0, 0},
        Frame);
    EXPECT_FLOAT_EQ(layout.rowBase[0], static_cast<float>(RowBase(2)));
    EXPECT_FLOAT_EQ(layout.rowBase[2], static_cast<float>(RowBase(3)));
    EXPECT_DOUBLE_EQ(layout.lastBase, RowBase(3));
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

std::vector<StaffMark> Beams(const StaffLayout& layout) {
    std::vector<StaffMark> found;
    for (const StaffMark& m : layout.marks)
        if (m.kind == StaffMark::Kind::Line && m.width == 3) found.push_back(m);
    return found;
}

PlaySequence Beamed(const std::vector<std::pair<int, int>>& pitchAndCode, int ticks) {
    std::vector<Entry> entries;
    for (const auto& pc : pitchAndCode)
        entries.push_back({pc.first, ticks});
    entries.push_back({28, 96 - ticks * static_cast<int>(pitchAndCode.size())});
    PlaySequence seq = Sequence(entries);
    for (std::size_t i = 0; i < pitchAndCode.size(); ++i)
        seq.SeqBeam[i] = static_cast<std::int16_t>(pitchAndCode[i].second);
    return seq;
}

TEST(StaffBeams, TwoSixteenthsOnOneStepGetTwoBeamsAboveTheirHeads) {
    const StaffLayout layout = LayOutStaff(Beamed({{29, 11}, {29, 13}}, 6), {3, 0, 0}, Frame);
    const std::vector<StaffMark> beams = Beams(layout);
    ASSERT_EQ(beams.size(), 2U);
    const double head = RowBase(1) + 0.5 * s; // F, the first space
    EXPECT_DOUBLE_EQ(beams[0].y, head + 3.5 * s);
    EXPECT_DOUBLE_EQ(beams[1].y, head + 3.5 * s - 0.75 * s);
    // The stems rise from the heads at x + 0.6 s + 0.45 s.
    int stems = 0;
    for (const StaffMark& m : Marks(layout, StaffMark::Kind::Line))
        if (m.width == 1 && m.x == m.x2 && m.y == head && m.y2 == head + 3.5 * s) ++stems;
    EXPECT_EQ(stems, 2);
    EXPECT_DOUBLE_EQ(beams[0].x, layout.noteX[0] - 0.5 * s + 0.6 * s + 0.45 * s);
}

TEST(StaffBeams, AHighMiddleNoteLengthensTheStemsOfThreeEighths) {
    // E, then the C an octave and a half step higher, then E: the middle head is more than 2 s above.
    const StaffLayout layout = LayOutStaff(Beamed({{28, 1}, {36, 2}, {28, 3}}, 8), {3, 0, 0}, Frame);
    const std::vector<StaffMark> beams = Beams(layout);
    ASSERT_EQ(beams.size(), 1U);
    EXPECT_NEAR(beams[0].y - RowBase(1), 4.55 * s, 1e-9);
}

TEST(StaffBeams, QuarterTripletsGetABracketAndADigitButNoStems) {
    const StaffLayout layout = LayOutStaff(Beamed({{28, 301}, {29, 302}, {31, 303}}, 16), {3, 0, 0}, Frame);
    EXPECT_TRUE(Beams(layout).empty());
    int hooks = 0;
    for (const StaffMark& m : Marks(layout, StaffMark::Kind::Line))
        if (m.x == m.x2 && std::abs(m.y2 - m.y - 140) < 1e-9) ++hooks;
    EXPECT_EQ(hooks, 2);
    bool three = false;
    for (const StaffMark& m : Marks(layout, StaffMark::Kind::FlatText))
        three |= m.text == QLatin1String("3");
    EXPECT_TRUE(three);
}

} // namespace
} // namespace orbel
