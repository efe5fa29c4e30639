#include "views/view_set.h"

#include "views/colour.h"
#include "views/music_glyphs.h"
#include "views/staff_view.h"

#include <algorithm>
#include <utility>

namespace orbel {

namespace {

namespace cursor {
// Bright green, which the XOR pen shows as magenta on white.
constexpr std::uint32_t Colour = 0x00FF00;
// From two line spacings below the bottom line to two above the top one.
constexpr double Below = 2;
constexpr double Above = 6;
} // namespace cursor

// What a change repaints around what it drew, in logical units.
namespace areas {
constexpr double CursorMargin = 60;
constexpr double KeyboardMargin = 600;
constexpr double CircleMargin = 1.4; // of the radius: the note names lie outside the disk
} // namespace areas

// While a guard lives, the surface draws without its outline copy.
class WithoutOutlines {
public:
    explicit WithoutOutlines(Surface& s) : s_(s), was_(s.keepOutlines()) { s.setKeepOutlines(false); }
    ~WithoutOutlines() { s_.setKeepOutlines(was_); }
    WithoutOutlines(const WithoutOutlines&) = delete;
    WithoutOutlines& operator=(const WithoutOutlines&) = delete;

private:
    Surface& s_;
    bool was_;
};

namespace tempo_mark {
constexpr double BlankAbove = 200; // the area of an earlier mark, blanked first
constexpr double BlankBelow = 400;
constexpr double BlankWidth = 3000;
constexpr double NoteAbove = 400;
constexpr double TextRight = 300;
constexpr int NoteSize = 26;
constexpr int TextSize = 16;
// Around what the mark drew, for the edges its letters are smoothed into (about a pixel).
constexpr double EdgeMargin = 20;
// The score line, under the mark.
constexpr double ScoreBelow = 600;
constexpr double ScoreWidth = 6500;
constexpr int ScoreSize = 12;
} // namespace tempo_mark

} // namespace

ViewSet::ViewSet(Repaint repaint) : repaint_(std::move(repaint)) {}

void ViewSet::resize(QSize pixels, double devicePixelRatio, double logicalWidth, double logicalHeight) {
    if (pixels.isEmpty() || logicalWidth <= 0 || logicalHeight <= 0) return;
    if (surface_ && pixels == pixels_ && devicePixelRatio == devicePixelRatio_ &&
        logicalWidth == logicalWidth_ && logicalHeight == logicalHeight_)
        return;
    pixels_ = pixels;
    devicePixelRatio_ = devicePixelRatio;
    logicalWidth_ = logicalWidth;
    logicalHeight_ = logicalHeight;
    surface_ = std::make_unique<Surface>(pixels, devicePixelRatio, logicalWidth, logicalHeight);
    redrawViews();
}

void ViewSet::showStaff(const StaffLayout& staff) {
    staff_ = std::make_unique<StaffLayout>(staff);
    redrawViews();
}

void ViewSet::show(const StaffLayout& staff, const KeyboardContent& keyboard, const CircleDiagram& circle) {
    staff_ = std::make_unique<StaffLayout>(staff);
    keyboard_.setContent(keyboard);
    circle_ = circle;
    redrawViews();
}

QSizeF ViewSet::degreeTextSize(int points) {
    // About the size of a digit of that many points, in twips, until there is a surface to measure on.
    constexpr double FallbackWidthShare = 0.5;
    if (!surface_) return {points * 20 * FallbackWidthShare, points * 20.0};
    surface_->SaveFormFont();
    surface_->SetFormFont(QStringLiteral("ＭＳ 明朝"), points, false, false);
    const QSizeF size(surface_->textWidth(QStringLiteral("4")), surface_->textHeight());
    surface_->RestoreFormFont();
    return size;
}

void ViewSet::keyboardChanged() {
    const KeyTable& keys = keyboard_.keys();
    repaint(QRectF(QPointF(keys[1].left - areas::KeyboardMargin, keys[1].top + areas::KeyboardMargin),
                   QPointF(keys[keyboard::KeyCount].right, keys[1].bottom - areas::KeyboardMargin))
                .normalized());
}

void ViewSet::circleChanged() {
    const double r = circle_.place.radius * areas::CircleMargin;
    repaint(QRectF(circle_.place.centreX - r, circle_.place.centreY - r, 2 * r, 2 * r));
}

std::optional<int> ViewSet::keyAt(double x, double y) const {
    if (!keyboard_.shown()) return std::nullopt;
    return KeyAt(keyboard_.keys(), x, y);
}

void ViewSet::pressKey(int key) {
    if (!surface_) return;
    keyboard_.DrawKeys(*surface_);
    keyboard_.PaintPressedKey(*surface_, key);
    keyboardChanged();
}

void ViewSet::CircleShowTick(int tick, bool first) {
    if (!surface_) return;
    // A scale's marker is a ring drawn by exclusive or, which no fill is bounded by; a pattern's marker is a
    // fill and needs the outlines.
    std::optional<WithoutOutlines> fast;
    if (circle_.content.studyType < 2) fast.emplace(*surface_);
    circleMarker_.show(*surface_, circle_, tick, first);
    circleChanged();
}

void ViewSet::CircleEndPlay() {
    if (!surface_) return;
    std::optional<WithoutOutlines> fast;
    if (circle_.content.studyType < 2) fast.emplace(*surface_);
    circleMarker_.end(*surface_, circle_);
    circleChanged();
}

void ViewSet::ShowPlayedKey(int tick) {
    if (!surface_) return;
    const WithoutOutlines fast(*surface_);
    keyboard_.ShowPlayedKey(*surface_, tick);
    keyboardChanged();
}

void ViewSet::EndPlayKeyboard() {
    if (!surface_) return;
    keyboard_.EndPlayKeyboard(*surface_);
    keyboardChanged();
}

void ViewSet::DrawKeys() {
    if (!surface_) return;
    keyboard_.DrawKeys(*surface_);
    keyboardChanged();
}

void ViewSet::drawCursor(const CursorLine& line) {
    const WithoutOutlines fast(*surface_);
    surface_->setXorPen(true);
    surface_->setForeColor(cursor::Colour);
    surface_->line(line.x, line.y1, line.x, line.y2);
    surface_->setXorPen(false);
}

void ViewSet::DrawTempoMark(double x, double y, int tempo, const QString& caption) {
    if (!surface_) return;
    Surface& s = *surface_;
    // The mark's box may cover more than an earlier mark (the keyboard's frame beside a phrase's circle).
    if (!tempoMark_) {
        // Generous: the letters of the text and the note reach out of the blanked box.
        const double reach = tempo_mark::NoteAbove * 3;
        underTempoMark_ = s.saveArea(
            QRectF(QPointF(x - reach, y - tempo_mark::BlankBelow - reach),
                   QPointF(x + tempo_mark::BlankWidth + reach, y + tempo_mark::BlankAbove + reach)));
    }
    s.SaveFormFont();
    s.setForeColor(bgr::White);
    s.box(x, y + tempo_mark::BlankAbove, x + tempo_mark::BlankWidth, y - tempo_mark::BlankBelow, true);
    // What the mark covers: the blanked box, and the cells of the note and of the text, whose letters reach
    // a little below it (y upward).
    QRectF covered(QPointF(x, y - tempo_mark::BlankBelow),
                   QPointF(x + tempo_mark::BlankWidth, y + tempo_mark::BlankAbove));
    const auto print = [&](double left, double top, const QString& text) {
        s.PrintTextFlat(left, top, text, bgr::Black);
        covered |= QRectF(QPointF(left, top - s.textHeight()), QPointF(left + s.textWidth(text), top));
    };
    s.SetFormFont(QStringLiteral("ZephMusicFont"), tempo_mark::NoteSize, false, false);
    print(x, y + tempo_mark::NoteAbove, QString(QChar(music_glyph::QuarterNoteUp)));
    s.SetFormFont(QStringLiteral("ＭＳ 明朝"), tempo_mark::TextSize, false, false);
    print(x + tempo_mark::TextRight, y, QStringLiteral("=%1  %2").arg(tempo).arg(caption));
    s.RestoreFormFont();
    const double m = tempo_mark::EdgeMargin;
    covered.adjust(-m, -m, m, m);
    tempoMark_ = tempoMark_ ? tempoMark_->united(covered) : covered;
    repaint(QRectF(x, y - tempo_mark::BlankBelow - tempo_mark::BlankAbove, tempo_mark::BlankWidth,
                   tempo_mark::BlankAbove + tempo_mark::BlankBelow + tempo_mark::NoteAbove * 3));
}

void ViewSet::EraseTempoMark() {
    if (!surface_ || !tempoMark_) return;
    const QRectF area = *std::exchange(tempoMark_, std::nullopt);
    const std::optional<SavedArea> under = std::exchange(underTempoMark_, std::nullopt);
    if (under && under->logical.normalized().contains(area.normalized())) {
        surface_->restoreArea(*under);
    } else {
        surface_->setForeColor(bgr::White);
        surface_->box(area.left(), area.top(), area.right(), area.bottom(), true);
    }
    repaint(area);
}

void ViewSet::DrawScoreLine(double x, double y, const QString& text) {
    if (!surface_) return;
    Surface& s = *surface_;
    const double top = y - tempo_mark::ScoreBelow;
    s.SaveFormFont();
    s.setForeColor(bgr::White);
    s.box(x, top + tempo_mark::BlankAbove, x + tempo_mark::ScoreWidth, top - tempo_mark::BlankBelow, true);
    s.SetFormFont(QStringLiteral("ＭＳ 明朝"), tempo_mark::ScoreSize, false, false);
    if (!text.isEmpty()) s.PrintTextFlat(x, top, text, bgr::Black);
    s.RestoreFormFont();
    repaint(QRectF(x, top - tempo_mark::BlankBelow, tempo_mark::ScoreWidth,
                   tempo_mark::BlankAbove + tempo_mark::BlankBelow));
}

void ViewSet::showUserKey(int pitch, bool right, bool down) {
    if (!surface_) return;
    if (down) {
        keyboard_.ShowUserKey(*surface_, pitch, right);
    } else {
        keyboard_.ClearUserKey(*surface_, pitch);
    }
    keyboardChanged();
}

void ViewSet::MovePlayCursor(int tick, bool first) {
    if (cursorObserver_) cursorObserver_(tick, first);
    if (!surface_ || !staff_ || staff_->marks.empty()) return;
    if (!first && cursor_) {
        drawCursor(*cursor_);
        repaintCursor(*cursor_);
    }
    // The entry that starts at tick, or the last one before it.
    const auto& starts = staff_->startTick;
    const auto after = std::upper_bound(starts.begin(), starts.end(), tick);
    if (after == starts.begin()) return;
    const auto entry = static_cast<std::size_t>(after - starts.begin() - 1);
    const double base = staff_->rowBase[entry];
    cursor_ = CursorLine{staff_->noteX[entry], base - cursor::Below * staff_geometry::LineSpacing,
                         base + cursor::Above * staff_geometry::LineSpacing};
    drawCursor(*cursor_);
    repaintCursor(*cursor_);
}

void ViewSet::HidePlayCursor() {
    if (!surface_ || !cursor_) return;
    drawCursor(*cursor_);
    repaintCursor(*cursor_);
    cursor_.reset();
}

void ViewSet::repaintCursor(const CursorLine& line) const {
    repaint(QRectF(line.x - areas::CursorMargin, line.y1, 2 * areas::CursorMargin, line.y2 - line.y1));
}

void ViewSet::redrawViews() {
    // A redraw leaves no cursor and no circle marker behind.
    cursor_.reset();
    tempoMark_.reset();
    underTempoMark_.reset();
    circleMarker_ = CirclePlayMarker{};
    if (surface_) {
        surface_->clear(bgr::White);
        if (staff_) PaintStaff(*surface_, *staff_);
        DrawCircleDiagram(*surface_, circle_.place, circle_.points, circle_.content);
        keyboard_.DrawKeyboard(*surface_);
        keyboard_.DrawKeyMarks(*surface_);
    }
    repaint();
}

} // namespace orbel
