#pragma once
// Keeps a top-level window, frame and all, on a rectangle of the screen. A window manager frames the window
// only once it is shown, and only then are the frame's margins known: the client area is given the
// rectangle less those margins when they first appear. Without a window manager the client fills the
// rectangle. Window thread.

#include <QMargins>
#include <QObject>
#include <QRect>

class QWidget;

namespace orbel {

class FrameFit : public QObject {
    Q_OBJECT

public:
    // Places window at once and follows it until its frame is known; ends itself then (or with window).
    FrameFit(QWidget& window, const QRect& frame);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();

    QWidget& window_;
    QRect frame_;
    QMargins margins_;
};

} // namespace orbel
