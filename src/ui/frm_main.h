#pragma once
// The main window: the views area on the left and the right-hand column of three frames with the study,
// play and sound controls. It sizes and lays out the widgets, and forwards: the user's choices to the study
// and play controllers, the settings controls to their binding with the settings model, the menu bar, the
// key commands and the presses on the views to objects of their own, and what the controllers have shown
// to the study frame and the play display.
// Thread: the window's.

#include "app/logical_scale.h"
#include "app/program_state.h"
#include "app/settings_model.h"
#include "ui/control_panel.h"
#include "ui/main_menus.h"
#include "ui/play_controller.h"
#include "ui/private_font.h"
#include "ui/study_controller.h"
#include "ui/tour/tour_host.h"

#include <QMainWindow>
#include <memory>

namespace orbel {

class BackgroundPlayer;
class Practice;
class frmPractice;
class ViewSet;
struct CircleDiagram;
class PlayerChannel;
class Midi1;
class Prompter;
struct ChangeEffects;
class ControlsBinding;
class KeyCommands;
class PlayDisplay;
class StudyFrame;
class StudyViews;
class ViewPresses;

class frmMain : public QMainWindow, private TourHost, private MenuHost {
    Q_OBJECT

public:
    frmMain(ProgramState& state, Prompter& prompter, Midi1& midi, QWidget* parent = nullptr);
    ~frmMain() override;

    // Sizes and lays out the window from the screen and installs the music font.
    void Form_Load();
    // Shows the window, fills every control from the settings and builds the first sequence.
    void start();

    // The way to the player: what the play controls start, and where the settings that act while playing go.
    void setPlayer(PlayerChannel& player);
    // Practice: the ramp and check the play button plays with, the practice window, the scores shown.
    void setPractice(Practice& practice);
    void openPractice();

    // The circle diagram's place and points for the views shown now, and what it shows of the selection.
    CircleDiagram CircleFor() const;
    // The run's settings as the controls and the settings windows change them; the controls follow it.
    SettingsModel& settingsModel() override { return *settingsModel_; }

    bool FontSet();
    void FontReset();

    const LogicalScale& scale() const { return scale_; }
    QWidget* surface() const override { return surface_; }
    // The views, which hear the player's view notifications.
    ViewSet& views() { return *views_; }
    ControlPanel& controls() { return *panel_; }
    StudyController& study() { return *study_; }
    // The play actions; the player's notifications go to it.
    PlayController& play() { return *play_; }
    // The menu bar, and the windows it opens.
    MainMenus& menus() { return *menus_; }

    Midi1& midi() override { return midi_; }
    // Quits as 終了 does once the user has said yes (stop, save, release), without asking: for the desktop
    // session's log-out and the terminal's Ctrl+C.
    void quitWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // 終了 asked: true when the user said yes and the quit is prepared.
    bool askToQuit();
    // What a quit does before the window goes: the music stopped, the favourites and settings saved.
    void prepareToQuit();
    // The end of the run: the output closed, the font removed, the event loop left.
    void unload();

    void connectControls();
    void layoutControls();
    // What a change of a setting brings, once its control shows it.
    void follow(ChangeEffects effects);

    // What the menus need of the window.
    void nameUserEntry(const std::string& path) override;
    // Selects a study type as the program does: the list's change handler runs once.
    void selectStudyType(int index) override;
    void soundSettingsApplied() override;
    void endWithoutSaving() override;

    // What the tour needs of the window.
    QWidget& window() override { return *this; }
    QWidget* control(Control role) const override;
    std::optional<QPoint> rootNamePoint(int pitchClass, bool nudged) const override;
    std::optional<QPoint> keyPoint(int key) const override;
    void waitForPlayer() override { play_->waitForPlayer(); }
    bool playerBusy() const override { return play_->playerBusy(); }
    void setPlayButtonPlaysOnce(bool once) override { play_->setPlayButtonPlaysOnce(once); }
    void setClickSound(int entry) override;
    QDialog* showSoundSwitches() override { return menus_->showSoundSwitches(); }
    settei* showSoundSettings() override { return menus_->showSoundSettings(); }
    QDialog* showColourSettings() override;

    void connectPlayControls();

    ProgramState& state_;
    Prompter& prompter_;
    Midi1& midi_;
    Practice* practice_ = nullptr;
    frmPractice* practiceWindow_ = nullptr;
    PrivateFont musicFont_;
    LogicalScale scale_;
    bool unloaded_ = false;

    std::unique_ptr<ViewSet> views_;
    QWidget* surface_ = nullptr;
    std::unique_ptr<ControlPanel> panel_;
    SettingsModel* settingsModel_ = nullptr;
    // A child of the window as well (see MainMenus); the window's destructor deletes it first, with the
    // windows it opened.
    std::unique_ptr<MainMenus> menus_;
    std::unique_ptr<StudyFrame> studyFrame_;
    std::unique_ptr<StudyController> study_;
    std::unique_ptr<StudyViews> studyViews_;
    std::unique_ptr<PlayDisplay> playDisplay_;
    std::unique_ptr<PlayController> play_;
    std::unique_ptr<ControlsBinding> binding_;
    std::unique_ptr<ViewPresses> presses_;
    std::unique_ptr<KeyCommands> keys_;
};

} // namespace orbel
