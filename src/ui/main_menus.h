#pragma once
// The main window's menu bar and what its items do: the data files and the manual opened on the desktop,
// a phrase file of the user's read, the MIDI chooser started, the reset to the factory settings, and the
// windows the menus open and own (sound switches, sound settings, colours, shortcuts, credits, the tour).
// The play menu's items and the view menu's switches are only built here: the play controls and the
// settings binding give them their work. It reaches the window through MenuHost.
// Thread: the window's.

#include <QObject>
#include <QPointer>
#include <QString>
#include <string>

class QAction;
class QDialog;
class QMainWindow;
class QMenu;

namespace orbel {

struct ProgramState;
class DesktopOpener;
class FrmColset;
class Midi1;
class Prompter;
class SettingsModel;
class TourHost;
class settei;

// The view menu's switches.
struct ViewMenuItems {
    QAction* score = nullptr;
    QAction* diagram = nullptr;
    QAction* keyboard = nullptr;
};

// What the menus need of the main window.
class MenuHost {
public:
    MenuHost() = default;
    virtual ~MenuHost() = default;
    MenuHost(const MenuHost&) = delete;
    MenuHost& operator=(const MenuHost&) = delete;

    // The study type list's entry of the user's phrases named after the file at path.
    virtual void nameUserEntry(const std::string& path) = 0;
    // Selects a study type as the program does: the list's change handler runs once.
    virtual void selectStudyType(int index) = 0;
    // OK in the sound settings: the instruments, the tempo and the sequence follow the new settings.
    virtual void soundSettingsApplied() = 0;
    // Ends the program at once, after the player's last note, saving nothing.
    virtual void endWithoutSaving() = 0;
};

class MainMenus final : public QObject {
    Q_OBJECT

public:
    // Builds the menu bar of window. The window parents the windows the menus open, and the menus too, so
    // that what they run is found among its children; whoever owns the menus deletes them while the
    // window's controls are still there. tour is what the demonstration tour drives.
    MainMenus(QMainWindow& window, ProgramState& state, Prompter& prompter, Midi1& midi, SettingsModel& model,
              MenuHost& host, TourHost& tour);
    // The windows opened go with the menus, whose work they call back.
    ~MainMenus() override;

    // Enabled for the phrases only; its items are given their work by the play controls.
    QMenu* playMenu() const { return playMenu_; }
    ViewMenuItems viewItems() const;

    // The windows the menus and buttons open; a second request brings the open one forward.
    QDialog* showSoundSwitches();
    settei* showSoundSettings();
    FrmColset* showColourSettings();
    void showShortcuts();
    void showAbout();
    // "デモンストレーション実行", and the offer at start-up.
    void showTour();

    // Writes the settings record as it stands.
    void saveSettings();

private:
    // Opens a file of the program folder with the desktop's program for it; a message names the file when
    // it is missing, nothing can open it or its program gives up.
    void openOnDesktop(const QString& fileName);
    // "ユーザ定義ファイルを読む": a phrase file of the user's, listed as study type 4.
    void readUserFile();
    // "MIDIドライバ選択": the chooser, whose choice acts at the next start.
    void chooseMidiOutput();
    // "出荷状態にもどす": the factory settings, and an end without saving.
    void resetToFactory();
    QString soundFontInUse() const;

    QMainWindow& window_;
    ProgramState& state_;
    Prompter& prompter_;
    Midi1& midi_;
    SettingsModel& model_;
    MenuHost& host_;
    TourHost& tour_;

    QMenu* playMenu_ = nullptr;
    QAction* showScore_ = nullptr;
    QAction* showDiagram_ = nullptr;
    QAction* showKeyboard_ = nullptr;
    QPointer<QDialog> soundSwitches_;
    QPointer<QDialog> shortcuts_;
    QPointer<settei> soundSettings_;
    QPointer<FrmColset> colourSettings_;
    QPointer<QDialog> tourWindow_;
    DesktopOpener* opener_ = nullptr;
};

} // namespace orbel
