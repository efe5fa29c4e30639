#pragma once
// The staff's marks as its layout adds them, in the staff's fonts: lines, boxes, glyphs of the music font and
// text with flats.

#include "views/staff_layout.h"

#include <QString>
#include <vector>

namespace orbel {

namespace staff_fonts {
inline const QString Music = QStringLiteral("ZephMusicFont");
inline const QString Text = QStringLiteral("ＭＳ 明朝");
static constexpr int Accidental = 22;
static constexpr int Sign = 26; // clef, time signature, rests
static constexpr int Note = 28;
static constexpr int Chord = 16;
static constexpr int Triplet = 12;
static constexpr int TitleWide = 16;
static constexpr int TitleNarrow = 14;
} // namespace staff_fonts

class StaffMarkList {
public:
    explicit StaffMarkList(std::vector<StaffMark>& marks) : marks_(marks) {}

    void line(double x1, double y1, double x2, double y2, int width = 1);
    // Kind Box or Blank, corners (x1, y1) and (x2, y2).
    void box(StaffMark::Kind kind, double x1, double y1, double x2, double y2);
    // A character of the music font, top-left at (x, y).
    void glyph(char16_t code, double x, double y, int size);
    // Bold text of the staff's text font with its "b" drawn as flats, top-left at (x, y).
    void flatText(const QString& text, double x, double y, int size);
    void add(const StaffMark& mark) { marks_.push_back(mark); }

private:
    std::vector<StaffMark>& marks_;
};

} // namespace orbel
