#pragma once
// The sound settings window: instrument and volume of the melody, the chord instrument, the bass and the
// click, each with a test; the transposition of a transposing instrument, the note of the lowest C, the
// tempo, the swing level, and the pitch range the played material is kept in, shown on a small staff.
// The window edits a copy of the settings, taken as it opens. Lists, sliders and swing act at once: each
// change goes from the copy to the settings model as it is made, so that a performance hears it. The boxes
// and the range stay in the copy until OK, which commits them to the model and saves the settings. Cancel
// drops the copy and puts back what acted at once. Not modal: the music and the main window go on.

#include "app/settings_model.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;

namespace orbel {

class Midi1;
class RangePreviewBox;
class SoundTestRunner;

class settei : public QDialog {
    Q_OBJECT

public:
    struct Hooks {
        std::function<void()> save;    // writes the settings file
        std::function<void()> applied; // after OK: sounds and sequence follow the new settings
    };
    // model and midi must outlive the window.
    settei(SettingsModel& model, Midi1& midi, Hooks hooks, QWidget* parent = nullptr);
    ~settei() override;

    // Shows the window and draws the range preview.
    void start();

    void Command1_Click(); // OK
    void Command2_Click(); // キャンセル
    RangePreviewBox& preview() { return *Pict1; }

    void reject() override;
    // Closes the window with what it changed at once left in force (the tour shows a choice this way).
    void closeKeepingChanges();

private:
    void Form_Load();
    void Check2_Click();
    void Drowgosen();

    // A change that acts at once: into the copy, and on to the model.
    void changeNow(std::int16_t Settings::*field, int value);

    SettingsModel& model_;
    Midi1& midi_;
    Hooks hooks_;
    // The copy the window edits.
    Settings draft_;
    // The settings as the window opened: Cancel puts back what acted at once.
    Settings opened_;
    bool finished_ = false;
    SoundTestRunner* tests_ = nullptr;

    QComboBox* Combo1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo3 = nullptr;
    QComboBox* Combo4 = nullptr;
    std::array<QSlider*, 4> Slider1{};
    std::array<QRadioButton*, 3> Option1{};
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QScrollBar* VScroll2 = nullptr;
    QLabel* LowLabel = nullptr;
    QLabel* HighLabel = nullptr;
    RangePreviewBox* Pict1 = nullptr;
};

} // namespace orbel
