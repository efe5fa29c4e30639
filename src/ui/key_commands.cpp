// The main window's single-key commands, and where they reach.
// Thread: the window's.

#include "ui/key_commands.h"

#include "app/study_session.h"
#include "datafiles/atomic_save.h"
#include "ui/control_panel.h"
#include "ui/study_controller.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QWidget>
#include <utility>

namespace orbel {

namespace {

// Where the window's key commands act. In every window of the program, whatever control has the focus: a
// check box or a button never takes Space. A modal window or a popup keeps its keys, but for Space's stop
// outside a box for typed text.
enum class KeyReach { All, StopOnly, None };
KeyReach KeyCommandsReach(const QWidget& focus) {
    const QWidget* window = focus.window();
    if (window->windowModality() == Qt::NonModal && window->windowType() != Qt::Popup) return KeyReach::All;
    return focus.testAttribute(Qt::WA_InputMethodEnabled) ? KeyReach::None : KeyReach::StopOnly;
}

} // namespace

KeyCommands::KeyCommands(ControlPanel& controls, StudyController& study, const QString& programFolder,
                         std::function<void()> showAbout)
    : controls_(controls), study_(study), programFolder_(programFolder), showAbout_(std::move(showAbout)) {}

bool KeyCommands::keyPressed(const QWidget& focus, const QKeyEvent& key) {
    switch (KeyCommandsReach(focus)) {
    case KeyReach::All:
        return run(key.key(), key.modifiers());
    case KeyReach::StopOnly:
        return key.key() == Qt::Key_Space && !controls_.playButton->isEnabled() &&
               run(key.key(), key.modifiers());
    case KeyReach::None:
        break;
    }
    return false;
}

bool KeyCommands::run(int key, Qt::KeyboardModifiers modifiers) {
    ControlPanel& c = controls_;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (ctrl && key == Qt::Key_F8) {
        showAbout_();
        return true;
    }
    if (ctrl && key == Qt::Key_F10) {
        CopyFileAtomic(programFolder_ + QStringLiteral("/location_org.txt"),
                       programFolder_ + QStringLiteral("/location.txt"));
        QApplication::beep();
        return true;
    }
    auto press = [](QPushButton* button) {
        if (!button->isEnabled()) return false;
        button->click();
        return true;
    };
    switch (key) {
    case Qt::Key_Space:
        return press(c.playButton) || press(c.stopButton);
    case Qt::Key_P:
        return press(c.rootUpButton);
    case Qt::Key_Q:
        return press(c.rootDownButton);
    case Qt::Key_F:
        if (!c.rootDownButton->isEnabled()) return false;
        study_.fourthUp();
        return true;
    case Qt::Key_U:
        if (c.tempoBar->value() >= tempo_range::Fastest) return false;
        c.tempoBar->setValue(c.tempoBar->value() + 1);
        return true;
    case Qt::Key_D:
        if (c.tempoBar->value() <= tempo_range::Slowest) return false;
        c.tempoBar->setValue(c.tempoBar->value() - 1);
        return true;
    case Qt::Key_M:
        return press(c.metronomeButton);
    case Qt::Key_S:
        if (!c.referenceBFlatButton->isEnabled()) return false;
        c.playOnceButton->click();
        return true;
    default:
        return false;
    }
}

} // namespace orbel
