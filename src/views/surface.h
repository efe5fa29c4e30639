#pragma once
// What every view draws on: a picture in the main window's logical units (about a twip each, x to the
// right from 0, y upward from 0 at the bottom edge), kept at the screen's device pixels so that lines, text
// and music glyphs are crisp on any screen. Text and shapes are antialiased; the XOR pen (for cursors that
// must vanish without a trace when drawn again) is not. A flat copy of the drawing, every line and shape
// drawn without antialiasing in its exact colour and no text, lets a flood fill find the edges of an area.

#include "views/flood_fill.h"

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class QPainter;

namespace orbel {

namespace surface_defaults {
static constexpr int PointsToTwips = 20;
} // namespace surface_defaults

// A font as the views choose it: face, size in points, bold, italic.
struct FormFont {
    QString name;
    int size = 0;
    bool bold = false;
    bool italic = false;
    bool operator==(const FormFont&) const = default;
};

// The pixels of an area of a surface, to put back later.
struct SavedArea {
    QRectF logical; // the area asked for
    QPoint at;      // its first device pixel
    QImage picture;
    QImage outlines;
};

class Surface {
public:
    // pixels: the area in device-independent pixels; devicePixelRatio: device pixels per one of them.
    Surface(QSize pixels, double devicePixelRatio, double logicalWidth, double logicalHeight);
    // Draws on painter instead, whose device spans `device` units for the logical area (a page of a PDF, an
    // SVG drawing): shapes and text stay vectors. There is no picture and no flood fill then.
    Surface(QPainter& painter, QSizeF device, double logicalWidth, double logicalHeight);

    // The picture in device pixels, its device pixel ratio set.
    const QImage& picture() const { return picture_; }
    double logicalWidth() const { return logicalWidth_; }
    double logicalHeight() const { return logicalHeight_; }
    // Where a logical point falls, in device pixels of the picture.
    QPointF toDevice(double x, double y) const;
    // Device pixels per logical unit, across and up.
    double xScale() const { return xScale_; }
    double yScale() const { return yScale_; }

    void clear(std::uint32_t bgr);

    // The pen: its colour (0x00BBGGRR), its width in pixels, and whether it draws by exclusive or.
    void setForeColor(std::uint32_t bgr) { foreColor_ = bgr; }
    std::uint32_t foreColor() const { return foreColor_; }
    void setDrawWidth(int pixels) { drawWidth_ = pixels; }
    int drawWidth() const { return drawWidth_; }
    void setXorPen(bool on) { xorPen_ = on; }
    // Whether drawing also goes to the outline copy that fills find their edges on. Marks that no fill
    // is ever bounded by (cursors, keys) leave it out and cost half as much.
    void setKeepOutlines(bool on) { keepOutlines_ = on; }
    bool keepOutlines() const { return keepOutlines_; }

    void line(double x1, double y1, double x2, double y2);
    // A crisp box is drawn without antialiasing: drawn again over itself it leaves the same pixels, where
    // the half-covered pixels along a smooth box's edges would darken at every repaint.
    void box(double x1, double y1, double x2, double y2, bool filled, bool crisp = false);
    // Part of an ellipse centred at (x, y) with half-axes rx across and ry up, from startAngle to endAngle
    // (radians, counter-clockwise from the positive x direction).
    void arc(double x, double y, double rx, double ry, double startAngle, double endAngle);
    // A filled circle of the given radius (logical units across) in the pen's colour, drawn round with the
    // pen's width.
    void disc(double x, double y, double radius);

    // The font of the views, and its one save slot. A size of 0 or less changes nothing.
    void SetFormFont(const QString& name, int size, bool bold, bool italic);
    void SaveFormFont();
    void RestoreFormFont();
    const FormFont& formFont() const { return font_; }
    // The width of text in the current font, and the height of a line of it, in logical units.
    double textWidth(const QString& text) const;
    double textHeight() const;

    // Text whose first character cell has its top-left corner at (x, y).
    void PrintText(double x, double y, const QString& text, std::uint32_t bgr);
    // As PrintText, every lower-case "b" drawn as a flat sign close to the letter before it.
    void PrintTextFlat(double x, double y, const QString& text, std::uint32_t bgr);

    // Fills the area around (x, y) bounded by outlines of the border colour, beneath any text and the
    // antialiased edges of lines (see flood_fill.h). The pen keeps the border colour afterwards. undo, when
    // given, receives what changed.
    void FloodFillForm(double x, double y, std::uint32_t border, std::uint32_t fill,
                       FillUndo* undo = nullptr);
    // Takes a fill back where nothing has been drawn since.
    void UndoFill(const FillUndo& undo);
    // What is in an area now (every device pixel it touches), and putting it back as it was.
    SavedArea saveArea(const QRectF& logical) const;
    void restoreArea(const SavedArea& saved);

private:
    // Runs paint on the picture (antialiased unless the pen is XOR) and, for an outline, on the outline
    // copy (never antialiased).
    void draw(const std::function<void(QPainter&)>& paint, bool outline = true);
    QFont qtFont() const;
    // Pen widths are in pixels of the screen: device units per such pixel.
    double penScale() const;

    double logicalWidth_;
    double logicalHeight_;
    double xScale_;
    double yScale_;
    QImage picture_;
    QImage outlines_;
    QPainter* external_ = nullptr;
    std::uint32_t foreColor_ = 0;
    int drawWidth_ = 1;
    bool xorPen_ = false;
    bool keepOutlines_ = true;
    FormFont font_;
    std::optional<FormFont> saved_;
};

// A two-tone frame of pen width 2: light top and left edges and dark right and bottom ones when raised,
// the other way round when sunk (y1 below y2 on the upward scale).
void DrawBevelBox(Surface& surface, int x1, int y1, int x2, int y2, bool raised);

} // namespace orbel
