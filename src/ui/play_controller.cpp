#include "ui/play_controller.h"

#include "app/program_state.h"
#include "app/prompter.h"
#include "sound/play_modes.h"
#include "sound/play_sled.h"
#include "sound/play_timing.h"
#include "sound/player_channel.h"
#include "ui/practice/practice.h"
#include "ui/study_controller.h"
#include "ui/tempo_entry.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>

namespace orbel {

PlayController::PlayController(ProgramState& state, Prompter& prompter, StudyController& study,
                               PlayScreen& screen, QObject& context)
    : state_(state), prompter_(prompter), study_(study), screen_(screen), context_(context) {}

void PlayController::setPlayer(PlayerChannel& player) {
    player_ = &player;
    study_.setPlayer(&player);
    publishLive();
    // Whatever a handler changed reaches the player once the window has handled its events, nested loops
    // of menus and message boxes included.
    if (auto* dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &PlayController::publishLive);
}

void PlayController::stopAndWait() {
    if (player_ != nullptr) player_->stopAndWait();
}

void PlayController::waitForPlayer() {
    stopAndWait();
    QCoreApplication::sendPostedEvents(&context_, QEvent::MetaCall);
}

bool PlayController::playerBusy() const {
    return player_ != nullptr && player_->busy();
}

void PlayController::publishLive() {
    if (player_ != nullptr) player_->settings(state_.settings);
}

void PlayController::startPlayer(std::function<void(PlaySled&, PlayModes&)> action) {
    if (player_ == nullptr) return;
    // Only the play button ramps and checks: every action starts without.
    player_->play(state_, [action = std::move(action)](PlaySled& sled, PlayModes& modes) {
        sled.setTempoRamp(std::nullopt);
        sled.setPracticeListener(nullptr);
        action(sled, modes);
    });
}

void PlayController::play() {
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
}

void PlayController::stop() {
    if (player_ != nullptr) player_->stop();
    MakeSound_Bot_show(false);
    hideRepeatLabel();
    screen_.clearPlayedKeys();
}

void PlayController::playOnce() {
    setQuitAndReferenceEnabled(false);
    startPlayer([](PlaySled& sled, PlayModes&) { sled.PlayOnce(); });
}

void PlayController::metronome() {
    MakeSound_Bot_show(true);
    startPlayer([](PlaySled& sled, PlayModes&) { sled.Metronome(); });
}

void PlayController::playMode(void (PlayModes::*mode)()) {
    startPlayer([mode](PlaySled&, PlayModes& modes) { (modes.*mode)(); });
}

void PlayController::tempoChosen(int tempo) {
    if (player_ != nullptr && !followingRamp_) player_->tempo(tempo);
}

int PlayController::tempoTyped(const QString& text) {
    // A typed tempo applies when the box is left or Enter is pressed, kept inside the bar's range; a box
    // without a number changes nothing.
    const int tempo = TypedTempo(text, state_.settings.Tempo);
    if (player_ != nullptr) player_->tempo(tempo);
    return tempo;
}

void PlayController::MakeSound_Bot_show(bool isPlaying) {
    if (practice_ != nullptr) practice_->playing(isPlaying);
    screen_.showPlaying(isPlaying);
}

void PlayController::setQuitAndReferenceEnabled(bool enabled) {
    screen_.enableQuitAndReference(enabled);
}

void PlayController::ShowRepeatLabel(const QString& label, int tempo) {
    screen_.showRepeatLabel(label, tempo);
}

void PlayController::hideRepeatLabel() {
    screen_.hideRepeatLabel();
}

void PlayController::studyChanged(const StudyChange& change) {
    study_.showChange(change);
}

void PlayController::tempoRamped(int tempo) {
    // The bar and its text follow the ramp, without the tempo they show being taken for the user's.
    followingRamp_ = true;
    screen_.showTempo(tempo);
    followingRamp_ = false;
}

void PlayController::tellUser(const QString& text) {
    prompter_.message(text);
}

} // namespace orbel
