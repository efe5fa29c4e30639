#include "ui/tour/tour_marker.h"

#include <QPainter>

namespace orbel {

namespace {
static constexpr int Diameter = 28;
static constexpr int RingWidth = 3;
} // namespace

TourMarker::TourMarker(QWidget* window) : QWidget(window) {
    setObjectName(QStringLiteral("Maru"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(Diameter, Diameter);
    hide();
}

void TourMarker::placeAt(QPoint inWindow) {
    move(inWindow - QPoint(Diameter / 2, Diameter / 2));
    raise();
}

void TourMarker::setFilled(bool filled) {
    filled_ = filled;
    update();
}

void TourMarker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::red, RingWidth));
    painter.setBrush(filled_ ? QBrush(Qt::red) : QBrush(Qt::NoBrush));
    painter.drawEllipse(QRectF(rect()).adjusted(RingWidth, RingWidth, -RingWidth, -RingWidth));
}

} // namespace orbel
