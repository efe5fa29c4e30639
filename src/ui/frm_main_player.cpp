// The main window's side of playing: the play controls connected to the play controller, and the practice
// window.
// Thread: the window's.

#include "ui/frm_main.h"

#include "sound/play_modes.h"
#include "ui/play_display.h"
#include "ui/practice/frm_practice.h"
#include "ui/practice/practice.h"
#include "views/view_set.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>

namespace orbel {

void frmMain::setPlayer(PlayerChannel& player) {
    play_->setPlayer(player);
    connectPlayControls();
}

void frmMain::setPractice(Practice& practice) {
    play_->setPractice(practice);
    connect(panel_->practiceButton, &QPushButton::clicked, this, &frmMain::openPractice);
    if (QAction* item = findChild<QAction*>(QStringLiteral("mnu_settei_practice")))
        connect(item, &QAction::triggered, this, &frmMain::openPractice);
    connect(&practice, &Practice::scored, this,
            [this](const RepetitionScore& score) { playDisplay_->showScore(score); });
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

} // namespace orbel
