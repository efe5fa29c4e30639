#pragma once
// The main window's single-key commands: Space plays or stops, P and Q move the root a semitone, F a
// fourth, U and D the tempo, M the metronome, S the item once; Ctrl+F8 the credits and Ctrl+F10 a fresh
// location file from its sample. They act in every window of the program, whatever control has the focus.
// Thread: the window's.

#include <QString>
#include <Qt>
#include <functional>

class QKeyEvent;
class QWidget;

namespace orbel {

struct ControlPanel;
class StudyController;

class KeyCommands {
public:
    // showAbout opens the credits.
    KeyCommands(ControlPanel& controls, StudyController& study, const QString& programFolder,
                std::function<void()> showAbout);

    // A key pressed with focus on the focused widget, seen before the widget gets it. A modal window or a
    // popup (a message, a file or colour chooser, an open list or menu) keeps its keys, except that Space
    // still stops the music, unless the focus is in a box for typed text. True when the key was a command.
    bool keyPressed(const QWidget& focus, const QKeyEvent& key);

private:
    // Runs the command of key, when it is one and its control can act now; true when it did.
    bool run(int key, Qt::KeyboardModifiers modifiers);

    ControlPanel& controls_;
    StudyController& study_;
    QString programFolder_;
    std::function<void()> showAbout_;
};

} // namespace orbel
