#include "views/staff_layout.h"

#include "theory/note_names.h"
#include "views/music_glyphs.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace orbel {

namespace {

constexpr double s = staff_geometry::LineSpacing;

namespace fonts {
const QString Music = QStringLiteral("ZephMusicFont");
const QString Text = QStringLiteral("ＭＳ 明朝");
constexpr int Accidental = 22;
constexpr int Sign = 26; // clef, time signature, rests
constexpr int Note = 28;
constexpr int Chord = 16;
constexpr int TitleWide = 16;
constexpr int TitleNarrow = 14;
} // namespace fonts

namespace place {
constexpr double StaffLeftShare = 0.01;
constexpr double StaffWidthShare = 0.97;
constexpr double RowsPerHeight = 10;
constexpr double RowHeightWide = 1.25;
constexpr double RowHeightNarrow = 1.5;
constexpr double FirstNoteWide = 8;   // line spacings right of the staff's left end
constexpr double FirstNoteNarrow = 6; // for the II–V–I studies on a narrow layout
constexpr double NarrowScale = 0.94;
constexpr double ClefLiftNarrow = 0.1;
constexpr double Clef = 6.4;
constexpr double TimeLeft = 3;
constexpr double Time = 7.35;
constexpr double GlyphWide = 5.64;
constexpr double GlyphNarrow = 5.74;
constexpr double StemThreshold = 2.5;
constexpr double WholeNoteRight = 3;
constexpr double WholeNoteGlyphLeft = 30; // logical units
constexpr double LedgerLeft = 0.42;
constexpr double LedgerRight = 1.68;
constexpr double AccidentalLeft = 1;
constexpr double AccidentalUp = 1.35;
constexpr double ChordUp = 10;
constexpr double CursorRight = 0.5;
constexpr double DoubleBarInside = 0.5;
constexpr int BarLineUnitsTicks = 3; // a bar line takes the width of a 3-tick note, times 1.5
constexpr double BarLineFactor = 1.5;
constexpr double BeamPointRight = 0.6;
constexpr double DotRadius = 6;
constexpr int DotWidth = 3;
} // namespace place

constexpr int TicksPerBar44 = 96;
constexpr int TicksPerBar34 = 72;
constexpr int TicksPerBeat = 24;
constexpr int PhraseStudies = 2; // study types above this draw bar lines and the time signature

bool WideLayout(int layoutMode) {
    return layoutMode == 1 || layoutMode == 2;
}

struct Row {
    int first = 0;
    int last = -1;
    double units = 0;
    double ticks = 0;
    double scale = 0;
};

class StaffWriter {
public:
    StaffWriter(const PlaySequence& seq, const StaffStudy& study, const StaffFrame& frame, StaffLayout& out)
        : seq_(seq), study_(study), frame_(frame), out_(out),
          tables_(BuildPitchTables(KeyUsesFlats(study.rootKey, seq.MajorSpelling))) {
        staffLeft_ = frame.windowWidth * place::StaffLeftShare;
        staffWidth_ = frame.frame2Left * place::StaffWidthShare;
        rowHeight_ = frame.windowHeight / place::RowsPerHeight *
                     (WideLayout(frame.layoutMode) ? place::RowHeightWide : place::RowHeightNarrow);
        glyphOffset_ =
            (frame.layoutMode == staff_geometry::WideLayout ? place::GlyphWide : place::GlyphNarrow) * s;
    }

    void write();

private:
    std::vector<Row> rows(double& totalTicks) const;
    bool check(double totalTicks);
    void note(int i, int row);
    void setRow(int row) {
        base_ = frame_.windowHeight - row * rowHeight_;
        stemThreshold_ = base_ + place::StemThreshold * s;
    }
    double noteY(int p) const {
        return p >= 0 && p < staff_pitch::Pitches
                   ? base_ + tables_.spacesAboveBase[static_cast<std::size_t>(p)] * s
                   : base_;
    }
    void barLine(double x) { line(x, base_, x, base_ + 4 * s); }

    void line(double x1, double y1, double x2, double y2, int width = 1) {
        StaffMark m;
        m.kind = StaffMark::Kind::Line;
        m.x = x1;
        m.y = y1;
        m.x2 = x2;
        m.y2 = y2;
        m.width = width;
        out_.marks.push_back(m);
    }
    void box(StaffMark::Kind kind, double x1, double y1, double x2, double y2) {
        StaffMark m;
        m.kind = kind;
        m.x = x1;
        m.y = y1;
        m.x2 = x2;
        m.y2 = y2;
        out_.marks.push_back(m);
    }
    void glyph(char16_t code, double x, double y, int size) {
        StaffMark m;
        m.kind = StaffMark::Kind::Glyph;
        m.x = x;
        m.y = y;
        m.text = QString(QChar(code));
        m.font = {fonts::Music, size, false, false};
        out_.marks.push_back(m);
    }
    void beam(int i, double x, double y);
    void drawBeams();
    void ledgerLines(double x, double y);
    void accidental(int p, double x, double y);
    void dot(int p, int ticks, double x, double y, bool rest);
    void tie(int i, int ticks, double y);

    const PlaySequence& seq_;
    const StaffStudy& study_;
    const StaffFrame& frame_;
    StaffLayout& out_;
    StaffPitchTables tables_;
    BarAccidentals bar_;
    double staffLeft_ = 0;
    double staffWidth_ = 0;
    double rowHeight_ = 0;
    double glyphOffset_ = 0;
    double base_ = 0;
    double stemThreshold_ = 0;
    double curX_ = 0;
    double xScale_ = 0;
    int rowTicks_ = 0;
    // The beam or triplet group being collected: the entries' points (x + 0.6 s, head y) and codes.
    struct BeamPoint {
        double x = 0;
        double y = 0;
        int code = 0;
    };
    std::vector<BeamPoint> group_;
};

std::vector<Row> StaffWriter::rows(double& totalTicks) const {
    std::vector<Row> rows(1);
    totalTicks = 0;
    for (int i = 0; i < seq_.SeqCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        // Rows past the last one the view has room for carry on in it.
        if (seq_.SeqBarStart[at] == 1 && static_cast<int>(rows.size()) < staff_geometry::MaxRows) {
            rows.back().last = i - 1;
            rows.push_back({i, i - 1, 0, 0, 0});
        }
        Row& row = rows.back();
        row.last = i;
        row.units += NoteWidthUnits(seq_.SeqDur[at], seq_.SeqRest[at] == 1, seq_.BeatsPerBar);
        row.ticks += seq_.SeqDur[at];
        totalTicks += seq_.SeqDur[at];
    }
    return rows;
}

bool StaffWriter::check(double totalTicks) {
    if (seq_.SeqCount <= 1) {
        out_.messages.push_back(
            QStringLiteral("　クリシェデータがありません！！　\r\n別の学習メニューを選んでください"));
        return false;
    }
    if (study_.studyType > PhraseStudies - 1) {
        const long whole = std::lround(totalTicks);
        const long beats = whole / TicksPerBeat;
        const int perBar = std::max<int>(seq_.BeatsPerBar, 1);
        if (totalTicks - static_cast<double>(TicksPerBeat * beats) > 0.00001 || beats % perBar != 0)
            out_.messages.push_back(
                QStringLiteral("　クリシェデータのどれかの音符の長さが正しくないみたいです　\r\n"
                               "一応表示しますが元データを修正してください"));
    }
    return true;
}

void StaffWriter::write() {
    out_.noteX.assign(static_cast<std::size_t>(std::max<int>(seq_.SeqCount, 0)), 0.0F);
    out_.rowBase.assign(out_.noteX.size(), 0.0F);
    out_.startTick.assign(out_.noteX.size(), 0);
    int tick = 0;
    for (std::size_t i = 0; i < out_.startTick.size(); ++i) {
        out_.startTick[i] = tick;
        tick += seq_.SeqDur[i];
    }
    double totalTicks = 0;
    std::vector<Row> rowList = rows(totalTicks);
    if (!check(totalTicks)) return;

    const double clefLift = frame_.layoutMode == staff_geometry::WideLayout ? 0 : place::ClefLiftNarrow * s;
    const bool narrowPattern = study_.studyType >= PhraseStudies && !WideLayout(frame_.layoutMode);
    const double startX = staffLeft_ + (narrowPattern ? place::FirstNoteNarrow : place::FirstNoteWide) * s;
    const double barUnits =
        NoteWidthUnits(place::BarLineUnitsTicks, false, seq_.BeatsPerBar) * place::BarLineFactor;
    for (Row& row : rowList) {
        // Room for the bar lines the row will hold; 3/4 rows are counted in 4/4 bars too.
        row.units += barUnits * (row.ticks / TicksPerBar44 - 1);
        row.scale = row.units > 0 ? (staffWidth_ - (startX - staffLeft_)) / row.units : 0;
        if (narrowPattern) row.scale *= place::NarrowScale;
    }

    const double staffRight = staffLeft_ + staffWidth_;
    for (std::size_t r = 0; r < rowList.size(); ++r) {
        setRow(static_cast<int>(r) + 1);
        curX_ = startX;
        xScale_ = rowList[r].scale;
        line(staffRight, base_, staffRight, base_ + 4 * s);
        line(staffLeft_, base_, staffLeft_, base_ + 4 * s);
        rowTicks_ = 0;
        glyph(music_glyph::TrebleClef, staffLeft_, base_ + place::Clef * s + clefLift, fonts::Sign);
        if (r == 0 && study_.studyType >= PhraseStudies)
            glyph(seq_.BeatsPerBar == 3 ? music_glyph::ThreeFourTime : music_glyph::CommonTime,
                  staffLeft_ + place::TimeLeft * s, base_ + place::Time * s + clefLift, fonts::Sign);
        bar_.reset();
        for (int i = rowList[r].first; i <= rowList[r].last; ++i)
            note(i, static_cast<int>(r) + 1);
        // The staff lines go over whatever an entry blanked.
        for (int j = 0; j < 5; ++j)
            line(staffLeft_, base_ + j * s, staffRight, base_ + j * s);
        line(staffLeft_, base_, staffLeft_, base_ + 4 * s);
        line(staffRight, base_, staffRight, base_ + 4 * s);
    }
    const double doubleBar = staffRight - place::DoubleBarInside * s;
    line(doubleBar, base_, doubleBar, base_ + 4 * s);
    out_.lastBase = base_;
}

void StaffWriter::note(int i, int /*row*/) {
    const auto at = static_cast<std::size_t>(i);
    const bool rest = seq_.SeqRest[at] == 1;
    const int p = seq_.OctaveShift * 12 + seq_.SeqPitch[at];
    const int ticks = seq_.SeqDur[at];
    double x = curX_;
    const double barSkip =
        NoteWidthUnits(place::BarLineUnitsTicks, false, seq_.BeatsPerBar) * xScale_ * place::BarLineFactor;

    if (study_.studyType >= PhraseStudies) {
        const int barTicks = seq_.BeatsPerBar == 3 ? TicksPerBar34 : TicksPerBar44;
        if (rowTicks_ > 0 && rowTicks_ % barTicks == 0) {
            barLine(x);
            x += barSkip;
            bar_.reset();
        }
        const QString chord = QString::fromStdString(seq_.SeqChord[at]).trimmed();
        if (!chord.isEmpty()) {
            StaffMark m;
            m.kind = StaffMark::Kind::FlatText;
            m.x = x;
            m.y = base_ + place::ChordUp * s;
            m.text = chord;
            m.font = {fonts::Text, fonts::Chord, true, false};
            out_.marks.push_back(m);
        }
    } else if (study_.upDown == 1 && seq_.SeqCount % 2 == 0 && i == seq_.SeqCount / 2) {
        // Between the rising and the falling half of a scale or chord.
        barLine(x);
        x += barSkip;
        bar_.reset();
    }

    double cursorX = x;
    double yHead = base_ + 1.5 * s;
    if (rest) {
        switch (ticks) {
        case 2:
        case 3:
            glyph(music_glyph::ThirtySecondRest, x, base_ + 7.75 * s, fonts::Sign);
            break;
        case 6:
        case 9:
            glyph(music_glyph::SixteenthRest, x, base_ + 7.75 * s, fonts::Sign);
            break;
        case 8:
            glyph(music_glyph::SixteenthRest, x, base_ + 8.25 * s, fonts::Sign);
            box(StaffMark::Kind::Blank, x, base_ + 2.85 * s, x + 180, base_ + 4.25 * s);
            beam(i, x + place::BeamPointRight * s, yHead);
            break;
        case 12:
        case 18:
            glyph(music_glyph::EighthRest, x, base_ + 7.35 * s, fonts::Sign);
            break;
        case 16:
        case 24:
        case 36:
            glyph(music_glyph::QuarterRest, x, base_ + 7.3 * s, fonts::Sign);
            break;
        case 72:
            if (seq_.BeatsPerBar == 3) {
                box(StaffMark::Kind::Box, x + 2 * s, base_ + 3 * s, x + 3.5 * s, base_ + 2.5 * s);
                cursorX = x + 2 * s;
                break;
            }
            [[fallthrough]];
        case 48:
            box(StaffMark::Kind::Box, x, base_ + 2 * s, x + 1.5 * s, base_ + 2.5 * s);
            cursorX = x + 0.5 * s;
            break;
        case 96:
            box(StaffMark::Kind::Box, x + 2 * s, base_ + 3 * s, x + 3.5 * s, base_ + 2.5 * s);
            cursorX = x + 2 * s;
            break;
        default:
            break;
        }
    } else {
        yHead = noteY(p);
        const bool up = yHead <= stemThreshold_;
        const int g = seq_.SeqBeam[at];
        const double y = yHead + glyphOffset_;
        const auto pick = [up](char16_t upGlyph, char16_t downGlyph) { return up ? upGlyph : downGlyph; };
        std::optional<char16_t> code;
        bool beamed = false;
        switch (ticks) {
        case 2:
        case 3:
            code = g >= 1 ? music_glyph::NoteHead
                          : pick(music_glyph::ThirtySecondNoteUp, music_glyph::ThirtySecondNoteDown);
            beamed = g >= 1;
            break;
        case 4:
            code = g > 0 ? music_glyph::NoteHead
                         : pick(music_glyph::SixteenthNoteUp, music_glyph::SixteenthNoteDown);
            beamed = g > 0;
            break;
        case 6:
        case 9:
            code = g < 1 ? pick(music_glyph::SixteenthNoteUp, music_glyph::SixteenthNoteDown)
                         : music_glyph::NoteHead;
            beamed = g >= 1;
            break;
        case 8:
            code = g < 1 || g > 399 ? pick(music_glyph::EighthNoteUp, music_glyph::EighthNoteDown)
                                    : music_glyph::NoteHead;
            beamed = true;
            break;
        case 12:
        case 18:
            if (study_.studyType < PhraseStudies) {
                code = pick(music_glyph::QuarterNoteUp, music_glyph::QuarterNoteDown);
            } else {
                code = g < 1 ? pick(music_glyph::EighthNoteUp, music_glyph::EighthNoteDown)
                             : music_glyph::NoteHead;
                beamed = g >= 1;
            }
            break;
        case 16:
            code = pick(music_glyph::QuarterNoteUp, music_glyph::QuarterNoteDown);
            beamed = true;
            break;
        case 24:
        case 36:
            code = pick(music_glyph::QuarterNoteUp, music_glyph::QuarterNoteDown);
            break;
        case 48:
        case 72:
            code = pick(music_glyph::HalfNoteUp, music_glyph::HalfNoteDown);
            break;
        case 96:
            x += place::WholeNoteRight * s;
            cursorX = x;
            glyph(music_glyph::WholeNote, x - place::WholeNoteGlyphLeft, y, fonts::Note);
            break;
        default:
            break;
        }
        if (code) glyph(*code, x, y, fonts::Note);
        if (beamed) beam(i, x + place::BeamPointRight * s, yHead);
        ledgerLines(x, yHead);
        accidental(p, x, yHead);
    }

    const int units = NoteWidthUnits(ticks, rest, seq_.BeatsPerBar);
    curX_ = x + units * xScale_;
    rowTicks_ += ticks;
    out_.noteX[at] = static_cast<float>(cursorX + place::CursorRight * s);
    out_.rowBase[at] = static_cast<float>(base_);
    tie(i, ticks, yHead);
    dot(p, ticks, x, yHead, rest);
}

namespace beams {
constexpr std::size_t MaxPoints = 11;
constexpr double StemLength = 3.5;
constexpr double StemRightUp = 0.45;
constexpr double StemLeftDown = -0.5;
constexpr double SecondBeam = 0.75;
constexpr double ThirdBeam = 1.5;
constexpr double Hook = 1.25;
constexpr double HookHalf = 70; // logical units
constexpr double SpreadForLonger = 2;
constexpr double LongerThree = 1.3;
constexpr double LongerFour = 2;
constexpr int BeamWidth = 3;
constexpr int TripletFontSize = 12;

bool IsFirst(int code) {
    return code == 1 || code == 11 || code == 21 || code == 301 || code == 311 || code == 321 ||
           code == 331 || code == 401;
}
bool IsInner(int code) {
    return code == 2 || code == 12 || code == 22 || code == 302 || code == 312 || code == 322 ||
           code == 332 || code == 402;
}
bool IsLast(int code) {
    return code == 3 || code == 13 || code == 23 || code == 303 || code == 313 || code == 323 ||
           code == 333 || code == 403;
}
} // namespace beams

void StaffWriter::beam(int i, double x, double y) {
    const int code = seq_.SeqBeam[static_cast<std::size_t>(i)];
    if (beams::IsFirst(code)) {
        group_.assign(1, {x, y, code});
    } else if ((beams::IsInner(code) || beams::IsLast(code)) && !group_.empty() &&
               group_.size() < beams::MaxPoints) {
        group_.push_back({x, y, code});
        if (beams::IsLast(code)) drawBeams();
    }
}

void StaffWriter::drawBeams() {
    const std::vector<BeamPoint>& pts = group_;
    const std::size_t n = pts.size() - 1;
    if (n == 0) return;
    std::size_t maxIdx = 0;
    std::size_t minIdx = 0;
    for (std::size_t k = 1; k <= n; ++k) {
        if (pts[k].y > pts[maxIdx].y) maxIdx = k;
        if (pts[k].y < pts[minIdx].y) minIdx = k;
    }
    const double mid = static_cast<float>((pts[maxIdx].y + pts[minIdx].y) / 2);
    const bool up = mid <= stemThreshold_;
    double stem = (up ? 1 : -1) * beams::StemLength * s;
    const double stemX = (up ? beams::StemRightUp : beams::StemLeftDown) * s;
    const double second = (up ? 1 : -1) * beams::SecondBeam * s;
    const double third = (up ? 1 : -1) * beams::ThirdBeam * s;
    const double hook = (up ? 1 : -1) * beams::Hook * s;
    if (pts[maxIdx].y - pts[minIdx].y > beams::SpreadForLonger * s) {
        if (n == 2 && ((up && maxIdx == 1) || (!up && minIdx == 1))) stem *= beams::LongerThree;
        if (n == 3 && up && (minIdx == 0 || minIdx == 3) && (maxIdx == 1 || maxIdx == 2))
            stem += beams::LongerFour * s;
        if (n == 3 && !up && (minIdx == 1 || minIdx == 2) && (maxIdx == 0 || maxIdx == 3))
            stem -= beams::LongerFour * s;
    }
    const double firstY = pts.front().y;
    const double lastY = pts.back().y;
    const double slope = (lastY - firstY) / static_cast<double>(n);
    std::vector<double> end(n + 1);
    for (std::size_t k = 0; k <= n; ++k) {
        const double X = pts[k].x + stemX;
        end[k] = firstY + stem + static_cast<double>(k) * slope;
        const int code = pts[k].code;
        if (k == 1 && code == 12) {
            end[1] = firstY + stem + (lastY - firstY) * (pts[0].code == 11 ? 1.0 / 3 : 2.0 / 3);
            line(X, pts[1].y, X, end[1]);
            continue;
        }
        if (code == 301 || code == 303 || code == 401 || code == 403) {
            line(X, end[k] + hook - beams::HookHalf, X, end[k] + hook + beams::HookHalf);
        } else if (code != 302 && code != 402) {
            line(X, pts[k].y, X, end[k]);
        }
    }
    const int lastCode = pts.back().code;
    const double X0 = pts.front().x + stemX;
    const double Xn = pts.back().x + stemX;
    if (lastCode == 303 || lastCode == 403) {
        line(X0, firstY + stem + hook, Xn, end[n] + hook);
    } else {
        line(X0, firstY + stem, Xn, end[n], beams::BeamWidth);
    }
    const auto codesAre = [&pts](std::initializer_list<int> codes) {
        if (codes.size() > pts.size()) return false;
        std::size_t k = pts.size() - codes.size();
        for (const int c : codes) {
            if (pts[k++].code != c) return false;
        }
        return true;
    };
    const auto extra = [&](double offset) {
        line(X0, firstY + stem - offset, Xn, end[n] - offset, beams::BeamWidth);
    };
    if (codesAre({11, 12, 12, 13})) {
        extra(second);
    } else if (codesAre({21, 22, 22, 23})) {
        extra(second);
        extra(third);
    } else if (codesAre({321, 322, 323})) {
        extra(second);
    } else if (codesAre({331, 332, 333})) {
        extra(second);
        extra(third);
    } else if (codesAre({11, 13})) {
        extra(second);
    } else if (codesAre({21, 23})) {
        extra(second);
        extra(third);
    } else if (codesAre({1, 12, 13})) {
        line(pts[1].x + stemX, end[1] - second, Xn, lastY + stem - second, beams::BeamWidth);
    } else if (codesAre({11, 12, 3})) {
        line(X0, firstY + stem - second, pts[1].x + stemX, end[1] - second, beams::BeamWidth);
    } else if (codesAre({11, 2, 13})) {
        const double Y0 = firstY + stem - second;
        const double Yn = end[n] - second;
        line(X0, Y0, X0 + 0.25 * (Xn - X0), Y0 + 0.25 * (Yn - Y0), beams::BeamWidth);
        line(X0 + 0.77 * (Xn - X0), Y0 + 0.75 * (Yn - Y0), Xn, Yn, beams::BeamWidth);
    }
    if (lastCode > 300) {
        StaffMark digit;
        digit.kind = StaffMark::Kind::FlatText;
        digit.x = up ? pts[1].x : pts[1].x - 0.8 * s;
        digit.y = firstY + 1.5 * stem + slope + (up ? s : 0.3 * s);
        digit.text = QStringLiteral("3");
        digit.font = {fonts::Text, beams::TripletFontSize, true, false};
        out_.marks.push_back(digit);
    }
}

void StaffWriter::ledgerLines(double x, double y) {
    const double left = x - place::LedgerLeft * s;
    const double right = x + place::LedgerRight * s;
    if (y > base_ + 4 * s) {
        for (double ly = base_ + 5 * s; ly <= y + 1e-6; ly += s)
            line(left, ly, right, ly);
    } else if (y < base_) {
        for (double ly = base_ - s; ly >= y - 1e-6; ly -= s)
            line(left, ly, right, ly);
    }
}

void StaffWriter::accidental(int p, double x, double y) {
    const std::string sign = bar_.toDraw(tables_, p);
    if (sign.empty()) return;
    const char16_t code = sign == "#"   ? music_glyph::Sharp
                          : sign == "b" ? music_glyph::Flat
                                        : music_glyph::Natural;
    glyph(code, x - place::AccidentalLeft * s, y + glyphOffset_ - place::AccidentalUp * s, fonts::Accidental);
}

void StaffWriter::dot(int p, int ticks, double x, double y, bool rest) {
    if (ticks != 9 && ticks != 18 && ticks != 36 && ticks != 72) return;
    if (rest && ticks == 72 && seq_.BeatsPerBar == 3) return;
    double dx = 1.5 * s;
    double dy = 0;
    if (!rest) {
        dx = 2 * s;
        const double d = std::abs(noteY(p) - base_) / s;
        if (d - std::floor(d) < 0.01) dy = -0.5 * s;
    }
    StaffMark m;
    m.kind = StaffMark::Kind::Dot;
    m.x = x + dx;
    m.y = y + dy;
    m.x2 = place::DotRadius;
    m.width = place::DotWidth;
    out_.marks.push_back(m);
}

void StaffWriter::tie(int i, int ticks, double y) {
    if (i <= 0 || seq_.SeqTie[static_cast<std::size_t>(i)] != 1) return;
    const double a = out_.noteX[static_cast<std::size_t>(i) - 1];
    const double b = out_.noteX[static_cast<std::size_t>(i)];
    const double left = std::min(a, b);
    const double right = std::max(a, b);
    if (right <= left) return;
    const double r = (right - left) / 2;
    const double aspect = 2 * s / (right - left);
    StaffMark m;
    m.kind = StaffMark::Kind::Arc;
    m.x = (left + right) / 2;
    m.x2 = aspect < 1 ? r : r / aspect;
    m.y2 = aspect < 1 ? r * aspect : r;
    if (y > stemThreshold_ || ticks == 96) {
        m.y = y + s;
        m.startAngle = 0;
        m.endAngle = std::numbers::pi;
    } else {
        m.y = y - s;
        m.startAngle = std::numbers::pi;
        m.endAngle = 2 * std::numbers::pi;
    }
    out_.marks.push_back(m);
}

} // namespace

int NoteWidthUnits(int ticks, bool rest, int beatsPerBar) {
    switch (ticks) {
    case 2:
    case 3:
        return 2;
    case 4:
    case 6:
    case 8:
    case 9:
        return 3;
    case 12:
    case 18:
        return rest ? 3 : 4;
    case 16:
        return 4;
    case 24:
    case 36:
        return rest ? 4 : 5;
    case 48:
        return 7;
    case 72:
        return rest && beatsPerBar == 3 ? 10 : 7;
    case 96:
        return 10;
    default:
        return 0;
    }
}

StaffLayout LayOutStaff(const PlaySequence& seq, const StaffStudy& study, const StaffFrame& frame) {
    StaffLayout layout;
    StaffWriter(seq, study, frame, layout).write();
    return layout;
}

void LayOutTitles(StaffLayout& layout, const QString& title, const QString& subtitle, int layoutMode) {
    const bool narrow = layoutMode == 3;
    const FormFont font{fonts::Text, narrow ? fonts::TitleNarrow : fonts::TitleWide, true, false};
    const double base = layout.lastBase;
    StaffMark t;
    t.kind = StaffMark::Kind::Glyph;
    t.x = narrow ? 2 * s : 4 * s;
    t.y = narrow ? base - 4 * s : base - 7 * s;
    t.text = QString(title).remove(QStringLiteral("★"));
    t.font = font;
    t.colour = 0xFF0000;
    layout.marks.push_back(t);
    if (subtitle.isNull()) return;
    StaffMark c;
    c.kind = StaffMark::Kind::Glyph;
    c.x = 6 * s;
    c.y = narrow ? base - 8 * s : base - 10 * s;
    c.text = QString(subtitle).replace(QChar(u'\0'), QChar(u' ')).trimmed();
    c.font = font;
    layout.marks.push_back(c);
}

} // namespace orbel
