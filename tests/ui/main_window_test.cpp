// The main window driven as a user would, offscreen, with MIDI going to a recorder.

#include "sound/play_timing.h"
#include "support/trainer_fixture.h"
#include "theory/prepare_build.h"
#include "ui/captions.h"
#include "ui/frm_colset.h"
#include "ui/frm_main.h"
#include "ui/quit_signals.h"
#include "views/circle_layout.h"
#include "views/view_set.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace orbel {
namespace {

class MainWindowTest : public testing::TrainerFixture {
protected:
    void SetUp() override {
        copyFiles({"ZEPHMUSIC.ttf", "scale.txt", "code.txt", "ptn.txt", "ric.txt", "AUX1.txt"});
        settings.Tempo = 120;
        settings.RepeatCount = 1;
        settings.ShowKeyboard = true;
    }
    frmMain& window() { return *trainer->window; }
    const Settings& live() { return trainer->state.settings; }
    const PlaySequence& seq() { return trainer->state.sequence; }
    void key(int k) { QTest::keyClick(find<QComboBox>("Combo1"), static_cast<Qt::Key>(k)); }
};

TEST_F(MainWindowTest, StartsOnTheStoredStudyAndBuildsItsFirstItem) {
    settings.StudyType = study_type::IIVIPattern;
    settings.Tempo = 0;
    start();
    EXPECT_EQ(find<QComboBox>("Combo2")->currentIndex(), study_type::IIVIPattern);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_GT(seq().SeqCount, 0);
    EXPECT_EQ(live().Tempo, 100); // a stored tempo below the bar's range
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 100);
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "100");
    EXPECT_TRUE(find<QComboBox>("Combo4")->isVisibleTo(&window()));
    EXPECT_FALSE(find<QCheckBox>("Check9")->isVisibleTo(&window()));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('|').toStdString();
}

TEST_F(MainWindowTest, UserFileIsListedOrReplacedByThePhrasesWhenGone) {
    settings.StudyType = study_type::UserPhrase;
    settings.UserFilePath = path("AUX1.txt").toStdString();
    start();
    EXPECT_EQ(find<QComboBox>("Combo2")->itemText(4), "AUX1 ");
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_GT(seq().SeqCount, 0);
    EXPECT_TRUE(prompter.messages.isEmpty());
    window().close();
    trainer.reset();

    QFile::remove(path("AUX1.txt"));
    start();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith(path("AUX1.txt")));
    EXPECT_TRUE(
        prompter.messages[0].endsWith(" がありません。メニュー＞ユーザ定義ファイル読み込みを行ってください"));
    EXPECT_TRUE(find<QComboBox>("Combo1")->itemText(0).startsWith("HOT1"));
}

// A name of a megabyte comes to the item list and to the staff's title already cut: laid out whole, it held
// the window for seconds.
TEST_F(MainWindowTest, AHugeNameIsShownCut) {
    QFile scales(path("scale.txt"));
    ASSERT_TRUE(scales.open(QIODevice::WriteOnly | QIODevice::Truncate));
    scales.write(QByteArray(1 << 20, 'A') + ",2212221\r\n");
    scales.close();
    settings.StudyType = study_type::Scale;
    settings.ShowScore = true;
    start();
    const QString shown = QString(255, QLatin1Char('A')) + QStringLiteral("…");
    EXPECT_EQ(find<QComboBox>("Combo1")->itemText(0), shown + QLatin1Char(' '));
    const StaffLayout* staff = window().views().staff();
    ASSERT_NE(staff, nullptr);
    const auto title = std::find_if(staff->marks.begin(), staff->marks.end(),
                                    [&](const StaffMark& mark) { return mark.text.endsWith(shown); });
    ASSERT_NE(title, staff->marks.end());
    EXPECT_EQ(title->text, QStringLiteral("C ") + shown);
}

TEST_F(MainWindowTest, TreatmentChangeKeepsTheSelectedPattern) {
    settings.StudyType = study_type::IIVIPattern;
    start();
    find<QComboBox>("Combo1")->setCurrentIndex(5);
    find<QComboBox>("Combo4")->setCurrentIndex(4);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 5);
    EXPECT_EQ(live().StudyItem[2], 5);
    EXPECT_EQ(live().IIVIMode[1], 4);
    // The V chord of the substitute dominant: Db7 in C.
    const int notesPerChord = seq().SeqCount / 4;
    EXPECT_EQ(seq().SeqChord[static_cast<std::size_t>(notesPerChord)], "Db7");
}

TEST_F(MainWindowTest, RootButtonsCarryIntoTheOctaveBothWays) {
    settings.RootKey = 11;
    start();
    ASSERT_EQ(seq().OctaveShift, 0);
    find<QPushButton>("Command3")->click();
    EXPECT_EQ(live().RootKey, 0);
    EXPECT_EQ(seq().OctaveShift, 1);
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(live().RootKey, 11);
    EXPECT_EQ(seq().OctaveShift, 0);
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(live().RootKey, 10);
    // Every rebuild from a root button sends the program changes first.
    EXPECT_GE(midi->messages().size(), 4U);
}

TEST_F(MainWindowTest, TypedTempoAppliesOnEnterInsideTheRangeAndLeavesTheBarWhereItIs) {
    start();
    QLineEdit* text = find<QLineEdit>("Text1");
    const struct {
        const char* typed;
        int plays;
    } cases[] = {{"132", 132}, {"0", 50}, {"99999", 300}, {"", 300}, {"abc", 300}, {"77", 77}};
    for (const auto& c : cases) {
        text->selectAll();
        QTest::keyClicks(text, c.typed);
        if (*c.typed == '\0') QTest::keyClick(text, Qt::Key_Backspace);
        QTest::keyClick(text, Qt::Key_Return);
        EXPECT_EQ(live().Tempo, c.plays) << c.typed;
        EXPECT_EQ(text->text(), QString::number(c.plays)) << c.typed;
    }
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 120);
}

TEST_F(MainWindowTest, TempoKeysStopAtTheEndsOfTheBar) {
    settings.Tempo = 300;
    start();
    key(Qt::Key_U);
    EXPECT_EQ(live().Tempo, 300);
    key(Qt::Key_D);
    EXPECT_EQ(live().Tempo, 299);
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "299");
    find<QScrollBar>("VScroll1")->setValue(50);
    key(Qt::Key_D);
    EXPECT_EQ(live().Tempo, 50);
    key(Qt::Key_U);
    EXPECT_EQ(live().Tempo, 51);
}

TEST_F(MainWindowTest, FourthKeyMovesTheRootWithoutAnOctaveCarry) {
    settings.RootKey = 8;
    start();
    const int shift = seq().OctaveShift;
    key(Qt::Key_F);
    EXPECT_EQ(live().RootKey, 1);
    EXPECT_EQ(seq().OctaveShift, shift);
    key(Qt::Key_P);
    EXPECT_EQ(live().RootKey, 2);
    key(Qt::Key_Q);
    EXPECT_EQ(live().RootKey, 1);
}

TEST_F(MainWindowTest, FavouritesGoBackIntoTheUserFileOnlyWhenChanged) {
    QFile::copy(path("AUX1.txt"), path("mine.txt"));
    settings.StudyType = study_type::UserPhrase;
    settings.UserFilePath = path("mine.txt").toStdString();
    start();
    auto bytes = [this] {
        QFile f(path("mine.txt"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QByteArray before = bytes();
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Scale);
    EXPECT_EQ(bytes(), before); // nothing changed, nothing written

    find<QComboBox>("Combo2")->setCurrentIndex(study_type::UserPhrase);
    QCheckBox* favourite = find<QCheckBox>("Check8");
    ASSERT_TRUE(favourite->isVisibleTo(&window()));
    const bool was = favourite->isChecked();
    favourite->click();
    EXPECT_EQ(window().study().FavouritesChanged(), 1);
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Scale);
    EXPECT_NE(bytes(), before);
    const QString firstHeader =
        QString::fromUtf8(bytes()).section(QLatin1Char('$'), 1, 1).section('\r', 0, 0);
    EXPECT_EQ(firstHeader.trimmed().endsWith(QStringLiteral("★")), !was) << firstHeader.toStdString();
}

TEST_F(MainWindowTest, ControlKeysRestoreTheLocationFileAndOpenTheCredits) {
    QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/location_org.txt"), path("location_org.txt"));
    start();
    QTest::keyClick(find<QComboBox>("Combo1"), Qt::Key_F10, Qt::ControlModifier);
    QFile copy(path("location.txt"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    QFile original(path("location_org.txt"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll());

    QTest::keyClick(find<QComboBox>("Combo1"), Qt::Key_F8, Qt::ControlModifier);
    QWidget* about = window().findChild<QWidget*>("FrmAboutMe");
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(MainWindowTest, SoundSwitchesActAtOnce) {
    settings.ClickOn = 1;
    settings.MelodyOn = 1;
    start();
    find<QPushButton>("Command10")->click();
    QWidget* switches = window().findChild<QWidget*>("MainSet");
    ASSERT_TRUE(switches);
    EXPECT_EQ(switches->windowTitle(), QStringLiteral("補足設定"));
    auto* click = switches->findChild<QCheckBox*>("Check7");
    auto* melody = switches->findChild<QCheckBox*>("Check10");
    ASSERT_TRUE(click && melody);
    EXPECT_TRUE(click->isChecked());
    click->click();
    melody->click();
    EXPECT_EQ(live().ClickOn, 0);
    EXPECT_EQ(live().MelodyOn, 0);
    switches->findChild<QCheckBox*>("Check9")->click();
    EXPECT_EQ(live().AccompanimentOn, 1);

    // Opened again, the same window shows the switches as the settings have them now.
    switches->close();
    trainer->state.settings.ClickOn = 1;
    find<QPushButton>("Command10")->click();
    EXPECT_EQ(window().findChild<QWidget*>("MainSet"), switches);
    EXPECT_TRUE(click->isChecked());
    EXPECT_EQ(live().ClickOn, 1);
}

// The tempo mark ("♩=120  1/4") stands while the play button plays, and goes with a play-through that ends
// without repeat and with the stop.
TEST_F(MainWindowTest, TempoMarkGoesWithTheEndOfAPlayThroughAndWithTheStop) {
    settings.CountInOn = 0;
    start();
    // The dark pixels where the mark is drawn, beside the circle diagram.
    const auto marked = [this] {
        const CirclePlace circle = window().CircleFor().place;
        const LabelPosition at =
            RepeatLabelPosition(static_cast<float>(circle.centreX), static_cast<float>(circle.centreY),
                                static_cast<float>(circle.radius), live().ShowKeyboard);
        const Surface& surface = *window().views().surface();
        const QRect area =
            QRectF(surface.toDevice(at.x - 200, at.y + 800), surface.toDevice(at.x + 3200, at.y - 800))
                .toAlignedRect()
                .intersected(surface.picture().rect());
        int dark = 0;
        for (int py = area.top(); py <= area.bottom(); ++py)
            for (int px = area.left(); px <= area.right(); ++px)
                dark += qGray(surface.picture().pixel(px, py)) < 128 ? 1 : 0;
        return dark;
    };
    const int before = marked();
    for (const bool repeat : {false, true}) {
        SCOPED_TRACE(repeat ? "stopped" : "one play-through");
        if (repeat) find<QCheckBox>("Check2")->click();
        int whilePlaying = -1;
        int atStop = before;
        const auto started = clock->peek();
        clock->setOnWake([&, stopped = false]() mutable {
            if (whilePlaying < 0) onUi([&] { whilePlaying = marked(); });
            if (repeat && !stopped && clock->peek() - started > std::chrono::seconds(3)) {
                stopped = true;
                onUi([&] {
                    find<QPushButton>("Command9")->click();
                    atStop = marked();
                });
            }
        });
        find<QPushButton>("Command5")->click();
        waitIdle();
        EXPECT_GT(whilePlaying, before);
        EXPECT_EQ(atStop, before);
        EXPECT_EQ(marked(), before);
    }
}

TEST_F(MainWindowTest, PlayMenuServesOnlyThePhraseStudies) {
    start();
    QMenu* play = window().findChild<QMenu*>("mnu_Play");
    ASSERT_TRUE(play);
    EXPECT_FALSE(play->isEnabled());
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::IIVIPhrase);
    EXPECT_TRUE(play->isEnabled());
    EXPECT_TRUE(find<QCheckBox>("Check8")->isVisibleTo(&window()));
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Chord);
    EXPECT_FALSE(play->isEnabled());
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// The semitone buttons and the fourth key move a phrase to the new root, as a press on the circle does,
// instead of reading it again in the key it is written in.
TEST_F(MainWindowTest, RootControlsTransposeAPhrase) {
    settings.StudyType = study_type::IIVIPhrase; // HOT1
    start();
    const struct {
        const char* what;
        std::function<void()> act;
        int semitones;
    } cases[] = {
        {"半音＋", [this] { find<QPushButton>("Command3")->click(); }, 1},
        {"半音－", [this] { find<QPushButton>("Command4")->click(); }, -1},
        {"P", [this] { key(Qt::Key_P); }, 1},
        {"F", [this] { key(Qt::Key_F); }, 5},
    };
    for (const auto& c : cases) {
        const int rootBefore = live().RootKey;
        const PlaySequence before = seq();
        c.act();
        EXPECT_EQ(live().RootKey, ((rootBefore + c.semitones) % 12 + 12) % 12) << c.what;
        ASSERT_EQ(seq().SeqCount, before.SeqCount) << c.what;
        for (int n = 0; n < seq().SeqCount; ++n) {
            const auto i = static_cast<std::size_t>(n);
            if (seq().SeqRest[i] == 1) continue;
            const int moved =
                (seq().SeqPitch[i] + 12 * seq().OctaveShift) - (before.SeqPitch[i] + 12 * before.OctaveShift);
            EXPECT_EQ(((moved - c.semitones) % 12 + 12) % 12, 0) << c.what << " note " << n;
        }
    }
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// A press on the on-screen keyboard sounds the key while held, at concert pitch or transposed, and with
// "鍵盤でROOTを変える" sets the root when the button is let go.
TEST_F(MainWindowTest, KeyboardPressesSoundTheKeyAndMaySetTheRoot) {
    settings.KeyboardSetsRoot = 1;
    settings.TransposeSemitones = -2;
    settings.PitchBaseC = 36;
    start();
    const KeyRect& d = window().views().keyboard().keys()[10]; // pitch 14, the D
    const QPoint at(qRound(window().scale().xToPixel((d.left + d.right) / 2.0)),
                    qRound(window().scale().yToPixel(400)));
    const struct {
        int concert;
        int key;
    } cases[] = {{1, 50}, {0, 48}};
    for (const auto& c : cases) {
        trainer->state.settings.ConcertPitchPlay = static_cast<std::int16_t>(c.concert);
        midi->clearRecords();
        QTest::mousePress(window().surface(), Qt::LeftButton, {}, at);
        const std::vector<testing::Sent> pressed = sent();
        ASSERT_FALSE(pressed.empty());
        EXPECT_TRUE(testing::IsNoteOn(pressed.back(), 0));
        EXPECT_EQ(pressed.back().data1, c.key) << c.concert;
        EXPECT_EQ(std::count_if(pressed.begin(), pressed.end(),
                                [](const testing::Sent& m) { return testing::IsNoteOn(m, 0); }),
                  1); // one press, one note
        EXPECT_EQ(live().RootKey, 2);
        QTest::mouseRelease(window().surface(), Qt::LeftButton, {}, at);
        EXPECT_TRUE(testing::IsAllNotesOff(sent().back(), 0) ||
                    testing::IsAllNotesOff(sent()[pressed.size()], 0));
    }
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// A press near a note name on the circle sets that root; a press far from every name leaves the root.
TEST_F(MainWindowTest, CirclePressesSetTheRootOfTheNameNearby) {
    settings.StudyType = study_type::IIVIPhrase;
    start();
    const CircleGeometry points = window().CircleFor().points;
    const auto press = [this](double x, double y) {
        const QPoint at(qRound(window().scale().xToPixel(x)), qRound(window().scale().yToPixel(y)));
        QTest::mousePress(window().surface(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(window().surface(), Qt::LeftButton, {}, at);
    };
    const PlaySequence before = seq();
    press(points[circle_sets::NameX][4] + 100, points[circle_sets::NameY][4]);
    EXPECT_EQ(live().RootKey, 4);
    // The phrase moved up a major third, not read again in its own key.
    EXPECT_EQ(
        ((seq().SeqPitch[0] + 12 * seq().OctaveShift) - (before.SeqPitch[0] + 12 * before.OctaveShift) + 48) %
            12,
        4);
    press(window().scale().logicalWidth * 0.3, window().scale().logicalHeight * 0.6); // nowhere near a name
    EXPECT_EQ(live().RootKey, 4);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// Presses anywhere on the views, with the keyboard shown and hidden: nothing is left sounding and the root
// only changes as a key or a note name says.
TEST_F(MainWindowTest, PressesAnywhereLeaveNothingSoundingAndTheRootAlone) {
    start();
    const KeyTable& keys = window().views().keyboard().keys();
    const double width = window().scale().logicalWidth;
    const double height = window().scale().logicalHeight;
    const std::pair<double, double> points[] = {
        {static_cast<double>(keys[1].right), 400}, // on the edge between two white keys
        {static_cast<double>(keys[3].left), 1500}, // on a black key's edge
        {static_cast<double>(keys[30].left + 10), 1000},
        {width * 0.3, height * 0.95}, // over the staff
        {10, 10},                     // the far corner
        {width * 0.7, 1000},          // right of the keys
    };
    for (const bool keyboardShown : {true, false}) {
        trainer->state.settings.ShowKeyboard = keyboardShown;
        window().study().rebuild(false);
        for (const auto& [x, y] : points) {
            midi->clearRecords();
            const QPoint at(qRound(window().scale().xToPixel(x)), qRound(window().scale().yToPixel(y)));
            QTest::mousePress(window().surface(), Qt::LeftButton, {}, at);
            QTest::mouseRelease(window().surface(), Qt::LeftButton, {}, at);
            testing::ExpectNothingLeftSounding(sent());
            EXPECT_EQ(live().RootKey, 0) << x << "," << y;
        }
    }
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// "出荷状態にもどす": No keeps everything; Yes puts the factory settings in place and ends at once, without
// the quit question and without saving this run's settings.
TEST_F(MainWindowTest, ResetToFactoryAsksThenEndsWithTheFactorySettings) {
    copyFiles({"cfg_org.infdat"});
    settings.Tempo = 187;
    start();
    const auto bytes = [this](const char* name) {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray ours = bytes("cfg.infdat");
    QAction* reset = window().findChild<QAction*>(QStringLiteral("mmu_file_reset"));
    ASSERT_NE(reset, nullptr);

    prompter.answers = {false};
    reset->trigger();
    EXPECT_EQ(bytes("cfg.infdat"), ours);
    EXPECT_TRUE(window().isVisible());

    prompter.answers = {true};
    reset->trigger();
    EXPECT_EQ(bytes("cfg.infdat"), bytes("cfg_org.infdat"));
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(prompter.questions.size(), 2); // the reset question twice, never the quit question
}

// A missing or broken factory record is said and replaces nothing; the program goes on.
TEST_F(MainWindowTest, ResetWithoutAWholeFactoryRecordKeepsTheSettings) {
    for (const QByteArray& factory : {QByteArray(), QByteArray("short")}) {
        SCOPED_TRACE(factory.size());
        TearDown(); // the previous round's window
        QFile::remove(path("cfg_org.infdat"));
        if (!factory.isEmpty()) {
            QFile f(path("cfg_org.infdat"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(factory);
        }
        start();
        QFile ours(path("cfg.infdat"));
        ASSERT_TRUE(ours.open(QIODevice::ReadOnly));
        const QByteArray before = ours.readAll();
        ours.close();
        prompter.answers = {true};
        prompter.messages.clear();
        window().findChild<QAction*>(QStringLiteral("mmu_file_reset"))->trigger();
        ASSERT_TRUE(ours.open(QIODevice::ReadOnly));
        EXPECT_EQ(ours.readAll(), before);
        EXPECT_TRUE(window().isVisible());
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_TRUE(prompter.messages.front().contains(QStringLiteral("cfg_org.infdat")));
    }
}

// The manual, the data files and the output chooser come from the program folder; a missing one is named
// in a message.
TEST_F(MainWindowTest, OpeningAMissingFileOnTheDesktopNamesIt) {
    start();
    const std::pair<const char*, const char*> items[] = {{"mnu_help_help", "help.pdf"},
                                                         {"mnu_edit_seting_file_0", "scale.txt"},
                                                         {"mnu_edit_seting_file_3", "ric.txt"},
                                                         {"mmu_settei_MIDISelect", "midiselector"}};
    for (const auto& [item, file] : items) {
        QFile::remove(path(file));
        prompter.messages.clear();
        window().findChild<QAction*>(QString::fromLatin1(item))->trigger();
        ASSERT_FALSE(prompter.messages.empty()) << item; // the output chooser first says when it takes effect
        EXPECT_TRUE(prompter.messages.back().contains(QString::fromLatin1(file))) << item;
    }
}

// A log-out (SIGTERM), Ctrl+C or a closed terminal while playing quits as 終了 does: the music stops, and
// the tempo the user chose is saved.
TEST_F(MainWindowTest, AQuitSignalWhilePlayingSavesTheSession) {
    start();
    const QuitSignals quitSignals([this] { window().quitWithoutAsking(); });
    const auto cfg = [this] {
        QFile f(path("cfg.infdat"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    ASSERT_TRUE(quitSignals.problem().isEmpty());
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        const int tempo = 130 + number;
        find<QScrollBar>("VScroll1")->setValue(tempo);
        find<QPushButton>("Command5")->click();
        ASSERT_TRUE(QTest::qWaitFor([this] { return !find<QPushButton>("Command5")->isEnabled(); }, 2000));
        ::raise(number);
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                const std::optional<Settings> now = DecodeSettingsRecord(cfg());
                return now && now->Tempo == tempo;
            },
            3000))
            << number;
        EXPECT_TRUE(prompter.questions.empty()) << "a signal's quit asks nothing";
        trainer.reset();
        start();
    }
}

// Whoever can write a data file cannot make the trainer run a program: the output chooser comes from beside
// the trainer's executable, and one planted in the program folder never runs.
TEST_F(MainWindowTest, AnOutputChooserPlantedInTheProgramFolderNeverRuns) {
    start();
    const QString ran = path("planted-ran");
    QFile planted(path("midiselector"));
    ASSERT_TRUE(planted.open(QIODevice::WriteOnly | QIODevice::Truncate));
    planted.write(QStringLiteral("#!/bin/sh\ntouch '%1'\n").arg(ran).toLocal8Bit());
    planted.close();
    planted.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    window().findChild<QAction*>(QStringLiteral("mmu_settei_MIDISelect"))->trigger();
    QTest::qWait(500);
    EXPECT_FALSE(QFile::exists(ran));
}

// The desktop's opener answers when it ends: a file it found no program for, or whose program gave up, is
// named in the program's words; a file that opened says nothing.
TEST_F(MainWindowTest, AFileTheDesktopDoesNotOpenIsNamed) {
    start();
    QTemporaryDir bin;
    const QByteArray searchPath = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + searchPath);
    const std::pair<int, QString> answers[] = {
        {0, QString()},
        {3, captions::NoProgramToOpen.arg(QStringLiteral("scale.txt"))},
        {4, captions::CannotOpen.arg(QStringLiteral("scale.txt"))}};
    for (const auto& [exitCode, said] : answers) {
        QFile opener(bin.filePath(QStringLiteral("xdg-open")));
        opener.open(QIODevice::WriteOnly | QIODevice::Truncate);
        opener.write(QStringLiteral("#!/bin/sh\nexit %1\n").arg(exitCode).toLatin1());
        opener.close();
        opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        prompter.messages.clear();
        window().findChild<QAction*>(QStringLiteral("mnu_edit_seting_file_0"))->trigger();
        EXPECT_TRUE(QTest::qWaitFor([this] { return window().findChildren<QProcess*>().isEmpty(); }, 5000));
        EXPECT_EQ(prompter.messages, said.isEmpty() ? QStringList() : QStringList{said}) << exitCode;
    }
    qputenv("PATH", searchPath);
}

// The colour window edits copies: Cancel keeps the settings and the file, a cancelled chooser keeps the box,
// OK stores every box and saves. The same window serves every opening.
TEST_F(MainWindowTest, ColourWindowStoresItsBoxesOnlyOnOk) {
    settings.ViewColour = {1, 2, 3, 4, 5, 6, 7};
    start();
    const auto cfg = [this] {
        QFile f(path("cfg.infdat"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = cfg();
    const auto openForm = [this] {
        window().findChild<QAction*>(QStringLiteral("mnu_settei_color"))->trigger();
        auto* form = window().findChild<FrmColset*>(QStringLiteral("frmColset"));
        EXPECT_NE(form, nullptr);
        return form;
    };

    FrmColset* first = openForm();
    ASSERT_NE(first, nullptr);
    prompter.colours = {0x123456U};
    first->findChild<QPushButton*>(QStringLiteral("Picture1_2"))->click();
    EXPECT_EQ(first->boxColour(2), 0x123456U);
    EXPECT_EQ(prompter.colourStarts, std::vector<std::uint32_t>{3});
    first->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(live().ViewColour[2], 3U);
    EXPECT_EQ(cfg(), before);

    // The window is built once: shown again, it has the settings' colours, not the cancelled ones.
    FrmColset* second = openForm();
    ASSERT_EQ(second, first);
    EXPECT_EQ(second->boxColour(2), 3U);
    prompter.colours = {std::nullopt, 0xABCDEFU};
    second->findChild<QPushButton*>(QStringLiteral("Picture1_0"))->click();
    second->findChild<QPushButton*>(QStringLiteral("Picture1_6"))->click();
    second->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    const std::array<std::uint32_t, 7> expected{1, 2, 3, 4, 5, 6, 0xABCDEF};
    EXPECT_EQ(live().ViewColour, expected);
    const std::optional<Settings> saved = DecodeSettingsRecord(cfg());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->ViewColour, expected);
}

// "ユーザ定義ファイルを読む": the chosen file becomes the user-phrase entry and lists its phrases; Cancel
// changes nothing.
TEST_F(MainWindowTest, OpeningAUserFileShowsItsPhrases) {
    QFile::copy(path("AUX1.txt"), path("mine.txt"));
    start();
    QAction* open = window().findChild<QAction*>(QStringLiteral("mnu_OpenDf"));
    ASSERT_NE(open, nullptr);
    QComboBox* kinds = find<QComboBox>("Combo2");
    const int kindBefore = kinds->currentIndex();
    const std::string fileBefore = live().UserFilePath;

    open->trigger(); // cancelled
    EXPECT_EQ(kinds->currentIndex(), kindBefore);
    EXPECT_EQ(live().UserFilePath, fileBefore);
    EXPECT_EQ(prompter.fileFolders.size(), 1);

    prompter.chosenFile = path("mine.txt");
    open->trigger();
    EXPECT_EQ(kinds->currentIndex(), study_type::UserPhrase);
    EXPECT_TRUE(kinds->currentText().startsWith(QStringLiteral("mine")));
    EXPECT_EQ(live().UserFilePath, path("mine.txt").toStdString());
    EXPECT_GT(find<QComboBox>("Combo1")->count(), 0);
    EXPECT_GT(seq().SeqCount, 0);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// "鍵盤表示" hides the keyboard with its three check boxes and brings them back.
TEST_F(MainWindowTest, KeyboardItemHidesTheKeyboardAndItsBoxes) {
    start();
    auto* item = window().findChild<QAction*>(QStringLiteral("mnu_View_ShowKeyBord"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    for (const bool shown : {false, true}) {
        item->trigger();
        EXPECT_EQ(item->isChecked(), shown);
        EXPECT_EQ(window().views().keyboardShown(), shown);
        for (const char* box : {"Check1", "Check3", "Check5"})
            EXPECT_EQ(find<QCheckBox>(box)->isVisible(), shown) << box;
    }
}

} // namespace
} // namespace orbel
