// The main window: its parts made and wired together, its size and layout, the start of a run and its end.
// Thread: the window's.

#include "ui/frm_main.h"

#include "app/program_folder.h"
#include "app/prompter.h"
#include "app/window_sizing.h"
#include "sound/midi1.h"
#include "theory/vocabulary.h"
#include "ui/captions.h"
#include "ui/controls_binding.h"
#include "ui/frame_fit.h"
#include "ui/frm_colset.h"
#include "ui/key_commands.h"
#include "ui/play_display.h"
#include "ui/study_frame.h"
#include "ui/study_views.h"
#include "ui/view_area.h"
#include "ui/view_presses.h"
#include "views/circle_view.h"
#include "views/view_set.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <chrono>

namespace orbel {

namespace {

static constexpr int FormFontSize = 20;

// Reference tones sound while their button is held.
namespace reference_tone {
static constexpr int BFlat = 34;
static constexpr int A = 33;
static constexpr int Velocity = 127;
} // namespace reference_tone

// The deadline waits need a steady clock finer than a millisecond.
bool HasFineSteadyClock() {
    using Clock = std::chrono::steady_clock;
    return Clock::is_steady && std::chrono::duration<double>(Clock::duration(1)).count() <= 1e-6;
}

} // namespace

frmMain::frmMain(ProgramState& state, Prompter& prompter, Midi1& midi, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter), midi_(midi) {
    setObjectName(QStringLiteral("frmMain"));
    views_ = std::make_unique<ViewSet>([this](const QRectF& area) {
        if (surface_ == nullptr) return;
        if (area.isNull()) {
            surface_->update();
            return;
        }
        // The views speak in logical units, y upward; the widget in pixels, y downward.
        const QRectF pixels(QPointF(scale_.xToPixel(area.left()), scale_.yToPixel(area.bottom())),
                            QPointF(scale_.xToPixel(area.right()), scale_.yToPixel(area.top())));
        surface_->update(pixels.normalized().toAlignedRect().adjusted(-2, -2, 2, 2));
    });
    surface_ = new ViewArea(*views_, this);
    setCentralWidget(surface_);
    panel_ = std::make_unique<ControlPanel>(surface_);
    settingsModel_ = new SettingsModel(state_.settings, this);
    menus_ = std::make_unique<MainMenus>(*this, state_, prompter_, midi_, *settingsModel_,
                                         static_cast<MenuHost&>(*this), static_cast<TourHost&>(*this));
    studyFrame_ = std::make_unique<StudyFrame>(*panel_, *menus_->playMenu(), *surface_,
                                               [this] { studyViews_->draw(); });
    study_ = std::make_unique<StudyController>(state_, prompter_, midi_, *studyFrame_);
    studyViews_ = std::make_unique<StudyViews>(state_, prompter_, scale_, *views_, *study_, *this);
    playDisplay_ = std::make_unique<PlayDisplay>(*panel_, *views_, *studyViews_, state_.settings);
    play_ = std::make_unique<PlayController>(state_, prompter_, *study_, *playDisplay_, *this);
    binding_ = std::make_unique<ControlsBinding>(*panel_, menus_->viewItems(), *settingsModel_, *play_,
                                                 [this](ChangeEffects effects) { follow(effects); });
    presses_ = std::make_unique<ViewPresses>(scale_, *views_, *studyViews_, midi_, state_.settings, *study_);
    keys_ = std::make_unique<KeyCommands>(*panel_, *study_, state_.programFolder,
                                          [this] { menus_->showAbout(); });
    connectControls();
    // Key commands reach the window before whichever control has the focus, and the views' presses and
    // resizes come the same way: one filter, so that each event is handled once.
    qApp->installEventFilter(this);
}

frmMain::~frmMain() {
    // The windows the menus opened go first: the tour works on the window's controls.
    menus_.reset();
    FontReset();
}

void frmMain::connectControls() {
    ControlPanel& c = *panel_;
    StudyController* study = study_.get();
    connect(c.studyTypeList, &QComboBox::currentIndexChanged, study, &StudyController::studyTypeChosen);
    connect(c.itemList, &QComboBox::currentIndexChanged, study, &StudyController::itemChosen);
    connect(c.keyModeList, &QComboBox::currentIndexChanged, study,
            [study](int entry) { study->iiviModeChosen(0, entry); });
    connect(c.treatmentList, &QComboBox::currentIndexChanged, study,
            [study](int entry) { study->iiviModeChosen(1, entry); });
    connect(c.favouriteBox, &QCheckBox::clicked, study, &StudyController::favouriteToggled);

    connect(c.quitButton, &QPushButton::clicked, this, &QWidget::close);
    connect(c.switchesButton, &QPushButton::clicked, menus_.get(), &MainMenus::showSoundSwitches);
    connect(c.rootUpButton, &QPushButton::clicked, study, [study] { study->rootStep(1); });
    connect(c.rootDownButton, &QPushButton::clicked, study, [study] { study->rootStep(-1); });
    connect(c.octaveUpButton, &QPushButton::clicked, study, [study] { study->octaveStep(1); });
    connect(c.octaveDownButton, &QPushButton::clicked, study, [study] { study->octaveStep(-1); });

    const std::pair<QPushButton*, int> references[] = {{c.referenceBFlatButton, reference_tone::BFlat},
                                                       {c.referenceAButton, reference_tone::A}};
    for (auto [button, pitch] : references) {
        connect(button, &QPushButton::pressed, this, [this, pitch = pitch] {
            midi_.MidiNoteOnConcert(midi_channels::ReferenceTone, pitch, reference_tone::Velocity);
        });
        connect(button, &QPushButton::released, this,
                [this] { midi_.MidiAllNotesOff(midi_channels::ReferenceTone); });
    }
}

void frmMain::follow(ChangeEffects effects) {
    if (effects.programChanges) midi_.SendProgramChanges();
    if (effects.rebuild) study_->rebuild(false);
    if (effects.live) play_->publishLive();
}

QWidget* frmMain::control(Control role) const {
    return findChild<QWidget*>(QString::fromLatin1(ObjectName(role)));
}

std::optional<QPoint> frmMain::rootNamePoint(int pitchClass, bool nudged) const {
    return studyViews_->rootNamePoint(pitchClass, nudged);
}

std::optional<QPoint> frmMain::keyPoint(int key) const {
    return studyViews_->keyPoint(key);
}

CircleDiagram frmMain::CircleFor() const {
    return studyViews_->circle();
}

void frmMain::layoutControls() {
    scale_.pixelWidth = std::max(1, surface_->width());
    scale_.pixelHeight = std::max(1, surface_->height());
    views_->resize(surface_->size(), surface_->devicePixelRatioF(), scale_.logicalWidth,
                   scale_.logicalHeight);
    panel_->layout(scale_);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == surface_ && event->type() == QEvent::Resize) layoutControls();
    if (watched == surface_ && event->type() == QEvent::MouseButtonPress)
        presses_->press(static_cast<QMouseEvent*>(event)->position());
    if (watched == surface_ && event->type() == QEvent::MouseButtonRelease) presses_->release();
    if (event->type() == QEvent::KeyPress) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && keys_->keyPressed(*widget, *static_cast<QKeyEvent*>(event))) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Load() {
    state_.sequence.OctaveShift = 0;

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
    // The window manager's frame, title bar and all, stays on the work area.
    new FrameFit(*this, FrameOnWorkArea(p, twipsPerPixel, whole, work));

    setWindowTitle(captions::ProgramName);
    state_.FormHeightAtLoad = static_cast<float>(p.height);
    state_.FormWidthAtLoad = static_cast<float>(p.width);
    scale_.logicalWidth = p.width;
    scale_.logicalHeight = p.height;
    layoutControls();

    if (!FontSet()) prompter_.message(captions::FontFailed);
    if (!HasFineSteadyClock()) {
        QApplication::beep();
        prompter_.message(captions::NoPerformanceCounter, PromptIcon::Critical);
    }
}

void frmMain::start() {
    Settings& s = state_.settings;
    state_.Initialising = flag::True;
    midi_.InitSoundTables();
    show();

    // A stored tempo outside the bar's range starts at one it can show; the diagram is always shown.
    s.Tempo = static_cast<std::int16_t>(StartingTempo(s.Tempo));
    s.ShowDiagram = true;

    InitIIVITables(state_.iiviTables);

    studyFrame_->fillLists(s);
    if (s.StudyType > 4) s.StudyType = 4;
    // The item list is filled once, by the study-type change below: filling it here as well would only
    // read the file twice and repeat any message about it.

    // Every control shows its setting as the settings file had it.
    binding_->showAll();
    // The tempo the run starts with is the user's, as the bar now shows it.
    play_->tempoChosen(s.Tempo);
    play_->publishLive();

    state_.Initialising = flag::False;
    selectStudyType(s.StudyType);
    midi_.SendProgramChanges();
    study_->rebuild(false);
}

void frmMain::selectStudyType(int index) {
    {
        const QSignalBlocker block(panel_->studyTypeList);
        panel_->studyTypeList->setCurrentIndex(index);
    }
    study_->studyTypeChosen(panel_->studyTypeList->currentIndex());
}

void frmMain::nameUserEntry(const std::string& path) {
    studyFrame_->nameUserEntry(path);
}

void frmMain::soundSettingsApplied() {
    midi_.SendProgramChanges();
    // The bar and box follow the committed tempo; the tempo set in the window is the user's.
    play_->tempoChosen(state_.settings.Tempo);
    study_->rebuild(false);
}

QDialog* frmMain::showColourSettings() {
    return menus_->showColourSettings();
}

void frmMain::setClickSound(int entry) {
    settingsModel_->set<&Settings::ClickSound>(static_cast<std::int16_t>(entry));
}

bool frmMain::FontSet() {
    state_.MusicFontPath = ResourceFolderFor(state_.programFolder) + QStringLiteral("/ZEPHMUSIC.ttf");
    state_.MusicFontName = QStringLiteral("ZephMusicFont");
    return musicFont_.install(state_.MusicFontPath, state_.MusicFontName);
}

void frmMain::FontReset() {
    musicFont_.remove();
}

bool frmMain::askToQuit() {
    if (!prompter_.askYesNo(captions::QuitQuestion)) return false;
    prepareToQuit();
    return true;
}

void frmMain::quitWithoutAsking() {
    if (unloaded_) return;
    prepareToQuit();
    unload();
}

void frmMain::prepareToQuit() {
    // Nothing may sound once the user has said yes: the player has sent its last message before the reset.
    play_->stopAndWait();
    midi_.MidiReset();
    study_->saveUserFavourites();
    menus_->saveSettings();
}

void frmMain::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    midi_.MidiClose();
    FontReset();
    QCoreApplication::quit();
}

void frmMain::endWithoutSaving() {
    // The player sends its last note before the reset; the window then closes without asking.
    play_->stopAndWait();
    midi_.MidiReset();
    unloaded_ = true;
    midi_.MidiClose();
    FontReset();
    close();
    QCoreApplication::quit();
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    if (!askToQuit()) {
        event->ignore();
        return;
    }
    event->accept();
    unload();
}

} // namespace orbel
