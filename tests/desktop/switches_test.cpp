// The switches of 補足設定 and the play keys as a musician uses them while the music runs.

#include "desktop/desktop.h"
#include "desktop/trainer_run.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>

namespace orbel::desktop {
namespace {

using namespace std::chrono_literals;

constexpr int NoteOn = 0x90;
constexpr int Melody = 0, Chords = 1, Bass = 2, Drums = 9;
constexpr int ClickKey = 33;

bool IsNoteOn(const LoggedMessage& m, int channel) {
    return m.status == NoteOn + channel && m.data2 > 0;
}

// Clicks sent after the last note-on of any of channels.
long ClicksAfterLast(const std::vector<LoggedMessage>& log, std::initializer_list<int> channels) {
    const auto last = std::find_if(log.rbegin(), log.rend(), [&](const LoggedMessage& m) {
        return std::any_of(channels.begin(), channels.end(), [&](int c) { return IsNoteOn(m, c); });
    });
    return std::count_if(log.rbegin(), last,
                         [](const LoggedMessage& m) { return IsNoteOn(m, Drums) && m.data1 == ClickKey; });
}

bool Idle(const TrainerRun& trainer) {
    const auto play = trainer.control(QStringLiteral("frmMain/Command5"), 100ms);
    return play && !play->state.contains(QStringLiteral("disabled"));
}

class Switches : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(desktop.ready()) << desktop.problem(); }
    Desktop desktop{1920, 1080};
};

// Two beats a second: three seconds after a switch is cleared, about six clicks have followed its part's
// last note when it acts from the next beat.
TEST_F(Switches, AccompanimentAndMelodyStopFromTheNextBeat) {
    TrainerRun trainer(
        desktop, {"RepeatOn=1", "CountInOn=0", "ClickOn=1", "AccompanimentOn=1", "MelodyOn=1", "Tempo=120"});
    ASSERT_TRUE(trainer.started());
    ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command5")));
    std::this_thread::sleep_for(2s);
    ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command10")));
    ASSERT_TRUE(trainer.click(QStringLiteral("MainSet/Check9")));
    std::this_thread::sleep_for(3s);
    ASSERT_TRUE(trainer.click(QStringLiteral("MainSet/Check10")));
    std::this_thread::sleep_for(3s);
    const std::vector<LoggedMessage> log = trainer.midiLog();
    ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command9")));
    EXPECT_GE(ClicksAfterLast(log, {Chords, Bass}), 10) << "the accompaniment went on after 伴奏 was cleared";
    EXPECT_GE(ClicksAfterLast(log, {Melody}), 4) << "the melody went on after 旋律 was cleared";
}

TEST_F(Switches, SpaceStopsTheMusicWhereverTheFocusIsAndChangesNoSetting) {
    TrainerRun trainer(desktop, {"RepeatOn=1", "CountInOn=0"});
    ASSERT_TRUE(trainer.started());
    ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command10")));
    // A box the musician has just clicked keeps the focus: one that acts only at the next start, and
    // スイング of the main window.
    for (const char* box : {"MainSet/Check8", "frmMain/Check6"}) {
        SCOPED_TRACE(box);
        const QString name = QString::fromLatin1(box);
        ASSERT_TRUE(trainer.click(QStringLiteral("frmMain/Command5")));
        std::this_thread::sleep_for(500ms);
        ASSERT_TRUE(trainer.click(name));
        std::this_thread::sleep_for(300ms);
        const QString before = trainer.control(name)->state;
        ASSERT_TRUE(before.contains(QStringLiteral("focus")));
        ASSERT_FALSE(Idle(trainer));
        desktop.key("space");
        std::this_thread::sleep_for(800ms);
        EXPECT_TRUE(Idle(trainer)) << "Space did not stop the music";
        EXPECT_EQ(trainer.control(name)->state.section(QLatin1Char(','), 0, 0),
                  before.section(QLatin1Char(','), 0, 0))
            << "Space changed the box";
        if (!Idle(trainer)) trainer.click(QStringLiteral("frmMain/Command9"));
    }
}

} // namespace
} // namespace orbel::desktop
