#include "ui/settei.h"

#include "sound/instrument_tables.h"
#include "sound/midi1.h"
#include "theory/numbers.h"
#include "ui/center_form.h"
#include "ui/range_preview_box.h"
#include "ui/sound_test_runner.h"
#include "ui/tempo_entry.h"
#include "ui/upward_bar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace orbel {

namespace {

static constexpr int VolumeMax = 127;
static constexpr int NumberBoxWidth = 60;
static constexpr int SwingLevels = 3;
// The volume sliders' fields: melody, chords, bass, click.
static constexpr std::array<std::int16_t Settings::*, 4> VolumeFields{
    &Settings::MelodyVolume, &Settings::ChordVolume, &Settings::BassVolume, &Settings::ClickVolume};

template <typename W> W* Named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

template <std::size_t N>
QStringList Captions(const std::array<std::string_view, N>& names, std::size_t count = N) {
    QStringList list;
    for (std::size_t i = 0; i < count && i < N; ++i)
        list << QString::fromUtf8(names[i].data(), static_cast<qsizetype>(names[i].size()));
    return list;
}

// A number typed into a box: full-width digits and signs count as typed, a text that does not start with
// a number gives 0, halves go to the even neighbour; kept within what the settings record can hold.
std::int16_t BoxNumber(const QLineEdit& box) {
    const QString text = box.text().normalized(QString::NormalizationForm_KC);
    const int value = LeadingWholeNumber(text.toStdString());
    return static_cast<std::int16_t>(std::clamp<int>(value, std::numeric_limits<std::int16_t>::min(),
                                                     std::numeric_limits<std::int16_t>::max()));
}

// The fields the window changes the moment a control moves.
constexpr SettingsFieldSet ImmediateFields =
    SettingsFieldSet::Of<&Settings::MelodyProgram, &Settings::ChordProgram, &Settings::BassSound,
                         &Settings::ClickSound, &Settings::MelodyVolume, &Settings::ChordVolume,
                         &Settings::BassVolume, &Settings::ClickVolume, &Settings::SwingLevel>();
// The fields OK takes from the window.
constexpr SettingsFieldSet OkFields =
    SettingsFieldSet::Of<&Settings::MelodyProgram, &Settings::SoundOnChange, &Settings::TransposeSemitones,
                         &Settings::PitchBaseC, &Settings::Tempo, &Settings::RangeLimitOn,
                         &Settings::RangeHigh, &Settings::RangeLow>();

} // namespace

settei::settei(SettingsModel& model, Midi1& midi, Hooks hooks, QWidget* parent)
    : QDialog(parent), model_(model), midi_(midi), hooks_(std::move(hooks)), draft_(model.settings()),
      opened_(model.settings()) {
    setObjectName(QStringLiteral("settei"));
    setWindowTitle(QStringLiteral("サウンド設定"));
    // Built once and shown again: each showing takes the settings as they are then.
    setModal(false);
    // A test sounds as the settings are now, with what acted at once.
    tests_ = new SoundTestRunner(midi_, model_.settings(), this);

    // The four sound parts: list, volume and test in a frame each.
    const QString partTitles[] = {QStringLiteral("メロディ"), QStringLiteral("コード楽器"),
                                  QStringLiteral("ベース"), QStringLiteral("クリック")};
    std::array<QComboBox**, 4> lists{&Combo1, &Combo2, &Combo3, &Combo4};
    constexpr std::array<SoundTestPart, 4> parts{SoundTestPart::Melody, SoundTestPart::Chord,
                                                 SoundTestPart::Bass, SoundTestPart::Click};
    auto* partsGrid = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        const auto at = static_cast<std::size_t>(i);
        auto* frame = Named(new QGroupBox(partTitles[i], this), QStringLiteral("Frame%1").arg(i + 1));
        *lists[at] = Named(new QComboBox(frame), QStringLiteral("Combo%1").arg(i + 1));
        (*lists[at])->setMaxVisibleItems(20);
        Slider1[at] = Named(new QSlider(Qt::Horizontal, frame), QStringLiteral("Slider1_%1").arg(i));
        Slider1[at]->setRange(0, VolumeMax);
        auto* test =
            Named(new QPushButton(QStringLiteral("テスト"), frame), QStringLiteral("Command%1").arg(i + 3));
        connect(test, &QPushButton::clicked, this, [this, part = parts[at]] { tests_->run(part); });
        auto* grid = new QGridLayout(frame);
        grid->addWidget(*lists[at], 0, 0, 1, 3);
        grid->addWidget(new QLabel(QStringLiteral("音　　量"), frame), 1, 0);
        grid->addWidget(Slider1[at], 1, 1);
        grid->addWidget(test, 1, 2);
        partsGrid->addWidget(frame, i / 2, i % 2);
    }

    Text1 = Named(new QLineEdit(this), QStringLiteral("Text1"));
    Text3 = Named(new QLineEdit(this), QStringLiteral("Text3"));
    Text4 = Named(new QLineEdit(this), QStringLiteral("Text4"));
    for (QLineEdit* box : {Text1, Text3, Text4})
        box->setFixedWidth(NumberBoxWidth);
    auto* numbers = new QGridLayout;
    numbers->addWidget(new QLabel(QStringLiteral("ピッチ調整"), this), 0, 0);
    numbers->addWidget(Text1, 0, 1);
    numbers->addWidget(new QLabel(QStringLiteral("（　Bｂ楽器は -2 、 Eb楽器は 3 とします　)"), this), 0, 2);
    numbers->addWidget(new QLabel(QStringLiteral("音程基準値：C="), this), 1, 0);
    numbers->addWidget(Text3, 1, 1);
    numbers->addWidget(new QLabel(QStringLiteral("テンポ(  /分)"), this), 2, 0);
    numbers->addWidget(Text4, 2, 1);
    numbers->setColumnStretch(3, 1);

    auto* swing = Named(new QGroupBox(QStringLiteral("スイングレベル"), this), QStringLiteral("Frame5"));
    auto* swingRow = new QHBoxLayout(swing);
    const QString swingCaptions[SwingLevels] = {QStringLiteral("軽め"), QStringLiteral("標準"),
                                                QStringLiteral("重め")};
    for (int i = 0; i < SwingLevels; ++i) {
        auto* option = Named(new QRadioButton(swingCaptions[i], swing), QStringLiteral("Option1_%1").arg(i));
        Option1[static_cast<std::size_t>(i)] = option;
        swingRow->addWidget(option);
        // The player takes the new level from its next repetition.
        connect(option, &QRadioButton::clicked, this, [this, i] { changeNow(&Settings::SwingLevel, i); });
    }

    Check1 = Named(new QCheckBox(QStringLiteral("ルート、スケール変更時に音出しする"), this),
                   QStringLiteral("Check1"));

    // The range: the check box, the preview and a bar for each limit, the higher pitch at the top.
    Check2 = Named(new QCheckBox(QStringLiteral("音域を制限する"), this), QStringLiteral("Check2"));
    Pict1 = new RangePreviewBox(this);
    VScroll1 = Named(new QScrollBar(Qt::Vertical, this), QStringLiteral("VScroll1"));
    VScroll2 = Named(new QScrollBar(Qt::Vertical, this), QStringLiteral("VScroll2"));
    VScroll1->setRange(range_preview::LowLimitMin, range_preview::LowLimitMax);
    VScroll2->setRange(range_preview::HighLimitMin, range_preview::HighLimitMax);
    for (QScrollBar* bar : {VScroll1, VScroll2}) {
        MakeUpward(*bar);
        bar->setPageStep(1);
        bar->setFixedHeight(Pict1->height());
        connect(bar, &QScrollBar::valueChanged, this, &settei::Drowgosen);
    }
    LowLabel = Named(new QLabel(QStringLiteral("低音"), this), QStringLiteral("Label_low"));
    HighLabel = Named(new QLabel(QStringLiteral("高音"), this), QStringLiteral("Label_high"));
    connect(Check2, &QCheckBox::clicked, this, &settei::Check2_Click);
    auto* range = new QGridLayout;
    range->addWidget(Check2, 0, 0, 1, 3);
    range->addWidget(Pict1, 1, 0, 2, 1);
    range->addWidget(HighLabel, 1, 1, Qt::AlignHCenter | Qt::AlignBottom);
    range->addWidget(LowLabel, 1, 2, Qt::AlignHCenter | Qt::AlignBottom);
    range->addWidget(VScroll2, 2, 1, Qt::AlignHCenter);
    range->addWidget(VScroll1, 2, 2, Qt::AlignHCenter);

    auto* ok = Named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command1"));
    auto* cancel = Named(new QPushButton(QStringLiteral("キャンセル"), this), QStringLiteral("Command2"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &settei::Command1_Click);
    connect(cancel, &QPushButton::clicked, this, &settei::Command2_Click);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* left = new QVBoxLayout;
    left->addLayout(partsGrid);
    left->addLayout(numbers);
    left->addWidget(swing);
    left->addWidget(Check1);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(range);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addLayout(buttons);

    Combo1->addItems(Captions(MelodyInstruments));
    Combo2->addItems(Captions(MelodyInstruments, sound_tables::ChordInstrumentCount));
    Combo3->addItems(Captions(BassNames));
    Combo4->addItems(Captions(ClickNames));
    // The melody keeps the list entry; what sounds is the entry's program.
    const std::array<std::pair<QComboBox*, std::int16_t Settings::*>, 4> stores{
        {{Combo1, &Settings::MelodyProgram},
         {Combo2, &Settings::ChordProgram},
         {Combo3, &Settings::BassSound},
         {Combo4, &Settings::ClickSound}}};
    for (const auto& [list, field] : stores) {
        const int offset = field == &Settings::BassSound || field == &Settings::ClickSound ? 0 : 1;
        connect(list, &QComboBox::activated, this, [this, field = field, offset](int index) {
            if (index >= 0) changeNow(field, index + offset);
        });
    }

    for (std::size_t i = 0; i < VolumeFields.size(); ++i) {
        connect(Slider1[i], &QSlider::valueChanged, this,
                [this, field = VolumeFields[i]](int value) { changeNow(field, value); });
    }
    Form_Load();
    adjustSize();
}

settei::~settei() = default;

void settei::changeNow(std::int16_t Settings::*field, int value) {
    draft_.*field = static_cast<std::int16_t>(value);
    model_.set(field, draft_.*field);
}

void settei::Form_Load() {
    // A fresh copy of the settings as they are now.
    draft_ = model_.settings();
    Settings& s = draft_;
    {
        const QSignalBlocker b1(VScroll1);
        const QSignalBlocker b2(VScroll2);
        Check2->setChecked(s.RangeLimitOn);
        VScroll2->setValue(s.RangeHigh);
        VScroll1->setValue(s.RangeLow);
    }
    Check2_Click();

    s.BassSound = static_cast<std::int16_t>(std::clamp<int>(s.BassSound, 0, Combo3->count() - 1));
    s.ClickSound = static_cast<std::int16_t>(std::clamp<int>(s.ClickSound, 0, Combo4->count() - 1));
    // A sound past the end of its list is the list's last from the moment the window opens.
    model_.take(s, SettingsFieldSet::Of<&Settings::BassSound, &Settings::ClickSound>());
    opened_ = s;
    auto entryOf = [](int stored, int count) { return stored > 1 ? std::min(stored - 1, count - 1) : 0; };
    Combo1->setCurrentIndex(entryOf(s.MelodyProgram, Combo1->count()));
    Combo2->setCurrentIndex(entryOf(s.ChordProgram, Combo2->count()));
    Combo3->setCurrentIndex(s.BassSound);
    Combo4->setCurrentIndex(s.ClickSound);
    for (std::size_t i = 0; i < VolumeFields.size(); ++i) {
        const QSignalBlocker block(Slider1[i]);
        Slider1[i]->setValue(s.*VolumeFields[i]);
    }
    if (s.SwingLevel >= 0 && s.SwingLevel < SwingLevels)
        Option1[static_cast<std::size_t>(s.SwingLevel)]->setChecked(true);
    Text1->setText(QString::number(s.TransposeSemitones));
    Text3->setText(QString::number(s.PitchBaseC));
    Text4->setText(QString::number(s.Tempo));
    Check1->setChecked(s.SoundOnChange);
}

void settei::start() {
    // A second request while the window is open brings it forward as it is, edits and all.
    if (!isVisible()) {
        finished_ = false;
        Form_Load();
        CenterForm(*this);
    }
    show();
    raise();
    activateWindow();
    Drowgosen();
}

void settei::Check2_Click() {
    const bool on = Check2->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Pict1, LowLabel, HighLabel, VScroll1, VScroll2})
        w->setEnabled(on);
}

void settei::Drowgosen() {
    // The bars span only where each limit may lie, so their values are the snapped limits.
    Pict1->Drowgosen(VScroll1->value(), VScroll2->value());
}

void settei::Command1_Click() {
    Settings& s = draft_;
    s.MelodyProgram = static_cast<std::int16_t>(Combo1->currentIndex() + 1);
    s.SoundOnChange = Check1->isChecked();
    s.TransposeSemitones = BoxNumber(*Text1);
    s.PitchBaseC = BoxNumber(*Text3);
    // The tempo is kept within what the tempo bar can play; a box without a number keeps the tempo playing.
    s.Tempo = static_cast<std::int16_t>(TypedTempo(Text4->text(), model_.settings().Tempo));
    s.RangeLimitOn = Check2->isChecked();
    s.RangeHigh = static_cast<std::int16_t>(VScroll2->value());
    s.RangeLow = static_cast<std::int16_t>(VScroll1->value());
    // The bar and box of the main window follow the model's tempo.
    model_.take(s, OkFields);
    if (hooks_.save) hooks_.save();
    if (hooks_.applied) hooks_.applied();
    finished_ = true;
    accept();
}

void settei::Command2_Click() {
    reject();
}

void settei::closeKeepingChanges() {
    finished_ = true;
    close();
}

void settei::reject() {
    // Escape, the frame's close button and キャンセル all cancel. Only what this window changed goes
    // back; the main window's own changes since the last save stay.
    if (!finished_) {
        finished_ = true;
        model_.take(opened_, ImmediateFields);
        // A test may have left its instrument on a channel.
        midi_.SendProgramChanges();
    }
    QDialog::reject();
}

} // namespace orbel
