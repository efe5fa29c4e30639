// The main window as the player's host: the play controls, the states of the controls while playing,
// the repetition label and the item selection of the play modes.

#include "ui/frm_main.h"

#include "sound/play_modes.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace orbel {

void frmMain::setPlayer(PlaySled& player, PlayModes& modes) {
    player_ = &player;
    modes_ = &modes;
    player.setHost(this);
    connectPlayControls();
}

void frmMain::connectPlayControls() {
    ControlPanel& c = *panel_;
    connect(c.Command5, &QPushButton::clicked, this, [this] {
        panel_->Command9->setEnabled(true);
        player_->PlayRepeated(ProgressionStep(state_.settings.RootProgression));
    });
    connect(c.Command9, &QPushButton::clicked, this, [this] { player_->Stop(); });
    connect(c.Command6, &QPushButton::clicked, this, [this] { player_->PlayOnce(); });
    connect(c.Command7, &QPushButton::clicked, this, [this] { player_->Metronome(); });

    const std::pair<const char*, void (PlayModes::*)()> items[] = {
        {"mnu_Play_this", &PlayModes::PlayThis},
        {"mnu_Play_all_jun", &PlayModes::PlayAllInOrder},
        {"mnu_Play_rnd", &PlayModes::PlayAllAtRandom},
        {"mnu_Play_Fav_jun", &PlayModes::PlayFavouritesInOrder},
        {"mnu_Play_Fav_rnd", &PlayModes::PlayFavouritesAtRandom},
        {"mnu_Play_stop", &PlayModes::Stop},
    };
    for (auto [name, action] : items) {
        QAction* item = playMenu_->findChild<QAction*>(QString::fromLatin1(name));
        if (!item) item = findChild<QAction*>(QString::fromLatin1(name));
        if (item) connect(item, &QAction::triggered, this, [this, action = action] { (modes_->*action)(); });
    }
}

void frmMain::setQuitAndReferenceEnabled(bool enabled) {
    panel_->Command1->setEnabled(enabled);
    panel_->Command2->setEnabled(enabled);
}

void frmMain::ShowRepeatLabel(const QString& label, int tempo) {
    QLabel* l = panel_->Label7;
    l->setText(QStringLiteral("♩ = %1   %2").arg(tempo).arg(label));
    l->adjustSize();
    l->move(qRound(scale_.xToPixel(scale_.logicalWidth * 0.02)),
            qRound(scale_.yToPixel(scale_.logicalHeight * 0.42)));
    l->show();
    l->raise();
}

void frmMain::hideRepeatLabel() {
    panel_->Label7->hide();
}

int frmMain::itemCount() const {
    return panel_->Combo1->count();
}

void frmMain::selectItem(int item) {
    if (item >= 0 && item < panel_->Combo1->count())
        selectEntry(panel_->Combo1, item, &frmMain::Combo1_Click);
}

void frmMain::redrawViews() {
    surface_->update();
}

void frmMain::MakeSound_Bot_show(bool isPlaying) {
    ControlPanel& c = *panel_;
    for (QWidget* w : std::initializer_list<QWidget*>{
             c.Command1, c.Command2, c.Command3, c.Command4, c.Command5, c.Command6, c.Command7, c.Command8,
             c.Combo1, c.Combo2, c.Combo3, c.Combo4, c.Combo5, c.Command11[0], c.Command11[1]})
        w->setEnabled(!isPlaying);
    c.Command9->setEnabled(isPlaying);
    c.Check2->setEnabled(!isPlaying);
    for (QRadioButton* option : c.Option1)
        option->setEnabled(!isPlaying);
    (isPlaying ? c.Command9 : c.Command5)->setFocus();
}

} // namespace orbel
