#include "ui/center_form.h"

#include "theory/numbers.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace orbel {

void CenterForm(QWidget& form) {
    QScreen* screen = form.screen();
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return; // no screen at all: nothing to centre on

    const QRect area = screen->geometry();
    const QSize size = form.frameGeometry().size();
    const int left = RoundHalfEven((area.width() - size.width()) / 2.0);
    const int top = RoundHalfEven((area.height() - size.height()) / 2.5);
    form.move(area.x() + left, area.y() + top);
}

} // namespace orbel
