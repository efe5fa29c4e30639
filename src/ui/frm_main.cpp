#include "ui/frm_main.h"
#include "app/program_folder.h"

#include "app/os_version.h"
#include "app/prompter.h"
#include "app/settings_file.h"
#include "app/window_sizing.h"
#include "datafiles/narrow_text.h"
#include "datafiles/phrase_file.h"
#include "sound/background_player.h"
#include "sound/live_settings.h"
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
#include "ui/frm_about_me.h"
#include "ui/main_set.h"
#include "ui/sample.h"
#include "ui/tempo_entry.h"
#include "ui/tour/frm_introduce.h"
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
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
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
static constexpr double MidiSelectorFromOs = 5.99;
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
// A favourite mark as the phrase list keeps it.
std::int16_t CheckValue(bool checked) {
    return checked ? 1 : 0;
}

} // namespace

frmMain::frmMain(ProgramState& state, Prompter& prompter, Midi1& midi, QWidget* parent)
    : QMainWindow(parent), state_(state), session_(state), prompter_(prompter), midi_(midi) {
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
    buildMenus();
    connectControls();
}

frmMain::~frmMain() {
    // The tour works on the window's controls: it goes while they are still there.
    delete tour_;
    FontReset();
}

void frmMain::connectControls() {
    ControlPanel& c = *panel_;
    SettingsModel& m = *settingsModel_;
    connect(c.Combo2, &QComboBox::currentIndexChanged, this, &frmMain::Combo2_Click);
    connect(c.Combo1, &QComboBox::currentIndexChanged, this, &frmMain::Combo1_Click);
    connect(c.Combo3, &QComboBox::currentIndexChanged, this, &frmMain::Combo3_Click);
    connect(c.Combo4, &QComboBox::currentIndexChanged, this, &frmMain::Combo4_Click);
    connect(c.Combo5, &QComboBox::currentIndexChanged, this, [&m](int index) {
        if (index >= 0) m.set<&Settings::RepeatCount>(static_cast<std::int16_t>(index + 1));
    });
    connect(c.VScroll1, &QScrollBar::valueChanged, this, &frmMain::VScroll1_Change);
    connect(c.Text1, &QLineEdit::editingFinished, this, [this] { Text1_Change(panel_->Text1->text()); });

    // The switches change the settings; what follows a change is settingChanged's.
    connect(c.Check1, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::KeyboardSetsRoot>(on); });
    connect(c.Check2, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::RepeatOn>(on); });
    connect(c.Check3, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::ConcertPitchPlay>(on); });
    connect(c.Check5, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::EntryDisplay>(on); });
    connect(c.Check6, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::SwingOn>(on); });
    connect(c.Check8, &QCheckBox::clicked, this, &frmMain::Check8_Click);
    connect(c.Check9, &QCheckBox::clicked, this, [&m](bool on) { m.set<&Settings::UpDown>(on); });
    for (int i = 0; i < 4; ++i) {
        connect(c.Option1[static_cast<std::size_t>(i)], &QRadioButton::clicked, this,
                [&m, i] { m.set<&Settings::RootProgression>(static_cast<std::int16_t>(i)); });
    }

    connect(c.Command1, &QPushButton::clicked, this, &QWidget::close);
    connect(c.Command10, &QPushButton::clicked, this, &frmMain::showSoundSwitches);
    connect(c.Command3, &QPushButton::clicked, this, [this] { RootStep(1); });
    connect(c.Command4, &QPushButton::clicked, this, [this] { RootStep(-1); });
    connect(c.Command11[0], &QPushButton::clicked, this, [this] { OctaveStep(1); });
    connect(c.Command11[1], &QPushButton::clicked, this, [this] { OctaveStep(-1); });

    const std::pair<QPushButton*, int> references[] = {{c.Command2, reference_tone::BFlat},
                                                       {c.Command8, reference_tone::A}};
    for (auto [button, pitch] : references) {
        connect(button, &QPushButton::pressed, this, [this, pitch = pitch] {
            midi_.MidiNoteOnConcert(midi_channels::ReferenceTone, pitch, reference_tone::Velocity);
        });
        connect(button, &QPushButton::released, this,
                [this] { midi_.MidiAllNotesOff(midi_channels::ReferenceTone); });
    }
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
                if (key->key() == Qt::Key_Space && !panel_->Command5->isEnabled() &&
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
    state_.OsVersion = CurrentOsVersion();
    midiSelect_->setEnabled(state_.OsVersion > MidiSelectorFromOs);
    state_.sequence.OctaveShift = 0;
    favouritesChanged_ = 0;

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
    state_.StopRequested = flag::False;
    midi_.InitSoundTables();
    show();

    // A stored tempo outside the bar's range starts at one it can show; the diagram is always shown.
    s.Tempo = static_cast<std::int16_t>(StartingTempo(s.Tempo));
    s.ShowDiagram = true;

    InitIIVITables(state_.iiviTables);

    {
        const QSignalBlocker block(c.Combo2);
        c.Combo2->clear();
        c.Combo2->addItems(StudyTypeEntries);
        c.Combo2->addItem(QString());
        if (!s.UserFilePath.empty()) {
            const std::string base = PathPart(s.UserFilePath, path_part::BaseName);
            c.Combo2->setItemText(4, NarrowText(QString::fromStdString(base)) + QLatin1Char(' '));
        }
        c.Combo2->setCurrentIndex(-1);
    }
    if (s.StudyType > 4) s.StudyType = 4;
    // The item list is filled once, by the study-type change below: filling it here as well would only
    // read the file twice and repeat any message about it.

    {
        const QSignalBlocker block3(c.Combo3);
        const QSignalBlocker block4(c.Combo4);
        const QSignalBlocker block5(c.Combo5);
        c.Combo3->clear();
        c.Combo3->addItems(KeyModeEntries);
        c.Combo3->setCurrentIndex(s.IIVIMode[0] >= 0 && s.IIVIMode[0] < 2 ? s.IIVIMode[0] : 0);
        c.Combo4->clear();
        c.Combo4->addItems(TreatmentEntries);
        c.Combo4->setCurrentIndex(s.IIVIMode[1] >= 0 && s.IIVIMode[1] < 5 ? s.IIVIMode[1] : 0);
        c.Combo5->clear();
        for (int n = 1; n <= RepeatChoices; ++n)
            c.Combo5->addItem(QStringLiteral("%1 回").arg(n));
    }
    // Every control shows its setting as the settings file had it.
    ForEachSettingsField(
        [this](const auto&, auto index) { showSetting(SettingsFieldId(decltype(index)::value)); });
    publishLive();

    state_.Initialising = flag::False;
    selectEntry(c.Combo2, s.StudyType, &frmMain::Combo2_Click);
    midi_.SendProgramChanges();
    Prepair4PLAY(false);
}

void frmMain::selectEntry(QComboBox* combo, int index, void (frmMain::*handler)()) {
    {
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    }
    (this->*handler)();
}

bool frmMain::studyIsPhrase() const {
    return state_.settings.StudyType >= study_type::IIVIPhrase;
}

void frmMain::Combo2_Click() {
    ControlPanel& c = *panel_;
    Settings& s = state_.settings;
    const int entry = c.Combo2->currentIndex();
    if (entry < 0) return;
    ClearSequence(state_.sequence);
    if (state_.Initialising != flag::True) s.StudyType = static_cast<std::int16_t>(entry);

    c.Check8->hide();
    playMenu_->setEnabled(false);
    const bool pattern = entry == study_type::IIVIPattern;
    const bool phrase = entry >= study_type::IIVIPhrase;
    for (QWidget* w : {static_cast<QWidget*>(c.Combo3), static_cast<QWidget*>(c.Combo4),
                       static_cast<QWidget*>(c.Label4), static_cast<QWidget*>(c.Label5)})
        w->setVisible(pattern);
    c.Check9->setVisible(!pattern && !phrase);
    if (phrase) {
        playMenu_->setEnabled(true);
        c.Check8->show();
    }

    // Favourite marks changed on a user-defined list go back into its file before the list is replaced.
    if (!s.UserFilePath.empty() && favouritesChanged_ > 0 && state_.Initialising != flag::True &&
        LastCfgScale == study_type::UserPhrase && phrasesFromUserFile_) {
        SaveFavourites(state_.study.phrases, QString::fromStdString(s.UserFilePath));
    }
    favouritesChanged_ = 0;
    LastCfgScale = s.StudyType;
    Set_combo1();
    state_.sequence.OctaveShift = 0;
}

void frmMain::Set_combo1() {
    ControlPanel& c = *panel_;
    {
        const QSignalBlocker block(c.Combo1);
        c.Combo1->clear();
    }
    const StudyItems items = session_.loadItems(state_.programFolder);
    phrasesFromUserFile_ = items.fromUserFile;
    for (const QString& message : items.messages)
        prompter_.message(message);
    {
        const QSignalBlocker block(c.Combo1);
        c.Combo1->addItems(items.entries);
        c.Combo1->setCurrentIndex(-1);
    }
    if (!items.entries.isEmpty()) selectEntry(c.Combo1, 0, &frmMain::Combo1_Click);
}

void frmMain::Combo1_Click() {
    const int entry = panel_->Combo1->currentIndex();
    if (entry < 0) return;
    state_.sequence.OctaveShift = 0;
    Settings& s = state_.settings;
    if (s.StudyType >= 0 && s.StudyType < settings_limits::StudyItemSlots)
        s.StudyItem[static_cast<std::size_t>(s.StudyType)] = static_cast<std::int16_t>(entry);
    midi_.SendProgramChanges();
    Prepair4PLAY(false);
}

void frmMain::Combo3_Click() {
    IIVIModeChanged(0, panel_->Combo3->currentIndex());
}
void frmMain::Combo4_Click() {
    IIVIModeChanged(1, panel_->Combo4->currentIndex());
}

void frmMain::IIVIModeChanged(int which, int entry) {
    if (state_.Initialising == flag::True || entry < 0) return;
    state_.sequence.OctaveShift = 0;
    const int remembered = panel_->Combo1->currentIndex();
    state_.settings.IIVIMode[static_cast<std::size_t>(which)] = static_cast<std::int16_t>(entry);
    Set_combo1();
    if (remembered >= 0 && remembered < panel_->Combo1->count())
        selectEntry(panel_->Combo1, remembered, &frmMain::Combo1_Click);
}

void frmMain::RootStep(int step) {
    session_.moveRoot(step);
    midi_.SendProgramChanges();
    // A phrase moves to the new root, as a press on the circle moves it, instead of being read again in
    // the key it is written in.
    Prepair4PLAY(true);
}

void frmMain::OctaveStep(int step) {
    state_.sequence.OctaveShift = static_cast<std::int16_t>(state_.sequence.OctaveShift + step);
    Prepair4PLAY(true);
}

void frmMain::VScroll1_Change(int value) {
    settingsModel_->set<&Settings::Tempo>(static_cast<std::int16_t>(value));
}

void frmMain::Text1_Change(const QString& text) {
    // A typed tempo applies when the box is left or Enter is pressed, kept inside the bar's range; a box
    // without a number changes nothing. The bar stays where it is, and the box shows what plays.
    const int tempo = TypedTempo(text, state_.settings.Tempo);
    tempoTyped_ = true;
    settingsModel_->set<&Settings::Tempo>(static_cast<std::int16_t>(tempo));
    tempoTyped_ = false;
    panel_->Text1->setText(QString::number(tempo));
}

void frmMain::settingChanged(SettingsFieldId field) {
    showSetting(field);
    if (field == FieldId<&Settings::EntryDisplay> || field == FieldId<&Settings::ShowScore> ||
        field == FieldId<&Settings::ShowKeyboard>) {
        midi_.SendProgramChanges();
        Prepair4PLAY(false);
    } else if (field == FieldId<&Settings::UpDown>) {
        Prepair4PLAY(false);
    }
    if (IsLiveField(field)) publishLive();
}

void frmMain::showSetting(SettingsFieldId field) {
    ControlPanel& c = *panel_;
    const Settings& s = state_.settings;
    const std::pair<SettingsFieldId, std::pair<QCheckBox*, bool>> boxes[] = {
        {FieldId<&Settings::KeyboardSetsRoot>, {c.Check1, s.KeyboardSetsRoot}},
        {FieldId<&Settings::RepeatOn>, {c.Check2, s.RepeatOn}},
        {FieldId<&Settings::ConcertPitchPlay>, {c.Check3, s.ConcertPitchPlay}},
        {FieldId<&Settings::EntryDisplay>, {c.Check5, s.EntryDisplay}},
        {FieldId<&Settings::SwingOn>, {c.Check6, s.SwingOn}},
        {FieldId<&Settings::UpDown>, {c.Check9, s.UpDown}},
    };
    for (const auto& [id, box] : boxes)
        if (id == field) box.first->setCheckState(CheckFrom(box.second));
    const std::pair<SettingsFieldId, std::pair<QAction*, bool>> views[] = {
        {FieldId<&Settings::ShowScore>, {showScore_, s.ShowScore}},
        {FieldId<&Settings::ShowDiagram>, {showDiagram_, s.ShowDiagram}},
        {FieldId<&Settings::ShowKeyboard>, {showKeyboard_, s.ShowKeyboard}},
    };
    for (const auto& [id, view] : views)
        if (id == field) view.first->setChecked(view.second);

    if (field == FieldId<&Settings::Tempo>) {
        c.Text1->setText(QString::number(s.Tempo));
        if (!tempoTyped_) {
            const QSignalBlocker block(c.VScroll1);
            c.VScroll1->setValue(s.Tempo);
        }
    } else if (field == FieldId<&Settings::RepeatCount> && c.Combo5->count() > 0) {
        // The list offers up to 20; a larger stored count shows as 20 and plays as stored.
        const QSignalBlocker block(c.Combo5);
        c.Combo5->setCurrentIndex(std::clamp<int>(s.RepeatCount - 1, 0, RepeatChoices - 1));
    } else if (field == FieldId<&Settings::RootProgression> && s.RootProgression >= 0 &&
               s.RootProgression < 4) {
        c.Option1[static_cast<std::size_t>(s.RootProgression)]->setChecked(true);
    }
}

void frmMain::Check8_Click(bool checked) {
    Settings& s = state_.settings;
    PhraseList& phrases = state_.study.phrases;
    if (s.StudyType < 0 || s.StudyType >= settings_limits::StudyItemSlots) return;
    const int item = s.StudyItem[static_cast<std::size_t>(s.StudyType)];
    if (item < 0 || item >= phrases.count()) return;
    phrases.PhraseFavourite[static_cast<std::size_t>(item)] = CheckValue(checked);
    ++favouritesChanged_;
}

void frmMain::InitAtEveryChange(int pat, int root) {
    ControlPanel& c = *panel_;
    const bool keyboardShown = state_.settings.ShowKeyboard;
    for (QCheckBox* box : {c.Check1, c.Check3, c.Check5})
        box->setVisible(keyboardShown);
    surface_->update();
    const ItemTexts texts = session_.texts(pat, root);
    titleText_ = texts.TitleText;
    if (studyIsPhrase()) commentText_ = texts.CommentText;
}

void frmMain::Prepair4PLAY(bool isChangeOnly) {
    if (state_.Initialising == flag::True) return;
    Settings& s = state_.settings;
    if (s.StudyType < 0 || s.StudyType >= settings_limits::StudyItemSlots) return;
    const int item = s.StudyItem[static_cast<std::size_t>(s.StudyType)];
    InitAtEveryChange(item, s.RootKey);
    // Patterns store the circle's points with their notes: the geometry comes first.
    state_.circle = CircleFor().points;
    reportBuild(session_.build(isChangeOnly));
    if (studyIsPhrase()) {
        panel_->Check8->setChecked(session_.isFavourite(item));
        // A phrase sets the key it is written in: name that key, not the one before the build.
        InitAtEveryChange(item, s.RootKey);
    }
    DrawScore();
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
        LayOutTitles(staff, QString::fromStdString(titleText_),
                     s.StudyType > study_type::IIVIPattern ? QString::fromStdString(commentText_) : QString(),
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

    d.content = CircleContentFor(state_, session_.currentItem(), d.points);
    return d;
}

void frmMain::reportBuild(const std::optional<std::string>& message) {
    if (message) prompter_.message(QString::fromStdString(*message));
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
    Settings& s = state_.settings;
    if (s.ConcertPitchPlay) {
        midi_.MidiNoteOnConcert(midi_channels::Melody, pitch, KeyPressVelocity);
    } else {
        midi_.MidiNoteOn(midi_channels::Melody, pitch, KeyPressVelocity);
    }
    // The sequence follows at the release.
    if (s.KeyboardSetsRoot) s.RootKey = static_cast<std::int16_t>(pitch % 12);
}

void frmMain::CirclePress(double x, double y) {
    // The pitch class whose name lies nearest, when one is near enough; a stray press leaves the root.
    const CircleGeometry points = CircleFor().points;
    for (int pc = 0; pc < 12; ++pc) {
        const auto p = static_cast<std::size_t>(pc);
        const double dx = points[circle_sets::NameX][p] - x;
        const double dy = points[circle_sets::NameY][p] - y;
        if (std::sqrt(dx * dx + dy * dy) >= CirclePressReach) continue;
        if (state_.Initialising == flag::True) return;
        state_.settings.RootKey = static_cast<std::int16_t>(pc);
        if (live_ != nullptr) live_->requestRoot(pc);
        midi_.SendProgramChanges();
        Prepair4PLAY(studyIsPhrase());
        return;
    }
}

void frmMain::Form_MouseUp() {
    if (keyHeld_) {
        views_->DrawKeys();
        if (soundedKey_ != 0) midi_.MidiAllNotesOff(midi_channels::Melody);
    }
    if (state_.settings.KeyboardSetsRoot) {
        if (live_ != nullptr && soundedKey_ != 0) live_->requestRoot(state_.settings.RootKey);
        Prepair4PLAY(studyIsPhrase());
    }
    keyHeld_ = false;
}

bool frmMain::Form_QueryUnload() {
    if (!prompter_.askYesNo(captions::QuitQuestion)) return false;
    prepareToQuit();
    return true;
}

void frmMain::quitWithoutAsking() {
    if (unloaded_) return;
    prepareToQuit();
    Form_Unload();
}

void frmMain::prepareToQuit() {
    state_.StopRequested = flag::True;
    // Nothing may sound once the user has said yes: the player has sent its last message before the reset.
    if (player_ != nullptr) player_->stopAndWait();
    midi_.MidiReset();
    Settings& s = state_.settings;
    // The user's file is written only when a favourite was toggled in it.
    if (s.StudyType == study_type::UserPhrase && phrasesFromUserFile_ && favouritesChanged_ > 0 &&
        !s.UserFilePath.empty())
        SaveFavourites(state_.study.phrases, QString::fromStdString(s.UserFilePath));
    saveSettings();
}

void frmMain::Form_Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    midi_.MidiClose();
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
