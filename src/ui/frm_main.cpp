// The main window: its parts made and wired together, its size and layout, the start of a run and its end,
// and what the controllers have it show.
// Thread: the window's.

#include "ui/frm_main.h"

#include "app/program_folder.h"
#include "app/prompter.h"
#include "app/settings_file.h"
#include "app/window_sizing.h"
#include "datafiles/atomic_save.h"
#include "datafiles/narrow_text.h"
#include "sound/background_player.h"
#include "sound/midi1.h"
#include "sound/play_timing.h"
#include "sound/synth_output.h"
#include "theory/kihon.h"
#include "theory/note_names.h"
#include "theory/numbers.h"
#include "theory/prepare_build.h"
#include "theory/sequence_builder.h"
#include "theory/title_text.h"
#include "ui/captions.h"
#include "ui/frame_fit.h"
#include "ui/frm_colset.h"
#include "ui/view_area.h"
#include "views/circle_content.h"
#include "views/circle_layout.h"
#include "views/circle_view.h"
#include "views/staff_layout.h"
#include "views/view_set.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <chrono>
#include <cmath>

namespace orbel {

namespace {

// The colour swatches of the keyboard: the keys of the sequence, and the key being played.
namespace swatch {
static constexpr std::size_t KeyboardEntry = 5;
static constexpr std::size_t KeyboardHit = 6;
} // namespace swatch

static constexpr int FormFontSize = 20;
static constexpr int KeyPressVelocity = 127;
// A press on the circle sets the root of the pitch class whose name lies within this many logical units.
static constexpr double CirclePressReach = 500;
static constexpr int RepeatChoices = 20;

// Reference tones sound while their button is held.
namespace reference_tone {
static constexpr int BFlat = 34;
static constexpr int A = 33;
static constexpr int Velocity = 127;
} // namespace reference_tone

const QStringList StudyTypeEntries = {QStringLiteral(" スケール"), QStringLiteral(" コード"),
                                      QStringLiteral(" ⅡⅤⅠパターン"), QStringLiteral(" ⅡⅤⅠフレーズ")};
const QStringList KeyModeEntries = {QStringLiteral(" メジャー"), QStringLiteral(" マイナー")};
const QStringList TreatmentEntries = {QStringLiteral(" ミクソリディアン"), QStringLiteral(" コンデミ"),
                                      QStringLiteral(" オルタード"), QStringLiteral(" ホールトーン"),
                                      QStringLiteral(" Ⅱ♭７")};

// The deadline waits need a steady clock finer than a millisecond.
bool HasFineSteadyClock() {
    using Clock = std::chrono::steady_clock;
    return Clock::is_steady && std::chrono::duration<double>(Clock::duration(1)).count() <= 1e-6;
}

// Where the window's key commands act. In every window of the program, whatever control has the focus: a
// check box or a button never takes Space. A modal window or a popup (a message, a file or colour chooser,
// an open list or menu) keeps its keys, except that Space still stops the music, unless the focus is in a
// box for typed text.
enum class KeyReach { All, StopOnly, None };
KeyReach KeyCommandsReach(const QWidget& focus) {
    const QWidget* window = focus.window();
    if (window->windowModality() == Qt::NonModal && window->windowType() != Qt::Popup) return KeyReach::All;
    return focus.testAttribute(Qt::WA_InputMethodEnabled) ? KeyReach::None : KeyReach::StopOnly;
}

Qt::CheckState CheckFrom(bool on) {
    return on ? Qt::Checked : Qt::Unchecked;
}
// A view switch as the circle's layout takes it: −1 shown, 0 hidden.
int ViewFlag(bool shown) {
    return shown ? flag::True : flag::False;
}

} // namespace

frmMain::frmMain(ProgramState& state, Prompter& prompter, Midi1& midi, QWidget* parent)
    : QMainWindow(parent), state_(state), prompter_(prompter), midi_(midi),
      study_(std::make_unique<StudyController>(state, prompter, midi, static_cast<StudyScreen&>(*this))),
      play_(std::make_unique<PlayController>(state, prompter, *study_, static_cast<PlayScreen&>(*this),
                                             *this)) {
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
    // Key commands reach the window before whichever control has the focus, and the views' presses and
    // resizes come the same way: one filter, so that each event is handled once.
    qApp->installEventFilter(this);
    panel_ = std::make_unique<ControlPanel>(surface_);
    settingsModel_ = new SettingsModel(state_.settings, this);
    connect(settingsModel_, &SettingsModel::changed, this, &frmMain::settingChanged);
    menus_ = std::make_unique<MainMenus>(*this, state_, prompter_, midi_, *settingsModel_,
                                         static_cast<MenuHost&>(*this), static_cast<TourHost&>(*this));
    viewItems_ = menus_->viewItems();
    connectControls();
}

frmMain::~frmMain() {
    // The windows the menus opened go first: the tour works on the window's controls.
    menus_.reset();
    FontReset();
}

void frmMain::connectControls() {
    ControlPanel& c = *panel_;
    SettingsModel& m = *settingsModel_;
    StudyController* study = study_.get();
    connect(c.studyTypeList, &QComboBox::currentIndexChanged, study, &StudyController::studyTypeChosen);
    connect(c.itemList, &QComboBox::currentIndexChanged, study, &StudyController::itemChosen);
    connect(c.keyModeList, &QComboBox::currentIndexChanged, study,
            [study](int entry) { study->iiviModeChosen(0, entry); });
    connect(c.treatmentList, &QComboBox::currentIndexChanged, study,
            [study](int entry) { study->iiviModeChosen(1, entry); });
    connect(c.repeatCountList, &QComboBox::currentIndexChanged, this, [&m](int index) {
        if (index >= 0) m.set<&Settings::RepeatCount>(static_cast<std::int16_t>(index + 1));
    });
    connect(c.tempoBar, &QScrollBar::valueChanged, this, &frmMain::tempoBarMoved);
    connect(c.tempoBox, &QLineEdit::editingFinished, this, &frmMain::tempoTyped);

    // The switches change the settings; what follows a change is settingChanged's.
    connect(c.keyboardRootBox, &QCheckBox::clicked, this,
            [&m](bool on) { m.set<&Settings::KeyboardSetsRoot>(on); });
    connect(c.repeatBox, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::RepeatOn>(on); });
    connect(c.concertPitchBox, &QCheckBox::clicked, this,
            [&m](bool on) { m.set<&Settings::ConcertPitchPlay>(on); });
    connect(c.entryDisplayBox, &QCheckBox::clicked, this,
            [&m](bool on) { m.set<&Settings::EntryDisplay>(on); });
    connect(c.swingBox, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::SwingOn>(on); });
    connect(c.favouriteBox, &QCheckBox::clicked, study, &StudyController::favouriteToggled);
    connect(c.upDownBox, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::UpDown>(on); });
    for (int i = 0; i < 4; ++i) {
        connect(c.progressionOptions[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [&m, i] { m.set<&Settings::RootProgression>(static_cast<std::int16_t>(i)); });
    }

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
    // The menu's check follows the setting (settingChanged), and the views are drawn again.
    connect(viewItems_.score, &QAction::triggered, this,
            [this] { settingsModel_->set<&Settings::ShowScore>(!state_.settings.ShowScore); });
    connect(viewItems_.keyboard, &QAction::triggered, this,
            [this] { settingsModel_->set<&Settings::ShowKeyboard>(!state_.settings.ShowKeyboard); });
}

QWidget* frmMain::control(Control role) const {
    return findChild<QWidget*>(QString::fromLatin1(ObjectName(role)));
}

std::optional<QPoint> frmMain::rootNamePoint(int pitchClass, bool nudged) const {
    const CircleDiagram circle = CircleFor();
    const auto pc = static_cast<std::size_t>(pitchClass % pitch_classes::Count);
    double x = circle.points[circle_sets::NameX][pc];
    double y = circle.points[circle_sets::NameY][pc];
    if (nudged) {
        // A quarter of a digit's width in and three tenths of its height up from where the name is placed.
        static constexpr double NudgeAcross = 0.25;
        static constexpr double NudgeUp = 0.3;
        const QSizeF digit = views_->degreeTextSize(circle.place.degreeSize);
        x += digit.width() * NudgeAcross;
        y += digit.height() * NudgeUp;
    }
    return QPointF(scale_.xToPixel(x), scale_.yToPixel(y)).toPoint();
}

std::optional<QPoint> frmMain::keyPoint(int key) const {
    if (!views_->keyboardShown() || key < 1 || key > keyboard::KeyCount) return std::nullopt;
    const KeyRect& r = views_->keyboard().keys()[static_cast<std::size_t>(key)];
    return QPointF(scale_.xToPixel((r.left + r.right) / 2.0), scale_.yToPixel((r.bottom + r.top) / 2.0))
        .toPoint();
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
        Form_MouseDown(static_cast<QMouseEvent*>(event)->position());
    if (watched == surface_ && event->type() == QEvent::MouseButtonRelease) Form_MouseUp();
    if (event->type() == QEvent::KeyPress) {
        if (auto* widget = qobject_cast<QWidget*>(watched)) {
            const auto* key = static_cast<QKeyEvent*>(event);
            switch (KeyCommandsReach(*widget)) {
            case KeyReach::All:
                if (Form_KeyDown(key->key(), key->modifiers())) return true;
                break;
            case KeyReach::StopOnly:
                if (key->key() == Qt::Key_Space && !panel_->playButton->isEnabled() &&
                    Form_KeyDown(key->key(), key->modifiers()))
                    return true;
                break;
            case KeyReach::None:
                break;
            }
        }
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
    ControlPanel& c = *panel_;
    Settings& s = state_.settings;
    state_.Initialising = flag::True;
    midi_.InitSoundTables();
    show();

    // A stored tempo outside the bar's range starts at one it can show; the diagram is always shown.
    s.Tempo = static_cast<std::int16_t>(StartingTempo(s.Tempo));
    s.ShowDiagram = true;

    InitIIVITables(state_.iiviTables);

    {
        const QSignalBlocker block(c.studyTypeList);
        c.studyTypeList->clear();
        c.studyTypeList->addItems(StudyTypeEntries);
        c.studyTypeList->addItem(QString());
        if (!s.UserFilePath.empty()) nameUserEntry(s.UserFilePath);
        c.studyTypeList->setCurrentIndex(-1);
    }
    if (s.StudyType > 4) s.StudyType = 4;
    // The item list is filled once, by the study-type change below: filling it here as well would only
    // read the file twice and repeat any message about it.

    {
        const QSignalBlocker block3(c.keyModeList);
        const QSignalBlocker block4(c.treatmentList);
        const QSignalBlocker block5(c.repeatCountList);
        c.keyModeList->clear();
        c.keyModeList->addItems(KeyModeEntries);
        c.keyModeList->setCurrentIndex(s.IIVIMode[0] >= 0 && s.IIVIMode[0] < 2 ? s.IIVIMode[0] : 0);
        c.treatmentList->clear();
        c.treatmentList->addItems(TreatmentEntries);
        c.treatmentList->setCurrentIndex(s.IIVIMode[1] >= 0 && s.IIVIMode[1] < 5 ? s.IIVIMode[1] : 0);
        c.repeatCountList->clear();
        for (int n = 1; n <= RepeatChoices; ++n)
            c.repeatCountList->addItem(QStringLiteral("%1 回").arg(n));
    }
    // Every control shows its setting as the settings file had it.
    ForEachSettingsField(
        [this](const auto&, auto index) { showSetting(SettingsFieldId(decltype(index)::value)); });
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
    const std::string base = PathPart(path, path_part::BaseName);
    const QSignalBlocker block(panel_->studyTypeList);
    panel_->studyTypeList->setItemText(study_type::UserPhrase,
                                       NarrowText(QString::fromStdString(base)) + QLatin1Char(' '));
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

void frmMain::showRowsFor(int studyType) {
    ControlPanel& c = *panel_;
    c.favouriteBox->hide();
    menus_->playMenu()->setEnabled(false);
    const bool pattern = studyType == study_type::IIVIPattern;
    const bool phrase = studyType >= study_type::IIVIPhrase;
    for (QWidget* w : {static_cast<QWidget*>(c.keyModeList), static_cast<QWidget*>(c.treatmentList),
                       static_cast<QWidget*>(c.keyModeLabel), static_cast<QWidget*>(c.treatmentLabel)})
        w->setVisible(pattern);
    c.upDownBox->setVisible(!pattern && !phrase);
    if (phrase) {
        menus_->playMenu()->setEnabled(true);
        c.favouriteBox->show();
    }
}

void frmMain::listItems(const QStringList& entries) {
    QComboBox* list = panel_->itemList;
    const QSignalBlocker block(list);
    list->clear();
    list->addItems(entries);
    list->setCurrentIndex(-1);
}

int frmMain::shownItem() const {
    return panel_->itemList->currentIndex();
}

int frmMain::itemCount() const {
    return panel_->itemList->count();
}

void frmMain::markItem(int index) {
    const QSignalBlocker block(panel_->itemList);
    panel_->itemList->setCurrentIndex(index);
}

void frmMain::showFavourite(bool on) {
    panel_->favouriteBox->setChecked(on);
}

void frmMain::showKeyboardOptions(bool shown) {
    ControlPanel& c = *panel_;
    for (QCheckBox* box : {c.keyboardRootBox, c.concertPitchBox, c.entryDisplayBox})
        box->setVisible(shown);
    surface_->update();
}

void frmMain::tempoBarMoved(int value) {
    // The play controller tells the user's move from the bar following the ramp; the box follows the model.
    play_->tempoChosen(value);
    settingsModel_->set<&Settings::Tempo>(static_cast<std::int16_t>(value));
}

void frmMain::tempoTyped() {
    const int tempo = play_->tempoTyped(panel_->tempoBox->text());
    // The bar stays where it is, and the box shows what plays.
    tempoTyped_ = true;
    settingsModel_->set<&Settings::Tempo>(static_cast<std::int16_t>(tempo));
    tempoTyped_ = false;
    panel_->tempoBox->setText(QString::number(tempo));
}

void frmMain::settingChanged(SettingsFieldId field) {
    showSetting(field);
    if (field == FieldId<&Settings::EntryDisplay> || field == FieldId<&Settings::ShowScore> ||
        field == FieldId<&Settings::ShowKeyboard>) {
        midi_.SendProgramChanges();
        study_->rebuild(false);
    } else if (field == FieldId<&Settings::UpDown>) {
        study_->rebuild(false);
    }
    if (IsLiveField(field)) play_->publishLive();
}

void frmMain::showSetting(SettingsFieldId field) {
    ControlPanel& c = *panel_;
    const Settings& s = state_.settings;
    const std::pair<SettingsFieldId, std::pair<QCheckBox*, bool>> boxes[] = {
        {FieldId<&Settings::KeyboardSetsRoot>, {c.keyboardRootBox, s.KeyboardSetsRoot}},
        {FieldId<&Settings::RepeatOn>, {c.repeatBox, s.RepeatOn}},
        {FieldId<&Settings::ConcertPitchPlay>, {c.concertPitchBox, s.ConcertPitchPlay}},
        {FieldId<&Settings::EntryDisplay>, {c.entryDisplayBox, s.EntryDisplay}},
        {FieldId<&Settings::SwingOn>, {c.swingBox, s.SwingOn}},
        {FieldId<&Settings::UpDown>, {c.upDownBox, s.UpDown}},
    };
    for (const auto& [id, box] : boxes)
        if (id == field) box.first->setCheckState(CheckFrom(box.second));
    const std::pair<SettingsFieldId, std::pair<QAction*, bool>> views[] = {
        {FieldId<&Settings::ShowScore>, {viewItems_.score, s.ShowScore}},
        {FieldId<&Settings::ShowDiagram>, {viewItems_.diagram, s.ShowDiagram}},
        {FieldId<&Settings::ShowKeyboard>, {viewItems_.keyboard, s.ShowKeyboard}},
    };
    for (const auto& [id, view] : views)
        if (id == field) view.first->setChecked(view.second);

    if (field == FieldId<&Settings::Tempo>) {
        c.tempoBox->setText(QString::number(s.Tempo));
        if (!tempoTyped_) {
            const QSignalBlocker block(c.tempoBar);
            c.tempoBar->setValue(s.Tempo);
        }
    } else if (field == FieldId<&Settings::RepeatCount> && c.repeatCountList->count() > 0) {
        // The list offers up to 20; a larger stored count shows as 20 and plays as stored.
        const QSignalBlocker block(c.repeatCountList);
        c.repeatCountList->setCurrentIndex(std::clamp<int>(s.RepeatCount - 1, 0, RepeatChoices - 1));
    } else if (field == FieldId<&Settings::RootProgression> && s.RootProgression >= 0 &&
               s.RootProgression < 4) {
        c.progressionOptions[static_cast<std::size_t>(s.RootProgression)]->setChecked(true);
    }
}

void frmMain::DrawScore() {
    const Settings& s = state_.settings;
    const double viewsRight = RightColumnLeft(scale_.logicalWidth);
    const KeyboardContent keyboard =
        KeyboardFor(state_.sequence, s.ShowKeyboard, s.EntryDisplay, s.StudyType,
                    s.ViewColour[swatch::KeyboardEntry], s.ViewColour[swatch::KeyboardHit], viewsRight);
    const CircleDiagram circle = CircleFor();
    if (!s.ShowScore) {
        views_->show({}, keyboard, circle);
        return;
    }
    const StaffFrame frame{scale_.logicalWidth, scale_.logicalHeight, viewsRight, state_.LayoutMode};
    StaffLayout staff = LayOutStaff(state_.sequence, {s.StudyType, s.UpDown, s.RootKey}, frame);
    for (const QString& message : staff.messages)
        prompter_.message(message);
    if (!staff.marks.empty())
        LayOutTitles(staff, QString::fromStdString(study_->TitleText()),
                     s.StudyType > study_type::IIVIPattern ? QString::fromStdString(study_->CommentText())
                                                           : QString(),
                     state_.LayoutMode);
    views_->show(staff, keyboard, circle);
}

CircleDiagram frmMain::CircleFor() const {
    const Settings& s = state_.settings;
    const CircleFrame frame{scale_.logicalHeight,  RightColumnLeft(scale_.logicalWidth),
                            state_.LayoutMode,     s.StudyType,
                            ViewFlag(s.ShowScore), ViewFlag(s.ShowKeyboard)};
    CircleDiagram d;
    d.place = CircleLayout(frame);
    const QSizeF digit = views_->degreeTextSize(d.place.degreeSize);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const double screenHeight = screen->geometry().height() * TwipsPerPixel(screen->logicalDotsPerInch());
    d.points = ComputeCircleGeometry(d.place, frame, digit.width(), digit.height(), screenHeight);

    d.content = CircleContentFor(state_, study_->currentItem(), d.points);
    return d;
}

bool frmMain::FontSet() {
    state_.MusicFontPath = ResourceFolderFor(state_.programFolder) + QStringLiteral("/ZEPHMUSIC.ttf");
    state_.MusicFontName = QStringLiteral("ZephMusicFont");
    return musicFont_.install(state_.MusicFontPath, state_.MusicFontName);
}

void frmMain::FontReset() {
    musicFont_.remove();
}

void frmMain::Form_MouseDown(QPointF pixel) {
    soundedKey_ = 0;
    keyHeld_ = false;
    const double x = scale_.pixelToX(pixel.x());
    const double y = scale_.pixelToY(pixel.y());
    if (!views_->keyboardShown() || y > views_->keyboardTop()) {
        CirclePress(x, y);
        return;
    }
    const std::optional<int> key = views_->keyAt(x, y);
    if (!key) return;
    keyHeld_ = true;
    views_->pressKey(*key);
    soundedKey_ = *key;
    const int pitch = *key + keyboard::LowestPitch - 1;
    const Settings& s = state_.settings;
    if (s.ConcertPitchPlay) {
        midi_.MidiNoteOnConcert(midi_channels::Melody, pitch, KeyPressVelocity);
    } else {
        midi_.MidiNoteOn(midi_channels::Melody, pitch, KeyPressVelocity);
    }
    study_->keyPressed(pitch);
}

void frmMain::CirclePress(double x, double y) {
    // The pitch class whose name lies nearest, when one is near enough; a stray press leaves the root.
    const CircleGeometry points = CircleFor().points;
    for (int pc = 0; pc < 12; ++pc) {
        const auto p = static_cast<std::size_t>(pc);
        const double dx = points[circle_sets::NameX][p] - x;
        const double dy = points[circle_sets::NameY][p] - y;
        if (std::sqrt(dx * dx + dy * dy) >= CirclePressReach) continue;
        study_->rootChosen(pc);
        return;
    }
}

void frmMain::Form_MouseUp() {
    if (keyHeld_) {
        views_->DrawKeys();
        if (soundedKey_ != 0) midi_.MidiAllNotesOff(midi_channels::Melody);
    }
    study_->keyReleased(soundedKey_ != 0);
    keyHeld_ = false;
}

bool frmMain::Form_KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    ControlPanel& c = *panel_;
    const bool ctrl = modifiers.testFlag(Qt::ControlModifier);
    if (ctrl && key == Qt::Key_F8) {
        menus_->showAbout();
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
