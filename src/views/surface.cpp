#include "views/surface.h"

#include "views/colour.h"
#include "views/flat_text.h"
#include "views/flood_fill.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <cmath>
#include <numbers>
#include <utility>

namespace orbel {

namespace {

constexpr int BevelWidth = 2;

} // namespace

Surface::Surface(QSize pixels, double devicePixelRatio, double logicalWidth, double logicalHeight)
    : logicalWidth_(logicalWidth), logicalHeight_(logicalHeight) {
    const QSize device(std::max(1, static_cast<int>(std::lround(pixels.width() * devicePixelRatio))),
                       std::max(1, static_cast<int>(std::lround(pixels.height() * devicePixelRatio))));
    xScale_ = device.width() / logicalWidth;
    yScale_ = device.height() / logicalHeight;
    picture_ = QImage(device, QImage::Format_RGB32);
    outlines_ = QImage(device, QImage::Format_RGB32);
    clear(bgr::White);
    picture_.setDevicePixelRatio(devicePixelRatio);
}

Surface::Surface(QPainter& painter, QSizeF device, double logicalWidth, double logicalHeight)
    : logicalWidth_(logicalWidth), logicalHeight_(logicalHeight), xScale_(device.width() / logicalWidth),
      yScale_(device.height() / logicalHeight), picture_(1, 1, QImage::Format_RGB32), external_(&painter) {}

double Surface::penScale() const {
    // On a picture, a pixel of the screen is devicePixelRatio device pixels; elsewhere the staff keeps the
    // proportions it has on a screen of 15 logical units (twips) a pixel.
    constexpr double TwipsPerScreenPixel = 15;
    return external_ != nullptr ? TwipsPerScreenPixel * yScale_ : picture_.devicePixelRatio();
}

QPointF Surface::toDevice(double x, double y) const {
    return {x * xScale_, (logicalHeight_ - y) * yScale_};
}

void Surface::clear(std::uint32_t bgr) {
    if (external_ != nullptr) {
        external_->fillRect(QRectF(0, 0, logicalWidth_ * xScale_, logicalHeight_ * yScale_), FromBgr(bgr));
        return;
    }
    picture_.fill(FromBgr(bgr));
    outlines_.fill(FromBgr(bgr));
}

void Surface::draw(const std::function<void(QPainter&)>& paint, bool outline) {
    if (external_ != nullptr) {
        external_->save();
        external_->setRenderHint(QPainter::Antialiasing, true);
        external_->setRenderHint(QPainter::TextAntialiasing, true);
        paint(*external_);
        external_->restore();
        return;
    }
    // The painter works in device pixels: the picture's ratio would otherwise scale everything again.
    const double ratio = picture_.devicePixelRatio();
    picture_.setDevicePixelRatio(1);
    for (QImage* target : {&picture_, &outlines_}) {
        if (target == &outlines_ && (!keepOutlines_ || !outline)) continue;
        QPainter painter(target);
        const bool flat = target == &outlines_;
        painter.setRenderHint(QPainter::Antialiasing, !flat && !xorPen_);
        painter.setRenderHint(QPainter::TextAntialiasing, !flat && !xorPen_);
        if (xorPen_) painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        paint(painter);
    }
    picture_.setDevicePixelRatio(ratio);
}

void Surface::line(double x1, double y1, double x2, double y2) {
    const QPointF a = toDevice(x1, y1);
    const QPointF b = toDevice(x2, y2);
    const QColor colour = FromBgr(foreColor_);
    const double width = drawWidth_ * penScale();
    draw([&](QPainter& p) {
        QPen pen(colour, width);
        pen.setCapStyle(Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(a, b);
    });
}

void Surface::box(double x1, double y1, double x2, double y2, bool filled, bool crisp) {
    const QRectF rect = QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized();
    const QColor colour = FromBgr(foreColor_);
    const double width = drawWidth_ * penScale();
    draw([&](QPainter& p) {
        if (crisp) p.setRenderHint(QPainter::Antialiasing, false);
        if (filled) {
            p.fillRect(rect, colour);
        } else {
            p.setPen(QPen(colour, width));
            p.drawRect(rect);
        }
    });
}

void Surface::arc(double x, double y, double rx, double ry, double startAngle, double endAngle) {
    const QPointF centre = toDevice(x, y);
    const QRectF rect(centre.x() - rx * xScale_, centre.y() - ry * yScale_, 2 * rx * xScale_,
                      2 * ry * yScale_);
    constexpr double SixteenthsPerRadian = 16 * 180 / std::numbers::pi;
    const int start = static_cast<int>(std::lround(startAngle * SixteenthsPerRadian));
    const int span = static_cast<int>(std::lround((endAngle - startAngle) * SixteenthsPerRadian));
    const QColor colour = FromBgr(foreColor_);
    const double width = drawWidth_ * penScale();
    draw([&](QPainter& p) {
        p.setPen(QPen(colour, width));
        p.drawArc(rect, start, span);
    });
}

void Surface::disc(double x, double y, double radius) {
    const QPointF centre = toDevice(x, y);
    // The pen draws round the circle as well: a disc far smaller than a pixel is still as wide as the pen.
    const double r = radius * xScale_ + drawWidth_ * penScale() / 2;
    const QColor colour = FromBgr(foreColor_);
    draw([&](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(centre, r, r);
    });
}

void Surface::SetFormFont(const QString& name, int size, bool bold, bool italic) {
    if (size <= 0) return;
    font_ = {name, size, bold, italic};
}

void Surface::SaveFormFont() {
    saved_ = font_;
}

void Surface::RestoreFormFont() {
    if (saved_) font_ = *saved_;
}

QFont Surface::qtFont() const {
    QFont font(font_.name);
    // A point is 20 logical units, so text keeps its size against the drawing whatever the screen.
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(font_.size * surface_defaults::PointsToTwips * yScale_))));
    font.setBold(font_.bold);
    font.setItalic(font_.italic);
    return font;
}

double Surface::textWidth(const QString& text) const {
    const QPaintDevice* device = external_ != nullptr ? external_->device() : &picture_;
    return QFontMetricsF(qtFont(), device).horizontalAdvance(text) / xScale_;
}

double Surface::textHeight() const {
    const QPaintDevice* device = external_ != nullptr ? external_->device() : &picture_;
    return QFontMetricsF(qtFont(), device).height() / yScale_;
}

void Surface::PrintText(double x, double y, const QString& text, std::uint32_t bgr) {
    foreColor_ = bgr;
    const QFont font = qtFont();
    const QPointF top = toDevice(x, y);
    const QPaintDevice* device = external_ != nullptr ? external_->device() : &picture_;
    const QPointF baseline(top.x(), top.y() + QFontMetricsF(font, device).ascent());
    const QColor colour = FromBgr(bgr);
    // Text stays out of the outline copy: a fill passes beneath a label and keeps its ink.
    draw(
        [&](QPainter& p) {
            p.setFont(font);
            p.setPen(colour);
            p.drawText(baseline, text);
        },
        false);
}

void Surface::PrintTextFlat(double x, double y, const QString& text, std::uint32_t bgr) {
    for (const TextPiece& piece : LayOutFlatText(x, text, [this](const QString& s) { return textWidth(s); }))
        PrintText(piece.x, y, piece.text, bgr);
}

void Surface::FloodFillForm(double x, double y, std::uint32_t border, std::uint32_t fill, FillUndo* undo) {
    foreColor_ = border;
    if (external_ != nullptr) return;
    const QPointF at = toDevice(x, y);
    const double ratio = picture_.devicePixelRatio();
    picture_.setDevicePixelRatio(1);
    FloodFillOutlined(outlines_, picture_,
                      QPoint(static_cast<int>(std::floor(at.x())), static_cast<int>(std::floor(at.y()))),
                      FromBgr(border).rgb(), FromBgr(fill).rgb(), undo);
    picture_.setDevicePixelRatio(ratio);
}

void Surface::UndoFill(const FillUndo& undo) {
    if (external_ != nullptr) return;
    const double ratio = picture_.devicePixelRatio();
    picture_.setDevicePixelRatio(1);
    orbel::UndoFill(outlines_, picture_, undo);
    picture_.setDevicePixelRatio(ratio);
}

void DrawBevelBox(Surface& surface, int x1, int y1, int x2, int y2, bool raised) {
    const std::uint32_t light = raised ? bgr::White : bgr::Black;
    const std::uint32_t dark = raised ? bgr::Black : bgr::White;
    const int width = surface.drawWidth();
    surface.setDrawWidth(BevelWidth);
    const struct {
        int ax, ay, bx, by;
        std::uint32_t colour;
    } edges[] = {
        {x1, y2, x2, y2, light}, {x2, y2, x2, y1, dark}, {x2, y1, x1, y1, dark}, {x1, y1, x1, y2, light}};
    for (const auto& e : edges) {
        surface.setForeColor(e.colour);
        surface.line(e.ax, e.ay, e.bx, e.by);
    }
    surface.setDrawWidth(width);
}

} // namespace orbel

namespace orbel {

SavedArea Surface::saveArea(const QRectF& logical) const {
    const QRect pixels =
        QRectF(toDevice(logical.left(), logical.top()), toDevice(logical.right(), logical.bottom()))
            .normalized()
            .toAlignedRect() &
        picture_.rect();
    if (external_ != nullptr || pixels.isEmpty()) return {logical, {}, {}, {}};
    return {logical, pixels.topLeft(), picture_.copy(pixels), outlines_.copy(pixels)};
}

void Surface::restoreArea(const SavedArea& saved) {
    if (external_ != nullptr || saved.picture.isNull()) return;
    const double ratio = picture_.devicePixelRatio();
    picture_.setDevicePixelRatio(1);
    for (auto [target, source] :
         {std::pair{&picture_, &saved.picture}, std::pair{&outlines_, &saved.outlines}}) {
        QPainter painter(target);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(saved.at, *source);
    }
    picture_.setDevicePixelRatio(ratio);
}

} // namespace orbel
