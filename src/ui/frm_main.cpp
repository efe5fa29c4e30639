#include "ui/frm_main.h"

#include "app/os_version.h"
#include "app/prompter.h"
#include "app/settings_file.h"
#include "app/window_sizing.h"
#include "theory/kihon.h"
#include "ui/captions.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <chrono>

namespace orbel {

namespace {

// Right-hand column, in the window's logical units (about one twip each).
namespace column {
static constexpr double FrameWidth = 3700;
static constexpr double RightMargin = 200;
static constexpr double Gap = 100;
static constexpr double BottomEdge = 100;
static constexpr double Frame1Share = 0.47;
static constexpr double Frame2Share = 0.25;
static constexpr double ButtonHeight = 520;
static constexpr double ButtonGap = 90;
static constexpr double ButtonInset = 150;
static constexpr double FirstButtonTop = 350;
} // namespace column

static constexpr int FormFontSize = 20;
static constexpr int ControlFontSize = 11;
static constexpr double MenuBaselineOs = 5.99;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QGroupBox* MakeFrame(QWidget* parent, const char* name) {
    auto* frame = new QGroupBox(parent);
    frame->setObjectName(QString::fromLatin1(name));
    return frame;
}

// The deadline waits need a steady clock finer than a millisecond.
bool HasFineSteadyClock() {
    using Clock = std::chrono::steady_clock;
    return Clock::is_steady && std::chrono::duration<double>(Clock::duration(1)).count() <= 1e-6;
}

} // namespace

frmMain::frmMain(ProgramState& state, Prompter& prompter, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter) {
    setObjectName(QStringLiteral("frmMain"));
    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Surface"));
    surface_->setAutoFillBackground(true);
    QPalette palette = surface_->palette();
    palette.setColor(QPalette::Window, Qt::white);
    surface_->setPalette(palette);
    surface_->installEventFilter(this);
    setCentralWidget(surface_);
    buildMenus();
    buildFrames();
}

frmMain::~frmMain() {
    FontReset();
}

void frmMain::buildMenus() {
    QMenuBar* bar = menuBar();
    auto addItem = [](QMenu* menu, const char* name, const QString& caption) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };

    QMenu* file = bar->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnu_file"));
    addItem(file, "mmu_demo", QStringLiteral("デモンストレーション実行"));
    addItem(file, "mnu_OpenDf", QStringLiteral("ユーザ定義ファイルを読む"));
    addItem(file, "mmu_file_reset", QStringLiteral("出荷状態にもどす"));
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
    }

    QMenu* view = bar->addMenu(QStringLiteral("表示(&V)"));
    view->setObjectName(QStringLiteral("mnu_View"));
    showScore_ = addItem(view, "mnu_View_showScore", QStringLiteral("スコア表示"));
    showDiagram_ = addItem(view, "mnu_View_showDiagram", QStringLiteral("ダイヤグラム表示"));
    showKeyboard_ = addItem(view, "mnu_View_ShowKeyBord", QStringLiteral("鍵盤表示"));
    for (QAction* item : {showScore_, showDiagram_, showKeyboard_})
        item->setCheckable(true);
    showDiagram_->setEnabled(false);
    connect(showScore_, &QAction::triggered, this,
            [this] { toggleView(state_.settings.ShowScore, showScore_); });
    connect(showKeyboard_, &QAction::triggered, this,
            [this] { toggleView(state_.settings.ShowKeyboard, showKeyboard_); });

    QMenu* settings = bar->addMenu(QStringLiteral("設定(&S)"));
    settings->setObjectName(QStringLiteral("mnu_settei"));
    midiSelect_ = addItem(settings, "mmu_settei_MIDISelect", QStringLiteral("MIDIドライバ選択 ( Windows7 )"));
    addItem(settings, "mnu_settei_sound", QStringLiteral("サウンド設定"));
    addItem(settings, "mnu_settei_color", QStringLiteral("表示色設定"));

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
    addItem(help, "mnu_help_help", QStringLiteral("ヘルプ"))->setShortcut(QKeySequence(Qt::Key_F1));
    addItem(help, "mnu_help_ShortCut", QStringLiteral("ショートカット説明"));
    QAction* version = addItem(help, "mnu_help_show_ver", QStringLiteral("バージョン情報"));
    connect(version, &QAction::triggered, this, [this] { prompter_.message(captions::VersionInfo); });
}

void frmMain::buildFrames() {
    frame1_ = MakeFrame(surface_, "Frame1");
    frame2_ = MakeFrame(surface_, "Frame2");
    frame3_ = MakeFrame(surface_, "Frame3");
    // Controls keep a plain Gothic face; the surface's Mincho font is for drawing only.
    const QFont controlFont(QStringLiteral("IPAGothic"), ControlFontSize);
    for (QGroupBox* frame : {frame1_, frame2_, frame3_})
        frame->setFont(controlFont);

    auto* play = MakeButton(frame2_, "Command5", QString());
    play->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    auto* stop = MakeButton(frame2_, "Command9", QString());
    stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
    stop->setEnabled(false);
    auto* playRow = new QVBoxLayout(frame2_);
    playRow->addWidget(play);
    playRow->addWidget(stop);
    playRow->addStretch();

    command10_ = MakeButton(frame3_, "Command10", QStringLiteral("補足設定"));
    command7_ = MakeButton(frame3_, "Command7", QStringLiteral("メトロノーム"));
    command2_ = MakeButton(frame3_, "Command2", QStringLiteral("基準音Ｂ♭"));
    command8_ = MakeButton(frame3_, "Command8", QStringLiteral("基準音Ａ"));
    command6_ = MakeButton(frame3_, "Command6", QStringLiteral("音出し"));
    command1_ = MakeButton(frame3_, "Command1", QStringLiteral("終了"));
    connect(command1_, &QPushButton::clicked, this, &QWidget::close);
}

void frmMain::layoutFrames() {
    scale_.pixelWidth = std::max(1, surface_->width());
    scale_.pixelHeight = std::max(1, surface_->height());
    const double width = scale_.logicalWidth;
    const double height = scale_.logicalHeight;

    // Frames stack down the right edge; the third one reaches down to y = 100.
    const double left = width - column::FrameWidth - column::RightMargin;
    const double usable = height - column::BottomEdge - 2 * column::Gap;
    const double top1 = height;
    const double height1 = usable * column::Frame1Share;
    const double top2 = top1 - height1 - column::Gap;
    const double height2 = usable * column::Frame2Share;
    const double top3 = top2 - height2 - column::Gap;
    const double height3 = top3 - column::BottomEdge;

    auto place = [this](QWidget* w, double x, double top, double wide, double high) {
        const double px = scale_.xToPixel(x);
        const double py = scale_.yToPixel(top);
        w->setGeometry(qRound(px), qRound(py), qRound(scale_.widthToPixels(wide)),
                       qRound(scale_.heightToPixels(high)));
    };
    place(frame1_, left, top1, column::FrameWidth, height1);
    place(frame2_, left, top2, column::FrameWidth, height2);
    place(frame3_, left, top3, column::FrameWidth, height3);

    // Buttons of the third frame, in the frame's own coordinates (y down from its top).
    const double buttonWidth = column::FrameWidth - 2 * column::ButtonInset;
    auto placeInFrame = [this](QWidget* w, double x, double yDown, double wide, double high) {
        w->setGeometry(qRound(scale_.widthToPixels(x)), qRound(scale_.heightToPixels(yDown)),
                       qRound(scale_.widthToPixels(wide)), qRound(scale_.heightToPixels(high)));
    };
    double y = column::FirstButtonTop;
    for (QPushButton* button : {command10_, command7_, command2_, command8_, command6_}) {
        placeInFrame(button, column::ButtonInset, y, buttonWidth, column::ButtonHeight);
        y += column::ButtonHeight + column::ButtonGap;
    }
    const double quitTop = height3 - column::ButtonInset - column::ButtonHeight;
    placeInFrame(command1_, column::ButtonInset, quitTop, buttonWidth, column::ButtonHeight);

    // On a short screen the last two buttons would run into the quit button.
    const double command8Bottom = column::FirstButtonTop + 4 * column::ButtonHeight + 3 * column::ButtonGap;
    const bool crowded = command8Bottom > quitTop;
    command8_->setVisible(!crowded);
    command6_->setVisible(!crowded);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::Resize) layoutFrames();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Load() {
    state_.OsVersion = CurrentOsVersion();
    midiSelect_->setEnabled(state_.OsVersion > MenuBaselineOs);

    QFont formFont(captions::FormFontName, FormFontSize);
    formFont.setBold(false);
    formFont.setItalic(false);
    surface_->setFont(formFont);

    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double twipsPerPixel = TwipsPerPixel(screen->logicalDotsPerInch());
    const QRect whole = screen->geometry();
    const QRect work = screen->availableGeometry();
    const WindowPlacement p = ComputeWindowPlacement(
        whole.width() * twipsPerPixel, whole.height() * twipsPerPixel, work.height() * twipsPerPixel);
    state_.LayoutMode = p.layoutMode;
    const int widthPx = qRound(p.width / twipsPerPixel);
    const int heightPx = qRound(p.height / twipsPerPixel);
    setGeometry(whole.x() + qRound(p.left / twipsPerPixel), work.y(), widthPx, heightPx);

    setWindowTitle(captions::ProgramName);
    state_.FormHeightAtLoad = static_cast<float>(p.height);
    state_.FormWidthAtLoad = static_cast<float>(p.width);
    scale_.logicalWidth = p.width;
    scale_.logicalHeight = p.height;
    layoutFrames();

    if (!FontSet()) prompter_.message(captions::FontFailed);
    if (!HasFineSteadyClock()) {
        QApplication::beep();
        prompter_.message(captions::NoPerformanceCounter, PromptIcon::Critical);
    }
}

void frmMain::start() {
    state_.Initialising = flag::True;
    state_.StopRequested = flag::False;
    show();
    // A window manager adds its frame around the client: keep the whole window on the work area.
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (frame.height() > client.height())
        resize(client.width() - (frame.width() - client.width()),
               client.height() - (frame.height() - client.height()));

    showScore_->setChecked(state_.settings.ShowScore == flag::True);
    state_.settings.ShowDiagram = flag::True;
    showDiagram_->setChecked(true);
    showKeyboard_->setChecked(state_.settings.ShowKeyboard == flag::True);
    playMenu_->setEnabled(state_.settings.StudyType >= 3);
    state_.Initialising = flag::False;
}

void frmMain::toggleView(std::int16_t& viewFlag, QAction* item) {
    ToggleFlag(viewFlag);
    item->setChecked(viewFlag == flag::True);
}

bool frmMain::FontSet() {
    state_.MusicFontPath = state_.programFolder + QStringLiteral("/ZEPHMUSIC.ttf");
    state_.MusicFontName = QStringLiteral("ZephMusicFont");
    return musicFont_.install(state_.MusicFontPath, state_.MusicFontName);
}

void frmMain::FontReset() {
    musicFont_.remove();
}

bool frmMain::Form_QueryUnload() {
    if (!prompter_.askYesNo(captions::QuitQuestion)) return false;
    state_.StopRequested = flag::True;
    StoreUserFilePath(state_.settings);
    int mode = settings_file::SaveMode;
    SettingsFileIO(mode, state_.settings, state_.programFolder, prompter_);
    return true;
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    FontReset();
    QCoreApplication::quit();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    if (!Form_QueryUnload()) {
        event->ignore();
        return;
    }
    event->accept();
    Form_Unload();
}

} // namespace orbel
