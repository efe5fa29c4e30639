#pragma once
// Window thread. The play actions behind the main window: it starts them on the player's thread, stops
// them, hands the settings that act while playing to the player and hears the player's notifications
// (through QueuedPlayerEvents, on this thread). It owns no widget: the window forwards the user's presses
// here and shows what it is told through PlayScreen.

#include "sound/player_events.h"

#include <QObject>
#include <functional>

namespace orbel {

struct ProgramState;
class PlayerChannel;
class PlayModes;
class PlaySled;
class Practice;
class Prompter;
class StudyController;

// What the play controller has the window show.
class PlayScreen {
public:
    PlayScreen() = default;
    virtual ~PlayScreen() = default;
    PlayScreen(const PlayScreen&) = delete;
    PlayScreen& operator=(const PlayScreen&) = delete;

    // The controls in the playing or the idle state.
    virtual void showPlaying(bool isPlaying) = 0;
    // Quit and the B flat reference tone: the only controls the single plays disable.
    virtual void enableQuitAndReference(bool enabled) = 0;
    // The repetition label with the tempo mark beside the circle, and its removal.
    virtual void showRepeatLabel(const QString& label, int tempo) = 0;
    virtual void hideRepeatLabel() = 0;
    // The tempo bar moved to tempo; its change comes back through tempoChosen.
    virtual void showTempo(int tempo) = 0;
    // The keyboard view without the keys of a performance.
    virtual void clearPlayedKeys() = 0;
};

class PlayController : public QObject, public PlayerEvents {
    Q_OBJECT

public:
    // context: the object the player's notifications are queued to (see QueuedPlayerEvents).
    PlayController(ProgramState& state, Prompter& prompter, StudyController& study, PlayScreen& screen,
                   QObject& context);

    // The way to the player: the actions, the stop and the settings that act while playing.
    void setPlayer(PlayerChannel& player);
    // The ramp and the check the play button plays with.
    void setPractice(Practice& practice) { practice_ = &practice; }

    // The play button: repeats as the settings say, with practice's ramp and check.
    void play();
    // The stop button: the player ends at its next wait, the controls go idle at once.
    void stop();
    void playOnce();
    void metronome();
    // An entry of the play menu.
    void playMode(void (PlayModes::*mode)());
    // While set, the play button plays one repetition whatever "繰り返す" says (the tour's press).
    void setPlayButtonPlaysOnce(bool once) { playButtonPlaysOnce_ = once; }

    // The tempo bar moved (by the user or following the ramp) or a tempo set in the sound settings, and a
    // tempo typed in the box: the player hears the user's tempo (not the ramp's shown on the bar). The
    // window writes the tempo to the settings; tempoTyped returns it, kept inside the bar's range.
    void tempoChosen(int tempo);
    int tempoTyped(const QString& text);

    // Hands the settings as they are now to the player.
    void publishLive();
    // Ends the present action and waits until the player has sent its last message.
    void stopAndWait();
    // stopAndWait, then takes in everything the player said.
    void waitForPlayer();
    // Whether a play action runs on the player's thread.
    bool playerBusy() const;

    // What the player tells the window while it plays.
    void MakeSound_Bot_show(bool isPlaying) override;
    void setQuitAndReferenceEnabled(bool enabled) override;
    void ShowRepeatLabel(const QString& label, int tempo) override;
    void hideRepeatLabel() override;
    void studyChanged(const StudyChange& change) override;
    void tempoRamped(int tempo) override;
    void tellUser(const QString& text) override;

private:
    // Runs action on the player's thread over the study as it is now.
    void startPlayer(std::function<void(PlaySled&, PlayModes&)> action);

    ProgramState& state_;
    Prompter& prompter_;
    StudyController& study_;
    PlayScreen& screen_;
    QObject& context_;
    PlayerChannel* player_ = nullptr;
    Practice* practice_ = nullptr;
    // While the tempo bar follows the practice ramp: what it shows is the ramp's tempo, not the user's.
    bool followingRamp_ = false;
    bool playButtonPlaysOnce_ = false;
};

} // namespace orbel
