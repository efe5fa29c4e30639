#include "ui/control_panel.h"

#include "app/logical_scale.h"
#include "app/window_sizing.h"
#include "ui/upward_bar.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <initializer_list>

namespace orbel {

namespace {

// Right-hand column, in the window's logical units (about one twip each).
namespace column {
static constexpr double Gap = 100;
static constexpr double BottomEdge = 100;
static constexpr double Frame1Share = 0.46;
static constexpr double Frame2Share = 0.27;
static constexpr double ButtonHeight = 520;
static constexpr double ButtonGap = 90;
static constexpr double ButtonInset = 150;
static constexpr double FirstButtonTop = 350;
} // namespace column

// The keyboard options sit in one row near the bottom left until the keyboard view places them.
namespace options_row {
static constexpr double Left = 400;
static constexpr double Top = 2400;
static constexpr double Spacing = 500;
} // namespace options_row

static constexpr int ControlFontSize = 11;
static constexpr int RepeatLabelFontSize = 18;
// Enough track to reach every tempo of the bar by dragging, a pixel apiece, where the frame has the room.
static constexpr int TempoBarMinimumHeight = 120; // pixels

template <typename W> W* Named(W* widget, Control role) {
    widget->setObjectName(QString::fromLatin1(ObjectName(role)));
    return widget;
}

QPushButton* Button(QWidget* parent, Control role, const QString& caption) {
    return Named(new QPushButton(caption, parent), role);
}

QCheckBox* Check(QWidget* parent, Control role, const QString& caption) {
    return Named(new QCheckBox(caption, parent), role);
}

} // namespace

ControlPanel::ControlPanel(QWidget* surface) {
    studyFrame = Named(new QGroupBox(surface), Control::StudyFrame);
    playFrame = Named(new QGroupBox(surface), Control::PlayFrame);
    soundFrame = Named(new QGroupBox(surface), Control::SoundFrame);
    // Controls keep a plain Gothic face; the surface's Mincho font is for drawing only.
    const QFont controlFont(QStringLiteral("IPAGothic"), ControlFontSize);
    for (QGroupBox* frame : {studyFrame, playFrame, soundFrame})
        frame->setFont(controlFont);

    // Study selection.
    studyTypeList = Named(new QComboBox(studyFrame), Control::StudyTypeList);
    itemList = Named(new QComboBox(studyFrame), Control::ItemList);
    itemList->setMaxVisibleItems(24);
    keyModeLabel = Named(new QLabel(QStringLiteral("調子"), studyFrame), Control::KeyModeLabel);
    keyModeList = Named(new QComboBox(studyFrame), Control::KeyModeList);
    treatmentLabel = Named(new QLabel(QStringLiteral("Ｖ７あしらい"), studyFrame), Control::TreatmentLabel);
    treatmentList = Named(new QComboBox(studyFrame), Control::TreatmentList);
    favouriteBox = Check(studyFrame, Control::FavouriteBox, QStringLiteral("お気に入り"));
    upDownBox = Check(studyFrame, Control::UpDownBox, QStringLiteral("上下行する"));
    tempoLabel = Named(new QLabel(QStringLiteral("テンポ"), studyFrame), Control::TempoLabel);
    tempoBox = Named(new QLineEdit(studyFrame), Control::TempoBox);
    tempoBox->setMaxLength(5);
    tempoBar = Named(new QScrollBar(Qt::Vertical, studyFrame), Control::TempoBar);
    // The fastest tempo sits at the top of the bar; the value is the tempo itself.
    tempoBar->setRange(tempo_range::Slowest, tempo_range::Fastest);
    MakeUpward(*tempoBar);
    tempoBar->setPageStep(tempo_range::PageStep);
    tempoBar->setMinimumHeight(TempoBarMinimumHeight);
    swingBox = Check(studyFrame, Control::SwingBox, QStringLiteral("スイング"));

    // The rows keep their place whichever of them the study type shows, so that the tempo box never
    // moves: the II–V–I rows, the favourite box of the phrases and the up-and-down box of scales and chords
    // keep their room while hidden. Only one of the last two or the II–V–I rows is ever shown, so they
    // share the first row under the item list. The treatment list takes a row of its own below its label:
    // its longest entry needs nearly the column's whole width.
    for (QWidget* w : std::initializer_list<QWidget*>{keyModeLabel, keyModeList, treatmentLabel,
                                                      treatmentList, favouriteBox, upDownBox}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    for (QComboBox* combo : {studyTypeList, itemList, keyModeList, treatmentList})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* study = new QGridLayout(studyFrame);
    study->addWidget(studyTypeList, 0, 0, 1, 3);
    study->addWidget(itemList, 1, 0, 1, 3);
    study->addWidget(keyModeLabel, 2, 0);
    study->addWidget(keyModeList, 2, 1, 1, 2);
    study->addWidget(favouriteBox, 2, 0, 1, 3);
    study->addWidget(upDownBox, 2, 0, 1, 3);
    study->addWidget(treatmentLabel, 3, 0, 1, 3);
    study->addWidget(treatmentList, 4, 0, 1, 2);
    study->addWidget(tempoLabel, 5, 0);
    study->addWidget(tempoBox, 5, 1);
    study->addWidget(swingBox, 6, 0, 1, 2);
    // The bar runs from the treatment list's row to the bottom of the frame: on a 1280×1024 screen that
    // gives its thumb a pixel or more for every tempo.
    study->addWidget(tempoBar, 4, 2, 4, 1);
    study->setRowStretch(7, 1);
    study->setColumnStretch(1, 1);

    // Playing.
    playButton = Button(playFrame, Control::PlayButton, QString());
    playButton->setIcon(QApplication::style()->standardIcon(QStyle::SP_MediaPlay));
    playButton->setToolTip(QStringLiteral("演奏"));
    stopButton = Button(playFrame, Control::StopButton, QString());
    stopButton->setIcon(QApplication::style()->standardIcon(QStyle::SP_MediaStop));
    stopButton->setToolTip(QStringLiteral("停止"));
    stopButton->setEnabled(false);
    for (QPushButton* b : {playButton, stopButton}) {
        b->setIconSize(QSize(28, 28));
        b->setMinimumHeight(40);
    }
    repeatBox = Check(playFrame, Control::RepeatBox, QStringLiteral("繰り返す"));
    repeatCountList = Named(new QComboBox(playFrame), Control::RepeatCountList);
    const QString optionCaptions[] = {QStringLiteral("半音＋進行"), QStringLiteral("半音－進行"),
                                      QStringLiteral("４度進行"), QStringLiteral("そのまま")};
    const Control optionRoles[] = {Control::SemitoneUpOption, Control::SemitoneDownOption,
                                   Control::FourthOption, Control::SameRootOption};
    for (std::size_t i = 0; i < progressionOptions.size(); ++i)
        progressionOptions[i] = Named(new QRadioButton(optionCaptions[i], playFrame), optionRoles[i]);
    rootUpButton = Button(playFrame, Control::RootUpButton, QStringLiteral("半音　＋"));
    rootDownButton = Button(playFrame, Control::RootDownButton, QStringLiteral("半音　－"));
    octaveUpButton = Button(playFrame, Control::OctaveUpButton, QStringLiteral("▲ Oct"));
    octaveDownButton = Button(playFrame, Control::OctaveDownButton, QStringLiteral("▼ Oct"));

    auto* play = new QGridLayout(playFrame);
    play->addWidget(playButton, 0, 0);
    play->addWidget(stopButton, 0, 1);
    play->addWidget(repeatBox, 1, 0);
    play->addWidget(repeatCountList, 1, 1);
    play->addWidget(progressionOptions[0], 2, 0);
    play->addWidget(progressionOptions[1], 2, 1);
    play->addWidget(progressionOptions[2], 3, 0);
    play->addWidget(progressionOptions[3], 3, 1);
    play->addWidget(rootUpButton, 4, 0);
    play->addWidget(rootDownButton, 4, 1);
    play->addWidget(octaveUpButton, 5, 0);
    play->addWidget(octaveDownButton, 5, 1);
    // The practice window: the tempo ramp and the check of the user's playing.
    practiceButton = Button(playFrame, Control::PracticeButton, QStringLiteral("練習設定"));
    play->addWidget(practiceButton, 6, 0, 1, 2);
    play->setRowStretch(7, 1);

    // Sound; placed by hand so that the quit button keeps to the bottom of the frame.
    switchesButton = Button(soundFrame, Control::SwitchesButton, QStringLiteral("補足設定"));
    metronomeButton = Button(soundFrame, Control::MetronomeButton, QStringLiteral("メトロノーム"));
    referenceBFlatButton = Button(soundFrame, Control::ReferenceBFlatButton, QStringLiteral("基準音Ｂ♭"));
    referenceAButton = Button(soundFrame, Control::ReferenceAButton, QStringLiteral("基準音Ａ"));
    playOnceButton = Button(soundFrame, Control::PlayOnceButton, QStringLiteral("音出し"));
    quitButton = Button(soundFrame, Control::QuitButton, QStringLiteral("終了"));

    // Keyboard options and the repetition label live on the surface itself.
    keyboardRootBox = Check(surface, Control::KeyboardRootBox, QStringLiteral("鍵盤でROOTを変える"));
    concertPitchBox = Check(surface, Control::ConcertPitchBox, QStringLiteral("弾くときは実音"));
    entryDisplayBox = Check(surface, Control::EntryDisplayBox, QStringLiteral("エントリー表示"));
    for (QCheckBox* box : {keyboardRootBox, concertPitchBox, entryDisplayBox}) {
        box->setFont(controlFont);
        box->setAutoFillBackground(true);
    }
    repeatLabel = Named(new QLabel(surface), Control::RepeatLabel);
    QFont labelFont(QStringLiteral("IPAGothic"), RepeatLabelFontSize);
    repeatLabel->setFont(labelFont);
    repeatLabel->hide();
}

void ControlPanel::layout(const LogicalScale& scale) {
    const double width = scale.logicalWidth;
    const double height = scale.logicalHeight;

    const double left = RightColumnLeft(width);
    const double usable = height - column::BottomEdge - 2 * column::Gap;
    const double top1 = height;
    double height1 = usable * column::Frame1Share;
    double height2 = usable * column::Frame2Share;
    // On a short screen (1366×768) the play controls' rows would overlap: they get the height they need
    // from the study frame, whose list and tempo bar have room to spare.
    const double needed2 = playFrame->minimumSizeHint().height() * height / std::max(1.0, scale.pixelHeight);
    if (needed2 > height2) {
        height1 -= needed2 - height2;
        height2 = needed2;
    }
    const double top2 = top1 - height1 - column::Gap;
    const double top3 = top2 - height2 - column::Gap;
    const double height3 = top3 - column::BottomEdge;

    auto place = [&scale](QWidget* w, double x, double top, double wide, double high) {
        w->setGeometry(qRound(scale.xToPixel(x)), qRound(scale.yToPixel(top)),
                       qRound(scale.widthToPixels(wide)), qRound(scale.heightToPixels(high)));
    };
    place(studyFrame, left, top1, right_column::FrameWidth, height1);
    place(playFrame, left, top2, right_column::FrameWidth, height2);
    place(soundFrame, left, top3, right_column::FrameWidth, height3);

    // Buttons of the third frame, in the frame's own coordinates (y down from its top).
    const double buttonWidth = right_column::FrameWidth - 2 * column::ButtonInset;
    auto placeInFrame = [&scale](QWidget* w, double x, double yDown, double wide, double high) {
        w->setGeometry(qRound(scale.widthToPixels(x)), qRound(scale.heightToPixels(yDown)),
                       qRound(scale.widthToPixels(wide)), qRound(scale.heightToPixels(high)));
    };
    double y = column::FirstButtonTop;
    for (QPushButton* button :
         {switchesButton, metronomeButton, referenceBFlatButton, referenceAButton, playOnceButton}) {
        placeInFrame(button, column::ButtonInset, y, buttonWidth, column::ButtonHeight);
        y += column::ButtonHeight + column::ButtonGap;
    }
    const double quitTop = height3 - column::ButtonInset - column::ButtonHeight;
    placeInFrame(quitButton, column::ButtonInset, quitTop, buttonWidth, column::ButtonHeight);

    // On a short screen the last two buttons would run into the quit button.
    const double command8Bottom = column::FirstButtonTop + 4 * column::ButtonHeight + 3 * column::ButtonGap;
    const bool crowded = command8Bottom > quitTop;
    referenceAButton->setVisible(!crowded);
    playOnceButton->setVisible(!crowded);

    // Keyboard options in one row, 500 apart.
    double x = options_row::Left;
    for (QCheckBox* box : {concertPitchBox, entryDisplayBox, keyboardRootBox}) {
        box->adjustSize();
        box->move(qRound(scale.xToPixel(x)), qRound(scale.yToPixel(options_row::Top)));
        x += scale.pixelToX(box->width()) + options_row::Spacing;
    }
}

} // namespace orbel
