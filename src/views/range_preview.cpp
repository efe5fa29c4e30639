#include "views/range_preview.h"

#include "theory/spelling.h"
#include "views/colour.h"
#include "views/music_glyphs.h"
#include "views/surface.h"

#include <algorithm>
#include <numbers>

namespace orbel {

namespace {

using namespace range_preview;

constexpr double LowHeadX = LineLength * 0.45 + Left;
constexpr double HighHeadX = LineLength * 0.8 + Left;
constexpr double HeadRadius = 0.35 * Spacing;
constexpr double HeadAspect = 0.8; // height to width, on the screen
constexpr double LedgerHalf = 1.1 * Spacing;
constexpr double SharpLeft = 1.2 * Spacing;
constexpr double Top = Base + 4 * Spacing;
// The music font at these sizes fits the staff's spacing; the clef's cell starts above the top line.
constexpr int ClefPoints = 9;
constexpr int SharpPoints = 7;
// The font puts an accidental's centre 4.29 staff spaces of its 22-point design (150 twips on an em of 440)
// below the top of the character cell, the same share of an em at any size: the sharp's cell begins that far
// above its head.
constexpr double AccidentalCentreEms = 4.29 * 150 / 440;
constexpr double SharpUp = AccidentalCentreEms * SharpPoints * surface_defaults::PointsToTwips;
constexpr double ClefCellTop = Base + 6.4 * Spacing;

const QString MusicFont = QStringLiteral("ZephMusicFont");

int clampPitch(int pitch) {
    return std::clamp(pitch, treble_staff::LowestPitch, treble_staff::HighestPitch);
}

PreviewHead headAt(double x, int pitch) {
    PreviewHead head;
    head.x = x;
    head.y = PreviewNoteY(pitch);
    head.sharp = PreviewSharp(pitch);
    for (double y = Top + Spacing; y <= head.y; y += Spacing)
        head.ledgers.push_back(y);
    for (double y = Base - Spacing; y >= head.y; y -= Spacing)
        head.ledgers.push_back(y);
    return head;
}

void drawHead(Surface& s, const PreviewHead& head) {
    // The outline keeps its round shape on the screen whatever the units' proportions.
    const double ry = HeadRadius * HeadAspect * s.xScale() / s.yScale();
    s.setForeColor(bgr::Black);
    s.arc(head.x, head.y, HeadRadius, ry, 0, 2 * std::numbers::pi);
    s.FloodFillForm(head.x, head.y, bgr::Black, bgr::Black);
    if (head.sharp) {
        s.SetFormFont(MusicFont, SharpPoints, false, false);
        s.PrintText(head.x - SharpLeft, head.y + SharpUp, QString(QChar(music_glyph::Sharp)), bgr::Black);
    }
    s.setForeColor(bgr::Black);
    for (double y : head.ledgers)
        s.line(head.x - LedgerHalf, y, head.x + LedgerHalf, y);
}

} // namespace

int SnapLowLimit(int pitch) {
    return std::clamp(pitch, LowLimitMin, LowLimitMax);
}

int SnapHighLimit(int pitch) {
    return std::clamp(pitch, HighLimitMin, HighLimitMax);
}

double PreviewNoteY(int pitch) {
    return Base + SpacesAboveBottomLine(Spell(clampPitch(pitch), false)) * Spacing;
}

bool PreviewSharp(int pitch) {
    return IsBlackKey(clampPitch(pitch));
}

RangePreviewPicture LayOutRangePreview(int low, int high) {
    return {headAt(LowHeadX, SnapLowLimit(low)), headAt(HighHeadX, SnapHighLimit(high))};
}

void DrawRangePreview(Surface& surface, const RangePreviewPicture& picture) {
    surface.clear(bgr::White);
    surface.setDrawWidth(1);
    surface.SetFormFont(MusicFont, ClefPoints, false, false);
    surface.PrintText(Left, ClefCellTop, QString(QChar(music_glyph::TrebleClef)), bgr::Black);
    drawHead(surface, picture.low);
    drawHead(surface, picture.high);
    surface.setForeColor(bgr::Black);
    for (int i = 0; i < 5; ++i)
        surface.line(Left, Base + Spacing * i, Left + LineLength, Base + Spacing * i);
}

} // namespace orbel
