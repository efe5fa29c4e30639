#include "ui/frame_fit.h"

#include <QEvent>
#include <QWidget>

namespace orbel {

FrameFit::FrameFit(QWidget& window, const QRect& frame) : QObject(&window), window_(window), frame_(frame) {
    window_.setGeometry(frame_);
    window_.installEventFilter(this);
}

bool FrameFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
        case QEvent::UpdateRequest:
        case QEvent::Paint:
            fit();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FrameFit::fit() {
    const QRect client = window_.geometry();
    const QRect frame = window_.frameGeometry();
    const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                           frame.right() - client.right(), frame.bottom() - client.bottom());
    if (margins.isNull() || margins == margins_) return;
    margins_ = margins;
    window_.setGeometry(frame_.marginsRemoved(margins));
    // The frame is known and the window fits: from now on it goes where the user puts it.
    window_.removeEventFilter(this);
    deleteLater();
}

} // namespace orbel
