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
static constexpr int Label7FontSize = 18;
// Enough track to reach every tempo of the bar by dragging, a pixel apiece, where the frame has the room.
static constexpr int TempoBarMinimumHeight = 120; // pixels

template <typename W> W* Named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QPushButton* Button(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QPushButton(caption, parent), name);
}

QCheckBox* Check(QWidget* parent, const char* name, const QString& caption) {
    return Named(new QCheckBox(caption, parent), name);
}

} // namespace

ControlPanel::ControlPanel(QWidget* surface) {
    Frame1 = Named(new QGroupBox(surface), "Frame1");
    Frame2 = Named(new QGroupBox(surface), "Frame2");
    Frame3 = Named(new QGroupBox(surface), "Frame3");
    // Controls keep a plain Gothic face; the surface's Mincho font is for drawing only.
    const QFont controlFont(QStringLiteral("IPAGothic"), ControlFontSize);
    for (QGroupBox* frame : {Frame1, Frame2, Frame3})
        frame->setFont(controlFont);

    // Study selection.
    Combo2 = Named(new QComboBox(Frame1), "Combo2");
    Combo1 = Named(new QComboBox(Frame1), "Combo1");
    Combo1->setMaxVisibleItems(24);
    Label4 = Named(new QLabel(QStringLiteral("調子"), Frame1), "Label4");
    Combo3 = Named(new QComboBox(Frame1), "Combo3");
    Label5 = Named(new QLabel(QStringLiteral("Ｖ７あしらい"), Frame1), "Label5");
    Combo4 = Named(new QComboBox(Frame1), "Combo4");
    Check8 = Check(Frame1, "Check8", QStringLiteral("お気に入り"));
    Check9 = Check(Frame1, "Check9", QStringLiteral("上下行する"));
    TempoLabel = Named(new QLabel(QStringLiteral("テンポ"), Frame1), "LabelTempo");
    Text1 = Named(new QLineEdit(Frame1), "Text1");
    Text1->setMaxLength(5);
    VScroll1 = Named(new QScrollBar(Qt::Vertical, Frame1), "VScroll1");
    // The fastest tempo sits at the top of the bar; the value is the tempo itself.
    VScroll1->setRange(tempo_range::Slowest, tempo_range::Fastest);
    MakeUpward(*VScroll1);
    VScroll1->setPageStep(tempo_range::PageStep);
    VScroll1->setMinimumHeight(TempoBarMinimumHeight);
    Check6 = Check(Frame1, "Check6", QStringLiteral("スイング"));

    // The rows keep their place whichever of them the study type shows, so that the tempo box never
    // moves: the II–V–I rows, the favourite box of the phrases and the up-and-down box of scales and chords
    // keep their room while hidden. Only one of the last two or the II–V–I rows is ever shown, so they
    // share the first row under the item list. The treatment list takes a row of its own below its label:
    // its longest entry needs nearly the column's whole width.
    for (QWidget* w : std::initializer_list<QWidget*>{Label4, Combo3, Label5, Combo4, Check8, Check9}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    for (QComboBox* combo : {Combo2, Combo1, Combo3, Combo4})
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* study = new QGridLayout(Frame1);
    study->addWidget(Combo2, 0, 0, 1, 3);
    study->addWidget(Combo1, 1, 0, 1, 3);
    study->addWidget(Label4, 2, 0);
    study->addWidget(Combo3, 2, 1, 1, 2);
    study->addWidget(Check8, 2, 0, 1, 3);
    study->addWidget(Check9, 2, 0, 1, 3);
    study->addWidget(Label5, 3, 0, 1, 3);
    study->addWidget(Combo4, 4, 0, 1, 2);
    study->addWidget(TempoLabel, 5, 0);
    study->addWidget(Text1, 5, 1);
    study->addWidget(Check6, 6, 0, 1, 2);
    // The bar runs from the treatment list's row to the bottom of the frame: on a 1280×1024 screen that
    // gives its thumb a pixel or more for every tempo.
    study->addWidget(VScroll1, 4, 2, 4, 1);
    study->setRowStretch(7, 1);
    study->setColumnStretch(1, 1);

    // Playing.
    Command5 = Button(Frame2, "Command5", QString());
    Command5->setIcon(QApplication::style()->standardIcon(QStyle::SP_MediaPlay));
    Command5->setToolTip(QStringLiteral("演奏"));
    Command9 = Button(Frame2, "Command9", QString());
    Command9->setIcon(QApplication::style()->standardIcon(QStyle::SP_MediaStop));
    Command9->setToolTip(QStringLiteral("停止"));
    Command9->setEnabled(false);
    for (QPushButton* b : {Command5, Command9}) {
        b->setIconSize(QSize(28, 28));
        b->setMinimumHeight(40);
    }
    Check2 = Check(Frame2, "Check2", QStringLiteral("繰り返す"));
    Combo5 = Named(new QComboBox(Frame2), "Combo5");
    const QString optionCaptions[] = {QStringLiteral("半音＋進行"), QStringLiteral("半音－進行"),
                                      QStringLiteral("４度進行"), QStringLiteral("そのまま")};
    for (int i = 0; i < 4; ++i)
        Option1[static_cast<std::size_t>(i)] = Named(new QRadioButton(optionCaptions[i], Frame2),
                                                     QStringLiteral("Option1_%1").arg(i).toLatin1());
    Command3 = Button(Frame2, "Command3", QStringLiteral("半音　＋"));
    Command4 = Button(Frame2, "Command4", QStringLiteral("半音　－"));
    Command11[0] = Button(Frame2, "Command11_0", QStringLiteral("▲ Oct"));
    Command11[1] = Button(Frame2, "Command11_1", QStringLiteral("▼ Oct"));

    auto* play = new QGridLayout(Frame2);
    play->addWidget(Command5, 0, 0);
    play->addWidget(Command9, 0, 1);
    play->addWidget(Check2, 1, 0);
    play->addWidget(Combo5, 1, 1);
    play->addWidget(Option1[0], 2, 0);
    play->addWidget(Option1[1], 2, 1);
    play->addWidget(Option1[2], 3, 0);
    play->addWidget(Option1[3], 3, 1);
    play->addWidget(Command3, 4, 0);
    play->addWidget(Command4, 4, 1);
    play->addWidget(Command11[0], 5, 0);
    play->addWidget(Command11[1], 5, 1);
    // The practice window: the tempo ramp and the check of the user's playing.
    PracticeButton = Button(Frame2, "CommandPractice", QStringLiteral("練習設定"));
    play->addWidget(PracticeButton, 6, 0, 1, 2);
    play->setRowStretch(7, 1);

    // Sound; placed by hand so that the quit button keeps to the bottom of the frame.
    Command10 = Button(Frame3, "Command10", QStringLiteral("補足設定"));
    Command7 = Button(Frame3, "Command7", QStringLiteral("メトロノーム"));
    Command2 = Button(Frame3, "Command2", QStringLiteral("基準音Ｂ♭"));
    Command8 = Button(Frame3, "Command8", QStringLiteral("基準音Ａ"));
    Command6 = Button(Frame3, "Command6", QStringLiteral("音出し"));
    Command1 = Button(Frame3, "Command1", QStringLiteral("終了"));

    // Keyboard options and the repetition label live on the surface itself.
    Check1 = Check(surface, "Check1", QStringLiteral("鍵盤でROOTを変える"));
    Check3 = Check(surface, "Check3", QStringLiteral("弾くときは実音"));
    Check5 = Check(surface, "Check5", QStringLiteral("エントリー表示"));
    for (QCheckBox* box : {Check1, Check3, Check5}) {
        box->setFont(controlFont);
        box->setAutoFillBackground(true);
    }
    Label7 = Named(new QLabel(surface), "Label7");
    QFont labelFont(QStringLiteral("IPAGothic"), Label7FontSize);
    Label7->setFont(labelFont);
    Label7->hide();
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
    const double needed2 = Frame2->minimumSizeHint().height() * height / std::max(1.0, scale.pixelHeight);
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
    place(Frame1, left, top1, right_column::FrameWidth, height1);
    place(Frame2, left, top2, right_column::FrameWidth, height2);
    place(Frame3, left, top3, right_column::FrameWidth, height3);

    // Buttons of the third frame, in the frame's own coordinates (y down from its top).
    const double buttonWidth = right_column::FrameWidth - 2 * column::ButtonInset;
    auto placeInFrame = [&scale](QWidget* w, double x, double yDown, double wide, double high) {
        w->setGeometry(qRound(scale.widthToPixels(x)), qRound(scale.heightToPixels(yDown)),
                       qRound(scale.widthToPixels(wide)), qRound(scale.heightToPixels(high)));
    };
    double y = column::FirstButtonTop;
    for (QPushButton* button : {Command10, Command7, Command2, Command8, Command6}) {
        placeInFrame(button, column::ButtonInset, y, buttonWidth, column::ButtonHeight);
        y += column::ButtonHeight + column::ButtonGap;
    }
    const double quitTop = height3 - column::ButtonInset - column::ButtonHeight;
    placeInFrame(Command1, column::ButtonInset, quitTop, buttonWidth, column::ButtonHeight);

    // On a short screen the last two buttons would run into the quit button.
    const double command8Bottom = column::FirstButtonTop + 4 * column::ButtonHeight + 3 * column::ButtonGap;
    const bool crowded = command8Bottom > quitTop;
    Command8->setVisible(!crowded);
    Command6->setVisible(!crowded);

    // Keyboard options in one row, 500 apart.
    double x = options_row::Left;
    for (QCheckBox* box : {Check3, Check5, Check1}) {
        box->adjustSize();
        box->move(qRound(scale.xToPixel(x)), qRound(scale.yToPixel(options_row::Top)));
        x += scale.pixelToX(box->width()) + options_row::Spacing;
    }
}

} // namespace orbel
