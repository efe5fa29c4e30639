// The play controls of the main window, on a clock that moves only when the player waits.

#include "support/trainer_fixture.h"
#include "theory/prepare_build.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace orbel {
namespace {

using namespace std::chrono_literals;
using testing::Sent;

class PlayControlsTest : public testing::TrainerFixture {
protected:
    void SetUp() override {
        copyFiles({"ZEPHMUSIC.ttf", "ptn.txt", "ric.txt", "scale.txt"});
        Settings& s = settings;
        s.StudyType = study_type::IIVIPattern;
        s.Tempo = 120;
        s.ClickOn = s.CountInOn = s.AccompanimentOn = s.MelodyOn = 1;
        s.MelodyVolume = s.ChordVolume = s.BassVolume = s.ClickVolume = 100;
        s.MelodyProgram = s.ChordProgram = 1;
        s.PitchBaseC = 36;
        s.RepeatOn = 1;
        s.RepeatCount = 1;
        s.RootProgression = 2; // a fourth up from one pass to the next
        s.ShowKeyboard = true;
    }
};

TEST_F(PlayControlsTest, PatternPlaysTwoPassesAFourthApartWithClickCountInAndAccompaniment) {
    start();
    find<QComboBox>("Combo1")->setCurrentIndex(2); // 1-3-5-7
    midi->clearRecords();
    // Two bars of count-in (4000 ms), then two passes of four bars of 504 ms beats; stop in the last tick.
    stopAfter(4000ms + 2 * 16 * 504ms - 10ms);
    find<QPushButton>("Command5")->click();
    waitIdle();

    std::vector<std::int64_t> countIn;
    std::vector<std::int64_t> clicks;
    std::vector<int> melody;
    int bass = 0;
    int chords = 0;
    std::int64_t t0 = -1; // the first count-in click
    for (const Sent& m : sent()) {
        if (t0 < 0 && m.status == 0x99 && m.data1 == 0x44) t0 = m.micros;
        if (m.status == 0x99 && m.data1 == 0x44 && m.data2 == 0x7F) countIn.push_back(m.micros - t0);
        if (m.status == 0x99 && m.data1 == 33 && m.data2 == 100) clicks.push_back(m.micros - t0);
        if (m.status == 0x90 && m.data2 > 0) melody.push_back(m.data1);
        if (m.status == 0x92 && m.data2 > 0) ++bass;
        if (m.status == 0x91 && m.data2 > 0) ++chords;
    }
    EXPECT_EQ(countIn, (std::vector<std::int64_t>{0, 1000000, 2000000, 2500000, 3000000, 3500000}));
    ASSERT_EQ(clicks.size(), 32U);
    for (std::size_t beat = 0; beat < clicks.size(); ++beat)
        EXPECT_EQ(clicks[beat], 4000000 + static_cast<std::int64_t>(beat) * 504000) << "beat " << beat;
    const std::vector<int> inC = {62, 65, 69, 72, 67, 71, 74, 77, 60, 64, 67, 71, 60, 64, 67, 71};
    std::vector<int> expected = inC;
    for (int key : inC)
        expected.push_back(key + 5);
    EXPECT_EQ(melody, expected);
    EXPECT_GT(bass, 0);
    EXPECT_GT(chords, 0);

    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("Command9")->isEnabled());
    EXPECT_TRUE(find<QComboBox>("Combo1")->isEnabled());
    EXPECT_EQ(trainer->state.settings.RootKey, 5);
}

TEST_F(PlayControlsTest, WithoutRepeatOnePassPlaysAndTheControlsComeBack) {
    settings.RepeatOn = 0;
    settings.CountInOn = 0;
    start();
    bool disabledWhilePlaying = false;
    clock->setOnWake([&] {
        if (!disabledWhilePlaying)
            onUi([&] { disabledWhilePlaying = !find<QPushButton>("Command5")->isEnabled(); });
    });
    find<QPushButton>("Command5")->click();
    waitIdle();
    EXPECT_TRUE(disabledWhilePlaying);
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("Command9")->isEnabled());
    EXPECT_EQ(trainer->state.settings.RootKey, 0);
}

// Space is the program's, never the focused control's: it stops the music from a list of the main window
// and from a switch of 補足設定, and the switch stays as it was.
TEST_F(PlayControlsTest, SpaceStartsWhenIdleAndStopsWhilePlayingWhereverTheFocusIs) {
    start();
    find<QPushButton>("Command10")->click();
    auto* soundSwitch = find<QDialog>("MainSet")->findChild<QCheckBox*>(QStringLiteral("Check7"));
    ASSERT_TRUE(soundSwitch && soundSwitch->isChecked());
    for (QWidget* focus :
         {static_cast<QWidget*>(find<QComboBox>("Combo2")), static_cast<QWidget*>(soundSwitch)}) {
        SCOPED_TRACE(focus->objectName().toStdString());
        bool stoppedBySpace = false;
        clock->setOnWake([&] {
            if (stoppedBySpace) return;
            onUi([&] {
                if (find<QPushButton>("Command5")->isEnabled()) return;
                stoppedBySpace = true;
                QTest::keyClick(focus, Qt::Key_Space);
            });
        });
        QTest::keyClick(find<QComboBox>("Combo1"), Qt::Key_Space);
        waitIdle();
        EXPECT_TRUE(stoppedBySpace);
        EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
        EXPECT_FALSE(find<QPushButton>("Command9")->isEnabled());
    }
    EXPECT_TRUE(soundSwitch->isChecked());
    EXPECT_EQ(trainer->state.settings.ClickOn, 1);
}

TEST_F(PlayControlsTest, StopDuringTheCountInPlaysNothing) {
    start();
    midi->clearRecords();
    stopAfter(1500ms);
    find<QPushButton>("Command5")->click();
    waitIdle();
    for (const Sent& m : sent())
        EXPECT_FALSE(m.status == 0x90 && m.data2 > 0) << "melody note " << m.data1;
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
}

TEST_F(PlayControlsTest, QuitWhilePlayingEndsThePerformanceAndSaves) {
    start();
    QFile::remove(folder.filePath("cfg.infdat"));
    prompter.answers = {true};
    clock->setOnWake([&, asked = false]() mutable {
        if (asked || clock->peek().time_since_epoch() <= 6s) return;
        asked = true;
        // Quitting waits for the player's thread, so it must not be waited for from there.
        laterOnUi([&] { trainer->window->close(); });
    });
    find<QPushButton>("Command5")->click();
    waitIdle();
    EXPECT_FALSE(trainer->window->isVisible());
    EXPECT_FALSE(trainer->player->busy());
    EXPECT_EQ(QFileInfo(folder.filePath("cfg.infdat")).size(), 316);
    EXPECT_EQ(prompter.questions.size(), 1);
    trainer.reset();
}

// A user file of one-bar whole notes, one pitch per item, so the melody tells which item played.
class PlayModesTest : public PlayControlsTest {
protected:
    void startWith(const QByteArray& phrases) {
        QFile file(folder.filePath("mine.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(phrases);
        file.close();
        settings.StudyType = study_type::UserPhrase;
        settings.UserFilePath = folder.filePath("mine.txt").toStdString();
        StoreUserFilePath(settings);
        settings.AccompanimentOn = 0;
        settings.ClickOn = 0;
        start();
    }
    static QByteArray Items(int count, std::initializer_list<int> favourites) {
        const char* notes[] = {"3C7", "3D7", "3E7", "3F7", "3G7", "3A7", "3B7"};
        QByteArray text;
        for (int i = 0; i < count; ++i) {
            const bool favourite = std::find(favourites.begin(), favourites.end(), i) != favourites.end();
            text += "$item" + QByteArray::number(i) + (favourite ? "\xe2\x98\x85" : "") + "\r\n*C\r\n" +
                    notes[i] + "\r\n";
        }
        return text;
    }
    // The items played, read from the melody: item k sounds the k-th note of the C major scale.
    std::vector<int> played() const {
        const int keys[] = {60, 62, 64, 65, 67, 69, 71};
        std::vector<int> items;
        for (const Sent& m : sent())
            if (m.status == 0x90 && m.data2 > 0)
                items.push_back(int(std::find(std::begin(keys), std::end(keys), m.data1) - std::begin(keys)));
        return items;
    }
    void stopAfterItems(std::size_t n) {
        clock->setOnWake([this, n, done = false]() mutable {
            if (done || played().size() < n) return;
            done = true;
            onUi([this] { trainer->window->findChild<QAction*>("mnu_Play_stop")->trigger(); });
        });
    }
    void run(const char* mode) {
        trainer->window->findChild<QAction*>(QString::fromLatin1(mode))->trigger();
        waitIdle();
    }
};

TEST_F(PlayModesTest, RandomOrderPlaysEveryItemOncePerCycle) {
    startWith(Items(3, {}));
    midi->clearRecords();
    stopAfterItems(9);
    run("mnu_Play_rnd");
    std::vector<int> items = played();
    ASSERT_GE(items.size(), 9U);
    for (std::size_t cycle = 0; cycle < 3; ++cycle) {
        std::vector<int> one(items.begin() + 3 * cycle, items.begin() + 3 * cycle + 3);
        std::sort(one.begin(), one.end());
        EXPECT_EQ(one, (std::vector<int>{0, 1, 2})) << "cycle " << cycle;
    }
    EXPECT_TRUE(trainer->window->findChild<QPushButton*>("Command5")->isEnabled());
}

TEST_F(PlayModesTest, FavouritesInOrderRepeatAfterOneCountIn) {
    startWith(Items(6, {3, 5}));
    midi->clearRecords();
    stopAfterItems(4);
    run("mnu_Play_Fav_jun");
    const std::vector<int> items = played();
    EXPECT_EQ(std::vector<int>(items.begin(), items.begin() + 4), (std::vector<int>{3, 5, 3, 5}));
    int countIn = 0;
    for (const Sent& m : sent())
        countIn += m.status == 0x99 && m.data1 == 0x44;
    EXPECT_EQ(countIn, 6);
}

TEST_F(PlayModesTest, NoFavouritesIsSaidAndNothingPlays) {
    startWith(Items(3, {}));
    midi->clearRecords();
    run("mnu_Play_Fav_rnd");
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("　お気に入りフレーズがありません！！")});
    EXPECT_TRUE(played().empty());
    EXPECT_TRUE(trainer->window->findChild<QPushButton*>("Command5")->isEnabled());
}

TEST_F(PlayModesTest, StopDuringAllInOrderLeavesThatItemSelected) {
    startWith(Items(7, {}));
    clock->setOnWake([this] {
        onUi([this] {
            if (find<QComboBox>("Combo1")->currentIndex() == 4)
                trainer->window->findChild<QAction*>("mnu_Play_stop")->trigger();
        });
    });
    run("mnu_Play_all_jun");
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 4);
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
    EXPECT_FALSE(find<QPushButton>("Command9")->isEnabled());
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

using namespace std::chrono_literals;
using testing::Sent;

class PlayerThreadTest : public PlayControlsTest {};

// The window sits in a nested event loop (a message box, a menu) from the third second on; the player goes
// on without it: every click on its beat, each due on the deadline grid, no note left hanging.
TEST_F(PlayerThreadTest, ANestedLoopOnTheWindowHoldsNothing) {
    start();
    find<QComboBox>("Combo1")->setCurrentIndex(2);
    midi->clearRecords();
    std::atomic<bool> boxOpen = false;
    std::atomic<bool> boxDone = false;
    int sentWhileOpen = 0;
    const auto base = clock->peek();
    clock->setOnWake([&, asked = false]() mutable {
        const auto now = clock->peek() - base;
        if (!asked && now >= 3s) {
            asked = true;
            laterOnUi([&] {
                boxOpen = true;
                QEventLoop box;
                QTimer::singleShot(300, &box, &QEventLoop::quit);
                box.exec();
                boxOpen = false;
                boxDone = true;
            });
            // The box appears now, as far as the performance is concerned.
            for (int i = 0; i < 2000 && !boxOpen; ++i)
                std::this_thread::sleep_for(1ms);
        }
        if (boxOpen) sentWhileOpen = static_cast<int>(midi->records().size());
        if (now >= 12s) trainer->player->requestStop();
    });
    find<QPushButton>("Command5")->click();
    waitIdle();
    for (int i = 0; i < 2000 && !boxDone; ++i)
        QTest::qWait(1);

    EXPECT_GT(sentWhileOpen, 0) << "the player waited for the window";
    std::vector<std::int64_t> clicks;
    std::int64_t firstCountIn = -1;
    for (const Sent& m : sent()) {
        if (firstCountIn < 0 && testing::IsCountIn(m)) firstCountIn = m.micros;
        if (testing::IsClick(m)) {
            clicks.push_back(m.micros);
            ASSERT_TRUE(m.dueMicros);
            EXPECT_NEAR(static_cast<double>(*m.dueMicros), static_cast<double>(m.micros), 5.0)
                << "a click sent off its deadline";
        }
    }
    ASSERT_GE(clicks.size(), 15U);
    for (std::size_t beat = 0; beat < clicks.size(); ++beat)
        EXPECT_EQ(clicks[beat] - firstCountIn, 4000000 + static_cast<std::int64_t>(beat) * 504000) << beat;
    // The performance ended with every voice switched off.
    testing::ExpectNothingLeftSounding(sent());
}

// At tempo 50 the count-in waits 2.4 s for each half note; a stop in the middle of that wait ends it at once.
TEST_F(PlayerThreadTest, AStopInALongCountInWaitEndsItWithinTenMilliseconds) {
    settings.Tempo = 50;
    start();
    midi->clearRecords();
    DeadlineClock::TimePoint stoppedAt{};
    const auto base = clock->peek();
    clock->setOnWake([&, done = false]() mutable {
        if (done || clock->peek() - base < 1200ms) return;
        done = true;
        stoppedAt = clock->peek();
        onUi([this] { find<QPushButton>("Command9")->click(); });
    });
    find<QPushButton>("Command5")->click();
    waitIdle();
    ASSERT_NE(stoppedAt, DeadlineClock::TimePoint{});
    EXPECT_LE(clock->peek() - stoppedAt, 10ms);
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
}

// The play button pressed while the sound button plays: the sound button's play-through ends before the new
// one begins, and after the stop no channel is left sounding.
TEST_F(PlayerThreadTest, SoundButtonThenPlayThenStopLeavesNothingSounding) {
    settings.CountInOn = 0;
    start();
    midi->clearRecords();
    const auto base = clock->peek();
    clock->setOnWake([&, step = 0]() mutable {
        const auto now = clock->peek() - base;
        if (step == 0 && now >= 700ms) {
            step = 1;
            laterOnUi([this] { find<QPushButton>("Command5")->click(); });
            // The press reaches the window while this play-through still runs.
            for (int i = 0; i < 2000 && !trainer->player->sled().stopRequested(); ++i)
                std::this_thread::sleep_for(1ms);
        } else if (step == 1 && !trainer->player->sled().stopRequested()) {
            step = 2;
        } else if (step == 2 && now >= 3s) {
            step = 3;
            onUi([this] { find<QPushButton>("Command9")->click(); });
        }
    });
    find<QPushButton>("Command6")->click();
    for (int i = 0; i < 4000 && (trainer->player->busy() || !find<QPushButton>("Command5")->isEnabled()); ++i)
        QTest::qWait(1);
    waitIdle();

    const std::vector<Sent> all = sent();
    testing::ExpectNothingLeftSounding(all);
    // Time only moves forward: the two play-throughs never interleave.
    for (std::size_t i = 1; i < all.size(); ++i)
        EXPECT_LE(all[i - 1].micros, all[i].micros);
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled());
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

using namespace std::chrono_literals;
using testing::Sent;

// The switches of the sound switches window act on a performance on the player's thread: the click at the
// next tick, the accompaniment and the melody from the next beat on.
TEST_F(PlayerThreadTest, SoundSwitchesActOnThePlayingPerformance) {
    settings.CountInOn = 0;
    start();
    find<QComboBox>("Combo1")->setCurrentIndex(2);
    find<QPushButton>("Command10")->click();
    midi->clearRecords();
    const auto base = clock->peek();
    std::int64_t switchedAt = -1;
    clock->setOnWake([&, step = 0]() mutable {
        const auto now = clock->peek() - base;
        if (step == 0 && now >= 3s) {
            step = 1;
            switchedAt = Micros(clock->peek());
            onUi([this] {
                auto* switches = trainer->window->findChild<QWidget*>("MainSet");
                for (const char* name : {"Check7", "Check9", "Check10"}) // click, accompaniment, melody off
                    switches->findChild<QCheckBox*>(name)->click();
            });
        } else if (step == 1 && now >= 6s) {
            step = 2;
            trainer->player->requestStop();
        }
    });
    find<QPushButton>("Command5")->click();
    waitIdle();
    int before = 0;
    int after = 0;
    std::array<int, 3> notesBefore{}; // melody, chords, bass
    std::array<int, 3> notesAfterTheBeat{};
    const std::int64_t nextBeat = switchedAt + 504000;
    for (const Sent& m : sent()) {
        for (int channel : {0, 1, 2}) {
            const auto c = static_cast<std::size_t>(channel);
            if (!testing::IsNoteOn(m, channel)) continue;
            if (m.micros < switchedAt) ++notesBefore[c];
            if (m.micros >= nextBeat) ++notesAfterTheBeat[c];
        }
        if (!testing::IsClick(m)) continue;
        (m.micros < switchedAt ? before : after) += 1;
    }
    EXPECT_GE(before, 5);
    EXPECT_EQ(after, 0);
    for (std::size_t channel : {0U, 1U, 2U}) {
        EXPECT_GT(notesBefore[channel], 0) << "channel " << channel;
        EXPECT_EQ(notesAfterTheBeat[channel], 0) << "channel " << channel;
    }
}

} // namespace
} // namespace orbel
