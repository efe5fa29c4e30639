#pragma once
// The main window: the views area on the left and the right-hand column of
// three frames with the study, play and sound controls. It owns the current
// selection and rebuilds the play sequence on every change.

#include "app/logical_scale.h"
#include "app/program_state.h"
#include "app/settings_model.h"
#include "app/study_session.h"
#include "sound/player_events.h"
#include "ui/control_panel.h"
#include "ui/private_font.h"

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QComboBox;
class QMenu;

namespace orbel {

class BackgroundPlayer;
class Practice;
class frmPractice;
struct RepetitionScore;
class ViewSet;
struct CircleDiagram;
class LiveSettings;
class Midi1;
class PlaySled;
class PlayModes;
class settei;
class FrmColset;
class frmIntroduce;
class Prompter;
class DesktopOpener;

// The window hears the player's notifications on its own thread (through QueuedPlayerEvents).
class frmMain : public QMainWindow, public PlayerEvents {
    Q_OBJECT

public:
    frmMain(ProgramState& state, Prompter& prompter, Midi1& midi, QWidget* parent = nullptr);
    ~frmMain() override;

    // Sizes and lays out the window from the screen and installs the music font.
    void Form_Load();
    // Shows the window, fills every control from the settings and builds the first sequence.
    void start();

    // Fills the item list for the current study type and selects its first item.
    void Set_combo1();
    // Per-rebuild preparation: keyboard options, title texts.
    void InitAtEveryChange(int pat, int root);
    // The player that the play controls start, and where the settings that act while playing go.
    void setPlayer(BackgroundPlayer& player, LiveSettings& live);
    // Practice: the ramp and check the play button plays with, the practice window, the scores shown.
    void setPractice(Practice& practice);
    void openPractice();

    // Builds the sequence for the current selection and redraws the views.
    void Prepair4PLAY(bool isChangeOnly);
    // The staff of the current sequence, when the staff view is on, with the keyboard and the circle.
    void DrawScore();
    // The circle diagram's place and points for the views shown now, and what it shows of the selection.
    CircleDiagram CircleFor() const;
    // Switches the controls between playing and idle.
    void MakeSound_Bot_show(bool isPlaying) override;

    // What the player tells the window while it plays.
    void setQuitAndReferenceEnabled(bool enabled) override;
    void ShowRepeatLabel(const QString& label, int tempo) override;
    void hideRepeatLabel() override;
    void studyChanged(const StudyChange& change) override;
    void tempoRamped(int tempo) override;
    void tellUser(const QString& text) override;

    // Hands the settings as they are now to the player.
    void publishLive();
    // The run's settings as the controls and the settings windows change them; the controls follow it.
    SettingsModel& settingsModel() { return *settingsModel_; }

    bool FontSet();
    void FontReset();

    const LogicalScale& scale() const { return scale_; }
    QWidget* surface() const { return surface_; }
    // The views, which hear the player's view notifications.
    ViewSet& views() { return *views_; }
    ControlPanel& controls() { return *panel_; }
    const std::string& TitleText() const { return titleText_; }
    const std::string& CommentText() const { return commentText_; }
    int FavouritesChanged() const { return favouritesChanged_; }

    Midi1& midi() { return midi_; }
    // The windows the menus and buttons open, for the demonstration tour as well; a second request brings
    // the open one forward.
    QDialog* showSoundSwitches();
    settei* mnu_settei_sound_Click();
    FrmColset* mnu_settei_color_Click();
    // "デモンストレーション実行", and the offer at start-up.
    void showTour();
    void setClickSound(int entry);
    // Waits until the player has sent its last message and takes in everything it said.
    void waitForPlayer();
    // Whether a play action runs on the player's thread.
    bool playerBusy() const;
    // While set, the play button plays one repetition whatever "繰り返す" says (the tour's press).
    void setPlayButtonPlaysOnce(bool once) { playButtonPlaysOnce_ = once; }

    // The single-key commands of the window, seen before any control gets them.
    // True when the key was a command.
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // Quits as 終了 does once the user has said yes (stop, save, release), without asking: for the desktop
    // session's log-out and the terminal's Ctrl+C.
    void quitWithoutAsking();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Presses on the views: a key of the keyboard sounds while held and may set the root.
    void Form_MouseDown(QPointF pixel);
    void Form_MouseUp();
    void CirclePress(double x, double y);
    bool Form_QueryUnload();
    // What a quit does before the window goes: the music stopped, the favourites and settings saved.
    void prepareToQuit();
    void Form_Unload();

    void buildMenus();
    void connectControls();
    void layoutControls();

    // Change handlers of the controls.
    void Combo2_Click();
    void Combo1_Click();
    void Combo3_Click();
    void Combo4_Click();
    void IIVIModeChanged(int which, int entry);
    void RootStep(int step);
    void OctaveStep(int step);
    void VScroll1_Change(int value);
    void Text1_Change(const QString& text);
    void Check8_Click(bool checked);
    // A setting changed through the model: its control shows it, and what depends on it follows.
    void settingChanged(SettingsFieldId field);
    // The control of a setting shows the setting as it is (fields without a control of the window's:
    // nothing).
    void showSetting(SettingsFieldId field);
    // "出荷状態にもどす": the factory settings, and an end without saving.
    void ResetToFactory();
    void mmu_settei_MIDISelect_Click();
    // Writes the settings record as it stands.
    void saveSettings();
    // Opens a file of the program folder with the desktop's program for it; a message names the file when
    // it is missing, nothing can open it or its program gives up.
    void openOnDesktop(const QString& fileName);
    // "ユーザ定義ファイルを読む": a phrase file of the user's, listed as study type 4.
    void mnu_OpenDf_Click();
    void showShortcuts();
    void showAbout();
    void connectPlayControls();
    // Runs action on the player's thread over the study as it is now.
    void startPlayer(std::function<void(PlaySled&, PlayModes&)> action);
    // The stop button: the player ends at its next wait, the controls go idle at once.
    void Stop();
    QString soundFontInUse() const;

    // Selects an entry of a list as the program does: the list's change handler runs once.
    void selectEntry(QComboBox* combo, int index, void (frmMain::*handler)());
    bool studyIsPhrase() const;
    void reportBuild(const std::optional<std::string>& message);

    ProgramState& state_;
    StudySession session_;
    Prompter& prompter_;
    Midi1& midi_;
    BackgroundPlayer* player_ = nullptr;
    LiveSettings* live_ = nullptr;
    Practice* practice_ = nullptr;
    frmPractice* practiceWindow_ = nullptr;
    // The score of a repetition, under the repetition label.
    void showScore(const RepetitionScore& score);
    PrivateFont musicFont_;
    LogicalScale scale_;
    bool unloaded_ = false;
    bool playButtonPlaysOnce_ = false;

    int favouritesChanged_ = 0;
    // The key sounded by the press being held (0 none), and whether a press hit a key.
    int soundedKey_ = 0;
    bool keyHeld_ = false;
    int LastCfgScale = -1;
    bool phrasesFromUserFile_ = false;
    std::string titleText_;
    std::string commentText_;

    std::unique_ptr<ViewSet> views_;
    QWidget* surface_ = nullptr;
    std::unique_ptr<ControlPanel> panel_;
    QMenu* playMenu_ = nullptr;
    QAction* midiSelect_ = nullptr;
    QAction* showScore_ = nullptr;
    QAction* showDiagram_ = nullptr;
    QAction* showKeyboard_ = nullptr;
    QPointer<QDialog> soundSwitches_;
    QPointer<QDialog> shortcuts_;
    QPointer<settei> soundSettings_;
    QPointer<FrmColset> colourSettings_;
    QPointer<frmIntroduce> tour_;
    DesktopOpener* opener_ = nullptr;
    SettingsModel* settingsModel_ = nullptr;
    // While a typed tempo is taken: the bar stays where it is.
    bool tempoTyped_ = false;
};

} // namespace orbel
