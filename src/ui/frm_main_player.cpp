// Window thread. The main window's side of playing: the play controls connected to the play controller,
// what it has the window show, and the practice window.

#include "ui/frm_main.h"

#include "sound/play_modes.h"
#include "sound/play_timing.h"
#include "ui/practice/frm_practice.h"
#include "ui/practice/practice.h"
#include "ui/practice/score_text.h"
#include "views/circle_view.h"
#include "views/view_set.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

namespace orbel {

void frmMain::setPlayer(BackgroundPlayer& player, LiveSettings& live) {
    play_->setPlayer(player, live);
    connectPlayControls();
}

void frmMain::setPractice(Practice& practice) {
    play_->setPractice(practice);
    connect(panel_->practiceButton, &QPushButton::clicked, this, &frmMain::openPractice);
    if (QAction* item = findChild<QAction*>(QStringLiteral("mnu_settei_practice")))
        connect(item, &QAction::triggered, this, &frmMain::openPractice);
    connect(&practice, &Practice::scored, this, &frmMain::showScore);
    connect(&practice, &Practice::keyPlayed, this, [this](int key, bool right, bool down) {
        // The keyboard view counts in the sequence's pitches: the key as it would have been sent.
        const Settings& s = state_.settings;
        views_->showUserKey(key - s.PitchBaseC - s.TransposeSemitones, right, down);
    });
    practice_ = &practice;
}

void frmMain::openPractice() {
    if (practice_ == nullptr) return;
    if (practiceWindow_ == nullptr) {
        practiceWindow_ = new frmPractice(*practice_, this);
        connect(practiceWindow_, &frmPractice::tempoReset, this,
                [this](int tempo) { panel_->tempoBar->setValue(tempo); });
    }
    practiceWindow_->show();
    practiceWindow_->raise();
    practiceWindow_->activateWindow();
}

LabelPosition frmMain::repeatLabelPosition() const {
    // Beside the circle diagram.
    const CirclePlace circle = CircleFor().place;
    return RepeatLabelPosition(static_cast<float>(circle.centreX), static_cast<float>(circle.centreY),
                               static_cast<float>(circle.radius), state_.settings.ShowKeyboard);
}

void frmMain::showScore(const RepetitionScore& score) {
    const LabelPosition at = repeatLabelPosition();
    views_->DrawScoreLine(at.x, at.y, ScoreLine(score));
}

void frmMain::connectPlayControls() {
    ControlPanel& c = *panel_;
    PlayController* play = play_.get();
    connect(c.playButton, &QPushButton::clicked, play, &PlayController::play);
    connect(c.stopButton, &QPushButton::clicked, play, &PlayController::stop);
    connect(c.playOnceButton, &QPushButton::clicked, play, &PlayController::playOnce);
    connect(c.metronomeButton, &QPushButton::clicked, play, &PlayController::metronome);

    const std::pair<const char*, void (PlayModes::*)()> items[] = {
        {"mnu_Play_this", &PlayModes::PlayThis},
        {"mnu_Play_all_jun", &PlayModes::PlayAllInOrder},
        {"mnu_Play_rnd", &PlayModes::PlayAllAtRandom},
        {"mnu_Play_Fav_jun", &PlayModes::PlayFavouritesInOrder},
        {"mnu_Play_Fav_rnd", &PlayModes::PlayFavouritesAtRandom},
    };
    for (auto [name, mode] : items) {
        QAction* item = menus_->playMenu()->findChild<QAction*>(QString::fromLatin1(name));
        if (!item) item = findChild<QAction*>(QString::fromLatin1(name));
        if (item) connect(item, &QAction::triggered, play, [play, mode = mode] { play->playMode(mode); });
    }
    if (QAction* stop = findChild<QAction*>(QStringLiteral("mnu_Play_stop")))
        connect(stop, &QAction::triggered, play, &PlayController::stop);
}

void frmMain::enableQuitAndReference(bool enabled) {
    panel_->quitButton->setEnabled(enabled);
    panel_->referenceBFlatButton->setEnabled(enabled);
}

void frmMain::showRepeatLabel(const QString& label, int tempo) {
    const LabelPosition at = repeatLabelPosition();
    views_->DrawTempoMark(at.x, at.y, tempo, label);
}

void frmMain::showTempo(int tempo) {
    panel_->tempoBar->setValue(tempo);
}

void frmMain::hideRepeatLabel() {
    panel_->repeatLabel->hide();
    views_->EraseTempoMark();
}

void frmMain::clearPlayedKeys() {
    views_->DrawKeys();
}

void frmMain::showPlaying(bool isPlaying) {
    ControlPanel& c = *panel_;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.quitButton, c.referenceBFlatButton, c.rootUpButton, c.rootDownButton, c.playButton,
             c.playOnceButton, c.metronomeButton, c.referenceAButton, c.itemList, c.studyTypeList,
             c.keyModeList, c.treatmentList, c.repeatCountList, c.octaveUpButton, c.octaveDownButton})
        w->setEnabled(!isPlaying);
    c.stopButton->setEnabled(isPlaying);
    c.repeatBox->setEnabled(!isPlaying);
    for (QRadioButton* option : c.progressionOptions)
        option->setEnabled(!isPlaying);
    (isPlaying ? c.stopButton : c.playButton)->setFocus();
}

} // namespace orbel
