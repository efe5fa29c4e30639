#include "ui/control_map.h"

#include "datafiles/atomic_save.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace orbel {

namespace {

// Long enough for a layout to settle after a burst of moves; short next to a user's reaction.
constexpr int SettleMs = 40;

QString WindowName(const QWidget* window) {
    if (!window->objectName().isEmpty()) return window->objectName();
    return QString::fromLatin1(window->metaObject()->className());
}

// "window/control x y width height caption state", one line each, in screen pixels; the state says
// "checked", "unchecked" or nothing, then ",focus" where the keyboard's focus is and ",disabled".
QString Line(const QString& name, const QRect& r, const QString& caption, const QString& state = {}) {
    QString flat = caption;
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\t%7\n")
        .arg(name)
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .arg(flat, state);
}

QString State(const QWidget* w) {
    QString state;
    if (const auto* button = qobject_cast<const QAbstractButton*>(w);
        button != nullptr && button->isCheckable())
        state = button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
    if (w->hasFocus()) state += QStringLiteral(",focus");
    if (!w->isEnabled()) state += QStringLiteral(",disabled");
    return state;
}

QString Caption(const QWidget* w) {
    const QVariant text = w->property("text");
    if (text.isValid()) return text.toString();
    const QVariant title = w->property("title");
    if (title.isValid()) return title.toString();
    return w->windowTitle();
}

} // namespace

ControlMap::ControlMap(QString path) : path_(std::move(path)) {
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { write(); });
    qApp->installEventFilter(this);
}

bool ControlMap::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
    case QEvent::FocusIn:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonRelease:
    case QEvent::EnabledChange:
        if (watched->isWidgetType()) settle_.start();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ControlMap::write() const {
    QString text;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        const QString windowName = WindowName(window);
        const QRect frame = window->frameGeometry();
        text += Line(windowName, frame, window->windowTitle());
        for (QWidget* w : window->findChildren<QWidget*>()) {
            if (!w->isVisible()) continue;
            // Unnamed buttons (those of message boxes and standard dialogs) go by their class, for their
            // captions.
            QString name = w->objectName();
            if (name.isEmpty() && qobject_cast<QAbstractButton*>(w) != nullptr)
                name = QStringLiteral("#button");
            if (name.isEmpty()) continue;
            text += Line(windowName + QLatin1Char('/') + name, QRect(w->mapToGlobal(QPoint(0, 0)), w->size()),
                         Caption(w), State(w));
        }
        // The titles of the menu bar, by their menus' names.
        for (QMenuBar* bar : window->findChildren<QMenuBar*>()) {
            for (QAction* action : bar->actions()) {
                const QMenu* menu = action->menu();
                if (menu == nullptr || menu->objectName().isEmpty()) continue;
                const QRect r = bar->actionGeometry(action);
                text += Line(QStringLiteral("menubar/") + menu->objectName(),
                             QRect(bar->mapToGlobal(r.topLeft()), r.size()), action->text());
            }
        }
        // An open menu: its entries by their names, else their captions.
        if (auto* menu = qobject_cast<QMenu*>(window)) {
            for (QAction* action : menu->actions()) {
                if (action->isSeparator() || !action->isVisible()) continue;
                const QString name = action->objectName().isEmpty() ? action->text() : action->objectName();
                const QRect r = menu->actionGeometry(action);
                text += Line(QStringLiteral("menu/") + name, QRect(menu->mapToGlobal(r.topLeft()), r.size()),
                             action->text());
            }
        }
    }
    (void)WriteFileAtomic(path_, text.toUtf8());
}

} // namespace orbel
