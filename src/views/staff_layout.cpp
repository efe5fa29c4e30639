#include "views/staff_layout.h"

#include "theory/beams.h"
#include "theory/note_names.h"
#include "theory/note_value.h"
#include "theory/spelling.h"
#include "views/music_glyphs.h"
#include "views/staff_beams.h"
#include "views/staff_marks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

namespace orbel {

namespace {

constexpr double s = staff_geometry::LineSpacing;

namespace fonts = staff_fonts;

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
        : seq_(seq), study_(study), frame_(frame), out_(out), marks_(out.marks), beams_(marks_),
          flatKey_(KeyUsesFlats(study.rootKey, seq.MajorSpelling)) {
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
    void note(int i);
    double rest(const NoteValue& value, int i, double x);
    double head(const NoteValue& value, int i, double x, double yHead);
    void setRow(int row) {
        base_ = frame_.windowHeight - row * rowHeight_;
        stemThreshold_ = base_ + place::StemThreshold * s;
    }
    static bool OnStaff(int p) { return p >= treble_staff::LowestPitch && p <= treble_staff::HighestPitch; }
    double noteY(int p) const {
        return OnStaff(p) ? base_ + SpacesAboveBottomLine(Spell(p, flatKey_)) * s : base_;
    }
    void barLine(double x) { marks_.line(x, base_, x, base_ + 4 * s); }
    void beam(int i, double x, double y) {
        beams_.add(seq_.SeqBeam[static_cast<std::size_t>(i)], x, y, stemThreshold_);
    }
    void ledgerLines(double x, double y);
    void accidental(int p, double x, double y);
    void dot(int p, const NoteValue& value, double x, double y, bool rest);
    void tie(int i, bool whole, double y);

    const PlaySequence& seq_;
    const StaffStudy& study_;
    const StaffFrame& frame_;
    StaffLayout& out_;
    StaffMarkList marks_;
    StaffBeams beams_;
    bool flatKey_ = false;
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
        marks_.line(staffRight, base_, staffRight, base_ + 4 * s);
        marks_.line(staffLeft_, base_, staffLeft_, base_ + 4 * s);
        rowTicks_ = 0;
        marks_.glyph(music_glyph::TrebleClef, staffLeft_, base_ + place::Clef * s + clefLift, fonts::Sign);
        if (r == 0 && study_.studyType >= PhraseStudies)
            marks_.glyph(seq_.BeatsPerBar == 3 ? music_glyph::ThreeFourTime : music_glyph::CommonTime,
                         staffLeft_ + place::TimeLeft * s, base_ + place::Time * s + clefLift, fonts::Sign);
        bar_.reset();
        for (int i = rowList[r].first; i <= rowList[r].last; ++i)
            note(i);
        // The staff lines go over whatever an entry blanked.
        for (int j = 0; j < 5; ++j)
            marks_.line(staffLeft_, base_ + j * s, staffRight, base_ + j * s);
        marks_.line(staffLeft_, base_, staffLeft_, base_ + 4 * s);
        marks_.line(staffRight, base_, staffRight, base_ + 4 * s);
    }
    const double doubleBar = staffRight - place::DoubleBarInside * s;
    marks_.line(doubleBar, base_, doubleBar, base_ + 4 * s);
    out_.lastBase = base_;
}

void StaffWriter::note(int i) {
    const auto at = static_cast<std::size_t>(i);
    const bool isRest = seq_.SeqRest[at] == 1;
    const int p = seq_.OctaveShift * 12 + seq_.SeqPitch[at];
    const int ticks = seq_.SeqDur[at];
    const std::optional<NoteValue> value = NoteValueOf(ticks);
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
        if (!chord.isEmpty()) marks_.flatText(chord, x, base_ + place::ChordUp * s, fonts::Chord);
    } else if (study_.upDown == 1 && seq_.SeqCount % 2 == 0 && i == seq_.SeqCount / 2) {
        // Between the rising and the falling half of a scale or chord.
        barLine(x);
        x += barSkip;
        bar_.reset();
    }

    double cursorX = x;
    double yHead = base_ + 1.5 * s;
    if (isRest) {
        if (value) cursorX = rest(*value, i, x);
    } else {
        yHead = noteY(p);
        if (value) {
            cursorX = head(*value, i, x, yHead);
            // A whole note stands further right, and so does all that goes with it.
            if (value->kind == NoteKind::Whole) x = cursorX;
        }
        ledgerLines(x, yHead);
        accidental(p, x, yHead);
    }

    const int units = NoteWidthUnits(ticks, isRest, seq_.BeatsPerBar);
    curX_ = x + units * xScale_;
    rowTicks_ += ticks;
    out_.noteX[at] = static_cast<float>(cursorX + place::CursorRight * s);
    out_.rowBase[at] = static_cast<float>(base_);
    tie(i, value && value->kind == NoteKind::Whole, yHead);
    if (value) dot(p, *value, x, yHead, isRest);
}

// Draws a rest at x; returns where the cursor stands while it lasts.
double StaffWriter::rest(const NoteValue& value, int i, double x) {
    switch (value.kind) {
    case NoteKind::ThirtySecond:
        marks_.glyph(music_glyph::ThirtySecondRest, x, base_ + 7.75 * s, fonts::Sign);
        break;
    case NoteKind::Sixteenth:
        // A sixteenth of a triplet rests without a sign.
        if (!value.triplet) marks_.glyph(music_glyph::SixteenthRest, x, base_ + 7.75 * s, fonts::Sign);
        break;
    case NoteKind::Eighth:
        if (value.triplet) {
            // Lower, over a blanked gap in the staff, and a point of its triplet's bracket.
            marks_.glyph(music_glyph::SixteenthRest, x, base_ + 8.25 * s, fonts::Sign);
            marks_.box(StaffMark::Kind::Blank, x, base_ + 2.85 * s, x + 180, base_ + 4.25 * s);
            beam(i, x + place::BeamPointRight * s, base_ + 1.5 * s);
        } else {
            marks_.glyph(music_glyph::EighthRest, x, base_ + 7.35 * s, fonts::Sign);
        }
        break;
    case NoteKind::Quarter:
        marks_.glyph(music_glyph::QuarterRest, x, base_ + 7.3 * s, fonts::Sign);
        break;
    case NoteKind::Half:
        if (!IsWholeBarRest(value.ticks, true, seq_.BeatsPerBar)) {
            marks_.box(StaffMark::Kind::Box, x, base_ + 2 * s, x + 1.5 * s, base_ + 2.5 * s);
            return x + 0.5 * s;
        }
        [[fallthrough]];
    case NoteKind::Whole:
        marks_.box(StaffMark::Kind::Box, x + 2 * s, base_ + 3 * s, x + 3.5 * s, base_ + 2.5 * s);
        return x + 2 * s;
    }
    return x;
}

// Draws a note's head with its stem and flags, or as a point of its beam; returns where the cursor stands
// while it sounds.
double StaffWriter::head(const NoteValue& value, int i, double x, double yHead) {
    const double y = yHead + glyphOffset_;
    if (value.kind == NoteKind::Whole) {
        x += place::WholeNoteRight * s;
        marks_.glyph(music_glyph::WholeNote, x - place::WholeNoteGlyphLeft, y, fonts::Note);
        return x;
    }
    const bool up = yHead <= stemThreshold_;
    const int code = seq_.SeqBeam[static_cast<std::size_t>(i)];
    // The scales and chords write their eighths as quarters, without beams.
    const bool eighthAsQuarter =
        value.kind == NoteKind::Eighth && !value.triplet && study_.studyType < PhraseStudies;
    const NoteKind drawn = eighthAsQuarter ? NoteKind::Quarter : value.kind;
    const bool beamed = code >= beam_code::First && !eighthAsQuarter;
    // A triplet with a rest keeps its flags under the bracket.
    const bool flagged =
        FlagsOf(drawn) > 0 && (!beamed || beam_code::GroupOf(code) == beam_code::EighthTripletWithRest);
    const auto pick = [up](char16_t upGlyph, char16_t downGlyph) { return up ? upGlyph : downGlyph; };
    char16_t glyph = music_glyph::NoteHead;
    switch (drawn) {
    case NoteKind::Half:
        glyph = pick(music_glyph::HalfNoteUp, music_glyph::HalfNoteDown);
        break;
    case NoteKind::Quarter:
        glyph = pick(music_glyph::QuarterNoteUp, music_glyph::QuarterNoteDown);
        break;
    case NoteKind::Eighth:
        if (flagged) glyph = pick(music_glyph::EighthNoteUp, music_glyph::EighthNoteDown);
        break;
    case NoteKind::Sixteenth:
        if (flagged) glyph = pick(music_glyph::SixteenthNoteUp, music_glyph::SixteenthNoteDown);
        break;
    case NoteKind::ThirtySecond:
        if (flagged) glyph = pick(music_glyph::ThirtySecondNoteUp, music_glyph::ThirtySecondNoteDown);
        break;
    case NoteKind::Whole:
        break;
    }
    marks_.glyph(glyph, x, y, fonts::Note);
    if (beamed) beam(i, x + place::BeamPointRight * s, yHead);
    return x;
}

void StaffWriter::ledgerLines(double x, double y) {
    const double left = x - place::LedgerLeft * s;
    const double right = x + place::LedgerRight * s;
    if (y > base_ + 4 * s) {
        for (double ly = base_ + 5 * s; ly <= y + 1e-6; ly += s)
            marks_.line(left, ly, right, ly);
    } else if (y < base_) {
        for (double ly = base_ - s; ly >= y - 1e-6; ly -= s)
            marks_.line(left, ly, right, ly);
    }
}

void StaffWriter::accidental(int p, double x, double y) {
    if (!OnStaff(p)) return;
    const std::optional<int> alter = bar_.toWrite(Spell(p, flatKey_));
    if (!alter) return;
    const char16_t code = *alter > 0   ? music_glyph::Sharp
                          : *alter < 0 ? music_glyph::Flat
                                       : music_glyph::Natural;
    marks_.glyph(code, x - place::AccidentalLeft * s, y + glyphOffset_ - place::AccidentalUp * s,
                 fonts::Accidental);
}

void StaffWriter::dot(int p, const NoteValue& value, double x, double y, bool rest) {
    if (value.dots == 0 || IsWholeBarRest(value.ticks, rest, seq_.BeatsPerBar)) return;
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
    marks_.add(m);
}

void StaffWriter::tie(int i, bool whole, double y) {
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
    if (y > stemThreshold_ || whole) {
        m.y = y + s;
        m.startAngle = 0;
        m.endAngle = std::numbers::pi;
    } else {
        m.y = y - s;
        m.startAngle = std::numbers::pi;
        m.endAngle = 2 * std::numbers::pi;
    }
    marks_.add(m);
}

} // namespace

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
