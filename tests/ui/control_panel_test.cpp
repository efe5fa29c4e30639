// The study frame of the right-hand column: the tempo bar under the mouse and the wheel, room for
// every list entry, and the tempo row staying put whatever the study type shows.
#include "app/logical_scale.h"
#include "ui/control_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace orbel {
namespace {

// The window's client area on a 1280×1024 screen, in pixels and in logical units (15 per pixel).
static constexpr int ClientWidth = 1280;
static constexpr int ClientHeight = 1004;
static constexpr double UnitsPerPixel = 15;
static constexpr int StartTempo = 120;

class ControlPanelTest : public ::testing::Test {
public:
    void SetUp() override {
        surface.resize(ClientWidth, ClientHeight);
        LogicalScale scale;
        scale.logicalWidth = ClientWidth * UnitsPerPixel;
        scale.logicalHeight = ClientHeight * UnitsPerPixel;
        scale.pixelWidth = ClientWidth;
        scale.pixelHeight = ClientHeight;
        panel.layout(scale);
        surface.show();
        settle();
    }
    void settle() {
        QApplication::processEvents();
        panel.studyFrame->layout()->activate();
    }

    QStyleOptionSlider barOption() const {
        const QScrollBar* bar = panel.tempoBar;
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        option.upsideDown = bar->invertedAppearance();
        return option;
    }
    QRect barPart(QStyle::SubControl part) const {
        const QStyleOptionSlider option = barOption();
        return panel.tempoBar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, panel.tempoBar);
    }

    QWidget surface;
    ControlPanel panel{&surface};
};

// What the user does to the bar, starting from the tempo StartTempo.
struct BarGesture {
    const char* name;
    std::function<void(ControlPanelTest&, QScrollBar*)> act;
    int expected;
};

void PrintTo(const BarGesture& gesture, std::ostream* out) {
    *out << gesture.name;
}

void Click(QScrollBar* bar, QPoint at) {
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
}

void Wheel(QScrollBar* bar, int delta) {
    const QPointF at(bar->width() / 2.0, bar->height() / 2.0);
    QWheelEvent event(at, bar->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &event);
}

void Drag(QScrollBar* bar, QPoint from, QPoint to) {
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(bar, to);
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, to);
}

class TempoBarTest : public ControlPanelTest, public ::testing::WithParamInterface<BarGesture> {};

TEST_P(TempoBarTest, MovesTheWayTheThumbShows) {
    QScrollBar* bar = panel.tempoBar;
    bar->setValue(StartTempo);
    GetParam().act(*this, bar);
    EXPECT_EQ(bar->value(), GetParam().expected);
}

const int WheelLines = 3; // Qt's default lines per notch, one tempo step each

INSTANTIATE_TEST_SUITE_P(
    Gestures, TempoBarTest,
    ::testing::Values(
        BarGesture{"TopArrowFaster",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       Click(bar, t.barPart(QStyle::SC_ScrollBarSubLine).center());
                   },
                   StartTempo + 1},
        BarGesture{"BottomArrowSlower",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       Click(bar, t.barPart(QStyle::SC_ScrollBarAddLine).center());
                   },
                   StartTempo - 1},
        BarGesture{"TrackAboveThumbFaster",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       const QRect thumb = t.barPart(QStyle::SC_ScrollBarSlider);
                       const QRect groove = t.barPart(QStyle::SC_ScrollBarGroove);
                       Click(bar, QPoint(thumb.center().x(), (groove.top() + thumb.top()) / 2));
                   },
                   StartTempo + tempo_range::PageStep},
        BarGesture{"TrackBelowThumbSlower",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       const QRect thumb = t.barPart(QStyle::SC_ScrollBarSlider);
                       const QRect groove = t.barPart(QStyle::SC_ScrollBarGroove);
                       Click(bar, QPoint(thumb.center().x(), (thumb.bottom() + groove.bottom()) / 2));
                   },
                   StartTempo - tempo_range::PageStep},
        BarGesture{"WheelUpFaster", [](ControlPanelTest&, QScrollBar* bar) { Wheel(bar, 120); },
                   StartTempo + WheelLines},
        BarGesture{"WheelDownSlower", [](ControlPanelTest&, QScrollBar* bar) { Wheel(bar, -120); },
                   StartTempo - WheelLines},
        BarGesture{"DragToTopFastest",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       const QPoint grip = t.barPart(QStyle::SC_ScrollBarSlider).center();
                       Drag(bar, grip, QPoint(grip.x(), t.barPart(QStyle::SC_ScrollBarGroove).top() - 40));
                   },
                   tempo_range::Fastest},
        BarGesture{"DragToBottomSlowest",
                   [](ControlPanelTest& t, QScrollBar* bar) {
                       const QPoint grip = t.barPart(QStyle::SC_ScrollBarSlider).center();
                       Drag(bar, grip, QPoint(grip.x(), t.barPart(QStyle::SC_ScrollBarGroove).bottom() + 40));
                   },
                   tempo_range::Slowest}),
    [](const ::testing::TestParamInfo<BarGesture>& info) { return std::string(info.param.name); });

TEST_F(ControlPanelTest, TempoBarDragsToEveryTempoOnAMidSizeScreen) {
    const QRect groove = barPart(QStyle::SC_ScrollBarGroove);
    const QRect thumb = barPart(QStyle::SC_ScrollBarSlider);
    // The thumb's top travels this many pixels from one end to the other: at least one per tempo.
    const int travel = groove.height() - thumb.height();
    EXPECT_GE(travel, tempo_range::Fastest - tempo_range::Slowest);
}

// Which optional rows of the study frame a study type shows.
struct ShownRows {
    const char* name;
    bool pattern; // key and V7 treatment, with their labels
    bool favourite;
    bool upDown;
};

void PrintTo(const ShownRows& rows, std::ostream* out) {
    *out << rows.name;
}

class TempoRowTest : public ControlPanelTest, public ::testing::WithParamInterface<ShownRows> {};

TEST_P(TempoRowTest, StaysWhereItIsWhateverTheStudyTypeShows) {
    const ShownRows& rows = GetParam();
    const QRect textAt = panel.tempoBox->geometry();
    const QRect barAt = panel.tempoBar->geometry();
    const QRect swingAt = panel.swingBox->geometry();
    for (QWidget* w : std::vector<QWidget*>{panel.keyModeLabel, panel.keyModeList, panel.treatmentLabel,
                                            panel.treatmentList})
        w->setVisible(rows.pattern);
    panel.favouriteBox->setVisible(rows.favourite);
    panel.upDownBox->setVisible(rows.upDown);
    settle();
    EXPECT_EQ(panel.tempoBox->geometry(), textAt);
    EXPECT_EQ(panel.tempoBar->geometry(), barAt);
    EXPECT_EQ(panel.swingBox->geometry(), swingAt);
}

INSTANTIATE_TEST_SUITE_P(StudyTypes, TempoRowTest,
                         ::testing::Values(ShownRows{"Scales", false, false, true},
                                           ShownRows{"Pattern", true, false, false},
                                           ShownRows{"Phrases", false, true, false},
                                           ShownRows{"NothingOptional", false, false, false}),
                         [](const ::testing::TestParamInfo<ShownRows>& info) {
                             return std::string(info.param.name);
                         });

// The lists of the column with their widest entries, as the main window fills them.
struct ListEntries {
    const char* combo;
    QStringList entries;
};

void PrintTo(const ListEntries& list, std::ostream* out) {
    *out << list.combo;
}

class ListEntryTest : public ControlPanelTest, public ::testing::WithParamInterface<ListEntries> {};

TEST_P(ListEntryTest, EveryEntryFitsTheClosedList) {
    auto* combo = surface.findChild<QComboBox*>(QString::fromLatin1(GetParam().combo));
    ASSERT_TRUE(combo);
    combo->addItems(GetParam().entries);
    settle();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.frame = true;
    option.editable = false;
    const QRect field =
        combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    // The label is drawn one pixel inside the field on either side.
    for (const QString& entry : GetParam().entries)
        EXPECT_LE(combo->fontMetrics().horizontalAdvance(entry), field.width() - 2) << entry.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ListEntryTest,
    ::testing::Values(
        ListEntries{"Combo2",
                    {QStringLiteral(" スケール"), QStringLiteral(" コード"), QStringLiteral(" ⅡⅤⅠパターン"),
                     QStringLiteral(" ⅡⅤⅠフレーズ"), QStringLiteral("ﾏｲﾌﾚ-ｽﾞ ")}},
        ListEntries{"Combo1", {QStringLiteral("ﾃﾞｨﾐﾆｯｼｭ(全半) "), QStringLiteral("1-3-5-7-6-5 ")}},
        ListEntries{"Combo3", {QStringLiteral(" メジャー"), QStringLiteral(" マイナー")}},
        ListEntries{"Combo4",
                    {QStringLiteral(" ミクソリディアン"), QStringLiteral(" コンデミ"),
                     QStringLiteral(" オルタード"), QStringLiteral(" ホールトーン"),
                     QStringLiteral(" Ⅱ♭７")}},
        ListEntries{"Combo5", {QStringLiteral("20 回")}}),
    [](const ::testing::TestParamInfo<ListEntries>& info) { return std::string(info.param.combo); });

// A 1366×768 screen under a window manager leaves a client 743 pixels high: the play frame's rows stay
// apart, the study frame giving up room for them.
TEST(ControlPanelOnAShortScreen, KeepsThePlayControlsApart) {
    QWidget surface;
    ControlPanel panel{&surface};
    surface.resize(1364, 743);
    LogicalScale scale;
    scale.logicalWidth = 1366 * UnitsPerPixel;
    scale.logicalHeight = 768 * UnitsPerPixel;
    scale.pixelWidth = 1364;
    scale.pixelHeight = 743;
    panel.layout(scale);
    surface.show();
    QApplication::processEvents();
    panel.playFrame->layout()->activate();
    const QList<QWidget*> controls = panel.playFrame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* a : controls)
        for (QWidget* b : controls)
            EXPECT_TRUE(a == b || !a->geometry().intersects(b->geometry()))
                << a->objectName().toStdString() << " over " << b->objectName().toStdString();
}

// The tests, the tour and the desktop tests find a control by the name its role has in the table: every
// name is on exactly one control.
TEST_F(ControlPanelTest, EveryRoleNamesOneControl) {
    for (const control_names::Entry& entry : control_names::Table)
        EXPECT_EQ(surface.findChildren<QWidget*>(QString::fromLatin1(entry.objectName)).size(), 1)
            << entry.objectName;
}

} // namespace
} // namespace orbel
