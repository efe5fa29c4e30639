// The main window and the player: the play controls start actions on the player's thread, and the player's
// notifications come back here (the states of the controls, the repetition label, the study it moved to).

#include "ui/frm_main.h"

#include "app/prompter.h"
#include "sound/background_player.h"
#include "sound/live_settings.h"
#include "sound/play_modes.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "ui/practice/frm_practice.h"
#include "ui/practice/practice.h"
#include "ui/practice/score_text.h"
#include "views/circle_view.h"
#include "views/view_set.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace orbel {

void frmMain::setPlayer(BackgroundPlayer& player, LiveSettings& live) {
    player_ = &player;
    live_ = &live;
    study_->setLive(&live);
    publishLive();
    // Whatever a handler changed reaches the player once the window has handled its events, nested loops
    // of menus and message boxes included.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &frmMain::publishLive);
    connectPlayControls();
}

void frmMain::waitForPlayer() {
    if (player_ != nullptr) player_->stopAndWait();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

bool frmMain::playerBusy() const {
    return player_ != nullptr && player_->busy();
}

void frmMain::publishLive() {
    if (live_ != nullptr) live_->publish(state_.settings);
}

void frmMain::startPlayer(std::function<void(PlaySled&, PlayModes&)> action) {
    if (player_ == nullptr) return;
    publishLive();
    // Only the play button ramps and checks: every action starts without.
    player_->start(state_, [action = std::move(action)](PlaySled& sled, PlayModes& modes) {
        sled.setTempoRamp(std::nullopt);
        sled.setPracticeListener(nullptr);
        action(sled, modes);
    });
}

void frmMain::setPractice(Practice& practice) {
    practice_ = &practice;
    connect(panel_->practiceButton, &QPushButton::clicked, this, &frmMain::openPractice);
    if (QAction* item = findChild<QAction*>(QStringLiteral("mnu_settei_practice")))
        connect(item, &QAction::triggered, this, &frmMain::openPractice);
    connect(&practice, &Practice::scored, this, &frmMain::showScore);
    connect(&practice, &Practice::keyPlayed, this, [this](int key, bool right, bool down) {
        // The keyboard view counts in the sequence's pitches: the key as it would have been sent.
        const Settings& s = state_.settings;
        views_->showUserKey(key - s.PitchBaseC - s.TransposeSemitones, right, down);
    });
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

void frmMain::showScore(const RepetitionScore& score) {
    const CirclePlace circle = CircleFor().place;
    const LabelPosition at =
        RepeatLabelPosition(static_cast<float>(circle.centreX), static_cast<float>(circle.centreY),
                            static_cast<float>(circle.radius), state_.settings.ShowKeyboard);
    views_->DrawScoreLine(at.x, at.y, ScoreLine(score));
}

void frmMain::Stop() {
    if (player_ != nullptr) player_->requestStop();
    MakeSound_Bot_show(false);
    hideRepeatLabel();
    views_->DrawKeys();
}

void frmMain::connectPlayControls() {
    ControlPanel& c = *panel_;
    connect(c.playButton, &QPushButton::clicked, this, [this] {
        // The controls are set at once, so that nothing can start a second play before the player says so.
        MakeSound_Bot_show(true);
        const int step = ProgressionStep(state_.settings.RootProgression);
        std::optional<TempoRamp> ramp;
        PracticeListener* listener = nullptr;
        if (practice_ != nullptr) {
            ramp = practice_->rampFor(state_.settings.Tempo);
            listener = practice_->listener();
        }
        const auto repeats = playButtonPlaysOnce_ ? PlaySled::Repeats::Once : PlaySled::Repeats::AsSet;
        startPlayer([step, ramp, listener, repeats](PlaySled& sled, PlayModes&) {
            sled.setTempoRamp(ramp);
            sled.setPracticeListener(listener);
            sled.PlayRepeated(step, repeats);
        });
    });
    connect(c.stopButton, &QPushButton::clicked, this, [this] { Stop(); });
    connect(c.playOnceButton, &QPushButton::clicked, this, [this] {
        setQuitAndReferenceEnabled(false);
        startPlayer([](PlaySled& sled, PlayModes&) { sled.PlayOnce(); });
    });
    connect(c.metronomeButton, &QPushButton::clicked, this, [this] {
        MakeSound_Bot_show(true);
        startPlayer([](PlaySled& sled, PlayModes&) { sled.Metronome(); });
    });

    const std::pair<const char*, void (PlayModes::*)()> items[] = {
        {"mnu_Play_this", &PlayModes::PlayThis},
        {"mnu_Play_all_jun", &PlayModes::PlayAllInOrder},
        {"mnu_Play_rnd", &PlayModes::PlayAllAtRandom},
        {"mnu_Play_Fav_jun", &PlayModes::PlayFavouritesInOrder},
        {"mnu_Play_Fav_rnd", &PlayModes::PlayFavouritesAtRandom},
    };
    for (auto [name, action] : items) {
        QAction* item = playMenu_->findChild<QAction*>(QString::fromLatin1(name));
        if (!item) item = findChild<QAction*>(QString::fromLatin1(name));
        if (item)
            connect(item, &QAction::triggered, this, [this, action = action] {
                startPlayer([action](PlaySled&, PlayModes& modes) { (modes.*action)(); });
            });
    }
    if (QAction* stop = findChild<QAction*>(QStringLiteral("mnu_Play_stop")))
        connect(stop, &QAction::triggered, this, [this] { Stop(); });
}

void frmMain::setQuitAndReferenceEnabled(bool enabled) {
    panel_->quitButton->setEnabled(enabled);
    panel_->referenceBFlatButton->setEnabled(enabled);
}

void frmMain::ShowRepeatLabel(const QString& label, int tempo) {
    // Beside the circle diagram.
    const CirclePlace circle = CircleFor().place;
    const LabelPosition at =
        RepeatLabelPosition(static_cast<float>(circle.centreX), static_cast<float>(circle.centreY),
                            static_cast<float>(circle.radius), state_.settings.ShowKeyboard);
    views_->DrawTempoMark(at.x, at.y, tempo, label);
}

void frmMain::tempoRamped(int tempo) {
    // The bar and its text follow the ramp, without the tempo they show being taken for the user's.
    followingRamp_ = true;
    panel_->tempoBar->setValue(tempo);
    followingRamp_ = false;
}

void frmMain::hideRepeatLabel() {
    panel_->repeatLabel->hide();
    views_->EraseTempoMark();
}

void frmMain::studyChanged(const StudyChange& change) {
    study_->showChange(change);
}

void frmMain::tellUser(const QString& text) {
    prompter_.message(text);
}

void frmMain::MakeSound_Bot_show(bool isPlaying) {
    if (practice_ != nullptr) practice_->playing(isPlaying);
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
