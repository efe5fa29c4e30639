// The main window's menus, key commands and the small windows they open.

#include "app/program_folder.h"
#include "ui/frm_main.h"
#include "ui/practice/practice_texts.h"

#include "app/prompter.h"
#include "app/settings_file.h"
#include "datafiles/atomic_save.h"
#include "datafiles/narrow_text.h"
#include "sound/background_player.h"
#include "sound/midi1.h"
#include "theory/kihon.h"
#include "theory/prepare_build.h"
#include "ui/captions.h"
#include "ui/desktop_opener.h"
#include "ui/frm_about_me.h"
#include "ui/frm_colset.h"
#include "ui/main_set.h"
#include "ui/sample.h"
#include "ui/settei.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <array>
#include <filesystem>

namespace orbel {

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    auto addItem = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnu_file"));
    QAction* demo = addItem(file, "mmu_demo", QStringLiteral("デモンストレーション実行"));
    connect(demo, &QAction::triggered, this, &frmMain::showTour);
    QAction* openFile = addItem(file, "mnu_OpenDf", QStringLiteral("ユーザ定義ファイルを読む"));
    connect(openFile, &QAction::triggered, this, &frmMain::mnu_OpenDf_Click);
    QAction* reset = addItem(file, "mmu_file_reset", QStringLiteral("出荷状態にもどす"));
    connect(reset, &QAction::triggered, this, &frmMain::ResetToFactory);
    QAction* quit = addItem(file, "mnu_file_end", QStringLiteral("終了"));
    connect(quit, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = bar->addMenu(QStringLiteral("編集(&E)"));
    edit->setObjectName(QStringLiteral("mnu_edit"));
    const QString editCaptions[] = {QStringLiteral("スケール設定ファイル編集"),
                                    QStringLiteral("コード設定ファイル編集"),
                                    QStringLiteral("ⅡⅤパターン設定ファイル編集"),
                                    QStringLiteral("ⅡⅤリック設定ファイル編集"),
                                    QStringLiteral("その他1ファイル編集"),
                                    QStringLiteral("その他2ファイル編集"),
                                    QStringLiteral("設定ファイル編集")};
    for (int i = 0; i < 7; ++i) {
        QAction* item = edit->addAction(editCaptions[i]);
        item->setObjectName(QStringLiteral("mnu_edit_seting_file_%1").arg(i));
        item->setEnabled(i < 4);
        item->setVisible(i < 6);
        // The data files open in the desktop's text editor; the trainer reads them again at the next change
        // of study type.
        static constexpr std::array<const char*, 6> EditedFiles{"scale.txt", "code.txt", "ptn.txt",
                                                                "ric.txt",   "AUX1.txt", "AUX2.txt"};
        if (i < static_cast<int>(EditedFiles.size())) {
            const char* file = EditedFiles[static_cast<std::size_t>(i)];
            connect(item, &QAction::triggered, this,
                    [this, file] { openOnDesktop(QString::fromLatin1(file)); });
        }
    }

    QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("mnu_View"));
    showScore_ = addItem(view, "mnu_View_showScore", QStringLiteral("スコア表示"));
    showDiagram_ = addItem(view, "mnu_View_showDiagram", QStringLiteral("ダイヤグラム表示"));
    showKeyboard_ = addItem(view, "mnu_View_ShowKeyBord", QStringLiteral("鍵盤表示"));
    for (QAction* item : {showScore_, showDiagram_, showKeyboard_})
        item->setCheckable(true);
    showDiagram_->setEnabled(false);
    // The menu's check follows the setting (settingChanged), and the views are drawn again.
    connect(showScore_, &QAction::triggered, this,
            [this] { settingsModel_->set<&Settings::ShowScore>(!state_.settings.ShowScore); });
    connect(showKeyboard_, &QAction::triggered, this,
            [this] { settingsModel_->set<&Settings::ShowKeyboard>(!state_.settings.ShowKeyboard); });

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&S)"));
    settings->setObjectName(QStringLiteral("mnu_settei"));
    QAction* midiSelect =
        addItem(settings, "mmu_settei_MIDISelect", QStringLiteral("MIDIドライバ選択 ( Windows7 )"));
    connect(midiSelect, &QAction::triggered, this, &frmMain::mmu_settei_MIDISelect_Click);
    QAction* sound = addItem(settings, "mnu_settei_sound", QStringLiteral("サウンド設定"));
    connect(sound, &QAction::triggered, this, &frmMain::mnu_settei_sound_Click);
    QAction* colours = addItem(settings, "mnu_settei_color", QStringLiteral("表示色設定"));
    connect(colours, &QAction::triggered, this, &frmMain::mnu_settei_color_Click);
    addItem(settings, "mnu_settei_practice", QString::fromUtf8(practice_texts::MenuItem));

    playMenu_ = bar->addMenu(QStringLiteral("演奏(&P)"));
    playMenu_->setObjectName(QStringLiteral("mnu_Play"));
    addItem(playMenu_, "mnu_Play_this", QStringLiteral("現パターン演奏"));
    addItem(playMenu_, "mnu_Play_all_jun", QStringLiteral("全パターン連続演奏"));
    addItem(playMenu_, "mnu_Play_rnd", QStringLiteral("全パターンランダム演奏"));
    addItem(playMenu_, "mnu_Play_Fav_jun", QStringLiteral("お気に入り連続演奏"));
    addItem(playMenu_, "mnu_Play_Fav_rnd", QStringLiteral("お気に入りランダム演奏"));
    playMenu_->addSeparator()->setObjectName(QStringLiteral("mnu_Play_separate"));
    addItem(playMenu_, "mnu_Play_stop", QStringLiteral("演奏停止"));
    playMenu_->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnu_help"));
    QAction* manual = addItem(help, "mnu_help_help", QStringLiteral("ヘルプ"));
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    // The manual opens in the desktop's PDF viewer.
    connect(manual, &QAction::triggered, this,
            [this] { openOnDesktop(ResourceFolderFor(state_.programFolder) + QStringLiteral("/help.pdf")); });
    QAction* shortcuts = addItem(help, "mnu_help_ShortCut", QStringLiteral("ショートカット説明"));
    connect(shortcuts, &QAction::triggered, this, &frmMain::showShortcuts);
    QAction* version = addItem(help, "mnu_help_show_ver", QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, [this] { prompter_.message(captions::VersionInfo); });
}

void frmMain::openOnDesktop(const QString& fileName) {
    const QString file =
        QDir::isAbsolutePath(fileName) ? fileName : state_.programFolder + QLatin1Char('/') + fileName;
    if (!QFileInfo::exists(file)) {
        prompter_.message(captions::FileMissing.arg(fileName), PromptIcon::Exclamation);
        return;
    }
    if (opener_ == nullptr) {
        opener_ = new DesktopOpener(
            [this](const QString& name, OpenFailure why) {
                prompter_.message(
                    (why == OpenFailure::NoProgram ? captions::NoProgramToOpen : captions::CannotOpen)
                        .arg(name),
                    PromptIcon::Exclamation);
            },
            this);
    }
    opener_->open(file, fileName);
}

void frmMain::mmu_settei_MIDISelect_Click() {
    prompter_.message(captions::RestartToApply);
    // The chooser runs on its own; the trainer reads its choice at the next start.
    static constexpr const char* Chooser = "midiselector";
    const QString program = HelperProgramPath(QLatin1String(Chooser));
    if (!QFileInfo(program).isExecutable()) {
        prompter_.message(captions::FileMissing.arg(QLatin1String(Chooser)), PromptIcon::Exclamation);
        return;
    }
    if (!QProcess::startDetached(program, {}, state_.programFolder))
        prompter_.message(captions::CannotStart.arg(QLatin1String(Chooser)), PromptIcon::Exclamation);
}

FrmColset* frmMain::mnu_settei_color_Click() {
    // Not modal: the music goes on while colours are chosen. The views take the new colours when they
    // next draw.
    if (!colourSettings_) {
        colourSettings_ = new FrmColset(
            *settingsModel_, prompter_, [this] { saveSettings(); }, this);
        colourSettings_->setWindowFlag(Qt::Window);
    }
    colourSettings_->start();
    return colourSettings_;
}

settei* frmMain::mnu_settei_sound_Click() {
    if (!soundSettings_) {
        settei::Hooks hooks;
        hooks.save = [this] { saveSettings(); };
        hooks.applied = [this] {
            midi_.SendProgramChanges();
            // The bar and box follow the committed tempo; the tempo set in the window is the user's.
            play_->tempoChosen(state_.settings.Tempo);
            study_->rebuild(false);
        };
        soundSettings_ = new settei(*settingsModel_, midi_, std::move(hooks), this);
        soundSettings_->setWindowFlag(Qt::Window);
    }
    soundSettings_->start();
    return soundSettings_;
}

void frmMain::saveSettings() {
    Settings& s = state_.settings;
    StoreUserFilePath(s);
    int mode = settings_file::SaveMode;
    SettingsFileIO(mode, s, state_.programFolder, prompter_);
}

void frmMain::mnu_OpenDf_Click() {
    const std::optional<QString> file =
        prompter_.chooseFileToOpen(state_.programFolder, QStringLiteral("ユーザデータ(*.txt)"));
    if (!file) return;
    ControlPanel& c = *panel_;
    const std::string base = PathPart(file->toStdString(), path_part::BaseName);
    {
        const QSignalBlocker block(c.studyTypeList);
        c.studyTypeList->setItemText(study_type::UserPhrase,
                                     NarrowText(QString::fromStdString(base)) + QLatin1Char(' '));
    }
    // Choosing the entry first writes back the favourites of the user file on show; then the new file is
    // read for the item list.
    selectStudyType(study_type::UserPhrase);
    Settings& s = state_.settings;
    s.UserFilePath = file->toStdString();
    StoreUserFilePath(s);
    study_->studyTypeChosen(c.studyTypeList->currentIndex());
}

void frmMain::ResetToFactory() {
    if (!prompter_.askYesNo(captions::ResetQuestion)) return;
    // The factory record must be whole before it replaces ours; otherwise the current settings stay and
    // the program goes on.
    if (!ReadFactoryRecord(state_.programFolder)) {
        prompter_.message(captions::FactoryFileUnreadable, PromptIcon::Exclamation);
        return;
    }
    if (!CopyFileAtomic(state_.programFolder + QLatin1Char('/') +
                            QLatin1String(settings_file::FactoryFileName),
                        state_.programFolder + QLatin1Char('/') + QLatin1String(settings_file::FileName))) {
        prompter_.message(QString::fromUtf8(settings_file::UnexpectedError));
        return;
    }
    // The factory settings are in force at the next start: nothing of this run is saved, and the program
    // ends at once, after the player has sent its last note.
    play_->stopAndWait();
    midi_.MidiReset();
    unloaded_ = true;
    midi_.MidiClose();
    FontReset();
    close();
    QCoreApplication::quit();
}

bool frmMain::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    ControlPanel& c = *panel_;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (ctrl && key == Qt::Key_F8) {
        showAbout();
        return true;
    }
    if (ctrl && key == Qt::Key_F10) {
        CopyFileAtomic(state_.programFolder + QStringLiteral("/location_org.txt"),
                       state_.programFolder + QStringLiteral("/location.txt"));
        QApplication::beep();
        return true;
    }
    auto press = [](QPushButton* button) {
        if (!button->isEnabled()) return false;
        button->click();
        return true;
    };
    switch (key) {
    case Qt::Key_Space:
        return press(c.playButton) || press(c.stopButton);
    case Qt::Key_P:
        return press(c.rootUpButton);
    case Qt::Key_Q:
        return press(c.rootDownButton);
    case Qt::Key_F:
        if (!c.rootDownButton->isEnabled()) return false;
        study_->fourthUp();
        return true;
    case Qt::Key_U:
        if (c.tempoBar->value() >= tempo_range::Fastest) return false;
        c.tempoBar->setValue(c.tempoBar->value() + 1);
        return true;
    case Qt::Key_D:
        if (c.tempoBar->value() <= tempo_range::Slowest) return false;
        c.tempoBar->setValue(c.tempoBar->value() - 1);
        return true;
    case Qt::Key_M:
        return press(c.metronomeButton);
    case Qt::Key_S:
        if (!c.referenceBFlatButton->isEnabled()) return false;
        c.playOnceButton->click();
        return true;
    default:
        return false;
    }
}

QDialog* frmMain::showSoundSwitches() {
    if (!soundSwitches_) soundSwitches_ = new MainSet(*settingsModel_, this);
    soundSwitches_->show();
    soundSwitches_->raise();
    return soundSwitches_;
}

void frmMain::showTour() {
    if (tour_) {
        tour_->raise();
        return;
    }
    tour_ = OpenTour(*this);
}

QDialog* frmMain::showColourSettings() {
    return mnu_settei_color_Click();
}

void frmMain::setClickSound(int entry) {
    settingsModel_->set<&Settings::ClickSound>(static_cast<std::int16_t>(entry));
}

void frmMain::showShortcuts() {
    if (!shortcuts_) shortcuts_ = new sample(this);
    shortcuts_->show();
    shortcuts_->raise();
}

QString frmMain::soundFontInUse() const {
    return QString::fromStdString(midi_.port().soundFontInUse());
}

void frmMain::showAbout() {
    (new FrmAboutMe(state_.programFolder, soundFontInUse(), this))->show();
}

} // namespace orbel
