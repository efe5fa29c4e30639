#pragma once
// The practice window ("練習設定"): the tempo ramp, the check of what is played on a MIDI keyboard, and the
// chart of the session. Not modal: it stays open beside the main window while the music plays. Every
// change is saved at once.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QVBoxLayout;

namespace orbel {

class Practice;
class SessionChart;
struct RepetitionScore;

class frmPractice final : public QDialog {
    Q_OBJECT
public:
    frmPractice(Practice& practice, QWidget* parent = nullptr);

signals:
    // "開始テンポに戻す": the tempo the last ramp started from.
    void tempoReset(int tempo);

private:
    void buildRamp(QVBoxLayout& page);
    void buildCheck(QVBoxLayout& page);
    void buildChart(QVBoxLayout& page);
    // The controls from the practice settings, and back.
    void showSettings();
    void takeSettings();
    void fillInputs();
    void showInputStatus();
    void savePicture();
    void scored(const RepetitionScore& score);

    Practice& practice_;
    QCheckBox* rampOn_ = nullptr;
    QSpinBox* step_ = nullptr;
    QSpinBox* every_ = nullptr;
    QSpinBox* ceiling_ = nullptr;
    QCheckBox* restart_ = nullptr;
    QPushButton* reset_ = nullptr;
    QCheckBox* checkOn_ = nullptr;
    QComboBox* input_ = nullptr;
    QLabel* inputStatus_ = nullptr;
    QSpinBox* window_ = nullptr;
    QCheckBox* anyOctave_ = nullptr;
    QCheckBox* muteMelody_ = nullptr;
    SessionChart* chart_ = nullptr;
    QLabel* lastScore_ = nullptr;
    QLabel* problem_ = nullptr;
    bool showing_ = false;
};

} // namespace orbel
