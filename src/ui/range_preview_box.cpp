#include "ui/range_preview_box.h"

#include <QEvent>
#include <QPainter>

namespace orbel {

namespace {
static constexpr QSize PreferredSize(180, 270);
// Switched off, the preview is veiled rather than hidden: the limits stay readable.
static constexpr int VeilAlpha = 150;
} // namespace

RangePreviewBox::RangePreviewBox(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Pict1"));
    setFixedSize(PreferredSize);
    picture_ = LayOutRangePreview(range_preview::LowLimitMin, range_preview::HighLimitMax);
}

RangePreviewBox::~RangePreviewBox() = default;

void RangePreviewBox::Drowgosen(int low, int high) {
    picture_ = LayOutRangePreview(low, high);
    redraw();
}

void RangePreviewBox::redraw() {
    surface_ =
        std::make_unique<Surface>(size(), devicePixelRatioF(), range_preview::Width, range_preview::Height);
    DrawRangePreview(*surface_, picture_);
    update();
}

void RangePreviewBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    redraw();
}

void RangePreviewBox::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) update();
}

void RangePreviewBox::paintEvent(QPaintEvent*) {
    if (!surface_) return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), surface_->picture());
    if (!isEnabled()) painter.fillRect(rect(), QColor(255, 255, 255, VeilAlpha));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace orbel
