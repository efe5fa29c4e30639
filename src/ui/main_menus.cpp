// The main window's menu bar, what its items do and the windows they open.
// Thread: the window's.

#include "ui/main_menus.h"

#include "app/program_folder.h"
#include "app/program_state.h"
#include "app/prompter.h"
#include "app/settings_file.h"
#include "app/settings_model.h"
#include "datafiles/atomic_save.h"
#include "sound/midi1.h"
#include "theory/prepare_build.h"
#include "ui/captions.h"
#include "ui/desktop_opener.h"
#include "ui/frm_about_me.h"
#include "ui/frm_colset.h"
#include "ui/main_set.h"
#include "ui/practice/practice_texts.h"
#include "ui/sample.h"
#include "ui/settei.h"
#include "ui/tour/tour_host.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <array>

namespace orbel {

namespace {

QAction* AddItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// The data files the edit menu opens, by entry; the last entry, the settings file, is never offered.
static constexpr std::array<const char*, 6> EditedFiles{"scale.txt", "code.txt", "ptn.txt",
                                                        "ric.txt",   "AUX1.txt", "AUX2.txt"};

} // namespace

MainMenus::MainMenus(QMainWindow& window, ProgramState& state, Prompter& prompter, Midi1& midi,
                     SettingsModel& model, MenuHost& host, TourHost& tour)
    : QObject(&window), window_(window), state_(state), prompter_(prompter), midi_(midi), model_(model),
      host_(host), tour_(tour) {
    QMenuBar* bar = window_.menuBar();

    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnu_file"));
    QAction* demo = AddItem(file, "mmu_demo", QStringLiteral("デモンストレーション実行"));
    connect(demo, &QAction::triggered, this, &MainMenus::showTour);
    QAction* openFile = AddItem(file, "mnu_OpenDf", QStringLiteral("ユーザ定義ファイルを読む"));
    connect(openFile, &QAction::triggered, this, &MainMenus::readUserFile);
    QAction* reset = AddItem(file, "mmu_file_reset", QStringLiteral("出荷状態にもどす"));
    connect(reset, &QAction::triggered, this, &MainMenus::resetToFactory);
    QAction* quit = AddItem(file, "mnu_file_end", QStringLiteral("終了"));
    connect(quit, &QAction::triggered, &window_, &QWidget::close);

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
        if (i < static_cast<int>(EditedFiles.size())) {
            const char* edited = EditedFiles[static_cast<std::size_t>(i)];
            connect(item, &QAction::triggered, this,
                    [this, edited] { openOnDesktop(QString::fromLatin1(edited)); });
        }
    }

    QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("mnu_View"));
    showScore_ = AddItem(view, "mnu_View_showScore", QStringLiteral("スコア表示"));
    showDiagram_ = AddItem(view, "mnu_View_showDiagram", QStringLiteral("ダイヤグラム表示"));
    showKeyboard_ = AddItem(view, "mnu_View_ShowKeyBord", QStringLiteral("鍵盤表示"));
    for (QAction* item : {showScore_, showDiagram_, showKeyboard_})
        item->setCheckable(true);
    showDiagram_->setEnabled(false);

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&S)"));
    settings->setObjectName(QStringLiteral("mnu_settei"));
    QAction* midiSelect =
        AddItem(settings, "mmu_settei_MIDISelect", QStringLiteral("MIDIドライバ選択 ( Windows7 )"));
    connect(midiSelect, &QAction::triggered, this, &MainMenus::chooseMidiOutput);
    QAction* sound = AddItem(settings, "mnu_settei_sound", QStringLiteral("サウンド設定"));
    connect(sound, &QAction::triggered, this, &MainMenus::showSoundSettings);
    QAction* colours = AddItem(settings, "mnu_settei_color", QStringLiteral("表示色設定"));
    connect(colours, &QAction::triggered, this, &MainMenus::showColourSettings);
    AddItem(settings, "mnu_settei_practice", QString::fromUtf8(practice_texts::MenuItem));

    playMenu_ = bar->addMenu(QStringLiteral("演奏(&P)"));
    playMenu_->setObjectName(QStringLiteral("mnu_Play"));
    AddItem(playMenu_, "mnu_Play_this", QStringLiteral("現パターン演奏"));
    AddItem(playMenu_, "mnu_Play_all_jun", QStringLiteral("全パターン連続演奏"));
    AddItem(playMenu_, "mnu_Play_rnd", QStringLiteral("全パターンランダム演奏"));
    AddItem(playMenu_, "mnu_Play_Fav_jun", QStringLiteral("お気に入り連続演奏"));
    AddItem(playMenu_, "mnu_Play_Fav_rnd", QStringLiteral("お気に入りランダム演奏"));
    playMenu_->addSeparator()->setObjectName(QStringLiteral("mnu_Play_separate"));
    AddItem(playMenu_, "mnu_Play_stop", QStringLiteral("演奏停止"));
    playMenu_->setEnabled(false);

    QMenu* help = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->setObjectName(QStringLiteral("mnu_help"));
    QAction* manual = AddItem(help, "mnu_help_help", QStringLiteral("ヘルプ"));
    manual->setShortcut(QKeySequence(Qt::Key_F1));
    // The manual opens in the desktop's PDF viewer.
    connect(manual, &QAction::triggered, this,
            [this] { openOnDesktop(ResourceFolderFor(state_.programFolder) + QStringLiteral("/help.pdf")); });
    QAction* shortcuts = AddItem(help, "mnu_help_ShortCut", QStringLiteral("ショートカット説明"));
    connect(shortcuts, &QAction::triggered, this, &MainMenus::showShortcuts);
    QAction* version = AddItem(help, "mnu_help_show_ver", QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, [this] { prompter_.message(captions::VersionInfo); });
}

MainMenus::~MainMenus() {
    // The tour works on the window's controls: it goes while they are still there. The settings windows
    // call back here, so they go with the menus.
    for (QObject* opened : std::initializer_list<QObject*>{tourWindow_, soundSwitches_, shortcuts_,
                                                           soundSettings_, colourSettings_})
        delete opened;
}

ViewMenuItems MainMenus::viewItems() const {
    return {showScore_, showDiagram_, showKeyboard_};
}

void MainMenus::openOnDesktop(const QString& fileName) {
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

void MainMenus::chooseMidiOutput() {
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

FrmColset* MainMenus::showColourSettings() {
    // Not modal: the music goes on while colours are chosen. The views take the new colours when they
    // next draw.
    if (!colourSettings_) {
        colourSettings_ = new FrmColset(
            model_, prompter_, [this] { saveSettings(); }, &window_);
        colourSettings_->setWindowFlag(Qt::Window);
    }
    colourSettings_->start();
    return colourSettings_;
}

settei* MainMenus::showSoundSettings() {
    if (!soundSettings_) {
        settei::Hooks hooks;
        hooks.save = [this] { saveSettings(); };
        hooks.applied = [this] { host_.soundSettingsApplied(); };
        soundSettings_ = new settei(model_, midi_, std::move(hooks), &window_);
        soundSettings_->setWindowFlag(Qt::Window);
    }
    soundSettings_->start();
    return soundSettings_;
}

QDialog* MainMenus::showSoundSwitches() {
    if (!soundSwitches_) soundSwitches_ = new MainSet(model_, &window_);
    soundSwitches_->show();
    soundSwitches_->raise();
    return soundSwitches_;
}

void MainMenus::showShortcuts() {
    if (!shortcuts_) shortcuts_ = new sample(&window_);
    shortcuts_->show();
    shortcuts_->raise();
}

QString MainMenus::soundFontInUse() const {
    return QString::fromStdString(midi_.port().soundFontInUse());
}

void MainMenus::showAbout() {
    (new FrmAboutMe(state_.programFolder, soundFontInUse(), &window_))->show();
}

void MainMenus::showTour() {
    if (tourWindow_) {
        tourWindow_->raise();
        return;
    }
    tourWindow_ = OpenTour(tour_);
}

void MainMenus::saveSettings() {
    Settings& s = state_.settings;
    StoreUserFilePath(s);
    int mode = settings_file::SaveMode;
    SettingsFileIO(mode, s, state_.programFolder, prompter_);
}

void MainMenus::readUserFile() {
    const std::optional<QString> file =
        prompter_.chooseFileToOpen(state_.programFolder, QStringLiteral("ユーザデータ(*.txt)"));
    if (!file) return;
    host_.nameUserEntry(file->toStdString());
    // Choosing the entry first writes back the favourites of the user file on show; then the new file is
    // read for the item list.
    host_.selectStudyType(study_type::UserPhrase);
    Settings& s = state_.settings;
    s.UserFilePath = file->toStdString();
    StoreUserFilePath(s);
    host_.selectStudyType(study_type::UserPhrase);
}

void MainMenus::resetToFactory() {
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
    // The factory settings are in force at the next start: nothing of this run is saved.
    host_.endWithoutSaving();
}

} // namespace orbel
