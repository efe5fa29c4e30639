#pragma once
// The controls of the main window: the study, play and sound frames of the
// right-hand column and the keyboard options above the keyboard view. The
// panel only builds and places them; the main window handles their events.

#include "app/study_session.h"
#include "ui/control_names.h"

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
    // Creates every control as a child of surface, each with the object name of its role (control_names.h).
    explicit ControlPanel(QWidget* surface);

    // Places the frames down the right edge (the third one reaching to y = 100)
    // and hides the last sound buttons when the column is too short for them.
    void layout(const LogicalScale& scale);

    QGroupBox* studyFrame;
    QGroupBox* playFrame;
    QGroupBox* soundFrame;

    // Study selection.
    QComboBox* studyTypeList;
    QComboBox* itemList;
    QLabel* keyModeLabel;
    QComboBox* keyModeList; // II–V–I key: major or minor
    QLabel* treatmentLabel;
    QComboBox* treatmentList; // V7 treatment
    QCheckBox* favouriteBox;  // shown for phrases in the first II–V–I row's place
    QCheckBox* upDownBox;     // shown for scales and chords in the same place
    QLabel* tempoLabel;
    QLineEdit* tempoBox;
    QScrollBar* tempoBar; // value() is the tempo; the fastest is at the top, where ▲ and top clicks go
    QCheckBox* swingBox;

    // Playing.
    QPushButton* playButton;
    QPushButton* stopButton;
    QCheckBox* repeatBox;
    QComboBox* repeatCountList;
    // By the root progression's number: semitone up, semitone down, fourth, same root.
    std::array<QRadioButton*, 4> progressionOptions;
    QPushButton* rootUpButton;   // a semitone
    QPushButton* rootDownButton; // a semitone
    QPushButton* octaveUpButton;
    QPushButton* octaveDownButton;
    QPushButton* practiceButton; // the practice window

    // Sound.
    QPushButton* switchesButton;
    QPushButton* metronomeButton;
    QPushButton* referenceBFlatButton;
    QPushButton* referenceAButton;
    QPushButton* playOnceButton; // sounds the item once
    QPushButton* quitButton;

    // Keyboard options, on the surface above the keyboard view.
    QCheckBox* keyboardRootBox; // the keyboard sets the root
    QCheckBox* concertPitchBox; // play at concert pitch
    QCheckBox* entryDisplayBox;

    // Repetition label, placed next to the circle diagram.
    QLabel* repeatLabel;
};

} // namespace orbel
