#pragma once
// The controls of the main window: the study, play and sound frames of the
// right-hand column and the keyboard options above the keyboard view. The
// panel only builds and places them; the main window handles their events.

#include "app/study_session.h"

#include <QObject>
#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QWidget;

namespace orbel {

struct LogicalScale;

struct ControlPanel {
    // Creates every control as a child of surface, named as the window's code names it.
    explicit ControlPanel(QWidget* surface);

    // Places the frames down the right edge (the third one reaching to y = 100)
    // and hides the last sound buttons when the column is too short for them.
    void layout(const LogicalScale& scale);

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;

    // Study selection (Frame1).
    QComboBox* Combo2; // study type
    QComboBox* Combo1; // item
    QLabel* Label4;
    QComboBox* Combo3; // II–V–I key
    QLabel* Label5;
    QComboBox* Combo4; // V7 treatment
    QCheckBox* Check8; // favourite, shown for phrases in the first II–V–I row's place
    QCheckBox* Check9; // up and down, shown for scales and chords in the same place
    QLabel* TempoLabel;
    QLineEdit* Text1;
    QScrollBar* VScroll1; // value() is the tempo; the fastest is at the top, where ▲ and top clicks go
    QCheckBox* Check6;    // swing

    // Playing (Frame2).
    QPushButton* Command5; // play
    QPushButton* Command9; // stop
    QCheckBox* Check2;     // repeat
    QComboBox* Combo5;     // repeat count
    std::array<QRadioButton*, 4> Option1;
    QPushButton* Command3;                 // semitone up
    QPushButton* Command4;                 // semitone down
    QPushButton* PracticeButton;           // the practice window
    std::array<QPushButton*, 2> Command11; // octave up, octave down

    // Sound (Frame3).
    QPushButton* Command10; // sound switches
    QPushButton* Command7;  // metronome
    QPushButton* Command2;  // reference B flat
    QPushButton* Command8;  // reference A
    QPushButton* Command6;  // sound the item once
    QPushButton* Command1;  // quit

    // Keyboard options, on the surface above the keyboard view.
    QCheckBox* Check1; // keyboard sets the root
    QCheckBox* Check3; // play at concert pitch
    QCheckBox* Check5; // entry display

    // Repetition label, placed next to the circle diagram.
    QLabel* Label7;
};

} // namespace orbel
