#include "ui/view_area.h"

#include "views/view_set.h"

#include <QPaintEvent>
#include <QPainter>

namespace orbel {

ViewArea::ViewArea(const ViewSet& views, QWidget* parent) : QWidget(parent), views_(views) {
    setObjectName(QStringLiteral("Surface"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
}

void ViewArea::paintEvent(QPaintEvent* event) {
    const Surface* surface = views_.surface();
    if (surface == nullptr) return;
    QPainter painter(this);
    // The picture carries its device pixel ratio: drawn at the origin it fills the area at full resolution.
    painter.drawImage(event->rect().topLeft(), surface->picture(),
                      QRectF(QPointF(event->rect().topLeft()) * surface->picture().devicePixelRatio(),
                             QSizeF(event->rect().size()) * surface->picture().devicePixelRatio()));
}

} // namespace orbel
