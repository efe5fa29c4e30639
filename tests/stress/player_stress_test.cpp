// The player on its own thread and the real clock, worked from this thread as the window works it: play
// actions chosen at random, stops at random moments (some a moment after the start, some while the
// accompaniment is still being built), tempo, switch and volume changes and root requests published
// meanwhile, actions started over running ones. Meant for the ThreadSanitizer build as much as for the
// others: no data race, no stop lost (nothing sounds 10 ms after it), no stop or start that hangs.

#include "app/study_session.h"
#include "sound/background_player.h"
#include "sound/deadline_clock.h"
#include "sound/hi_delay.h"
#include "sound/live_settings.h"
#include "sound/midi_port.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "theory/prepare_build.h"
#include "theory/vocabulary.h"

#include <chrono>
#include <gtest/gtest.h>
#include <mutex>
#include <random>
#include <thread>

namespace orbel {
namespace {

using namespace std::chrono_literals;
using Steady = std::chrono::steady_clock;

constexpr int Rounds = 2000;
constexpr auto LongestPlay = 15ms;
// A stop ends what plays at the player's next wait, a few milliseconds at most.
constexpr std::int64_t HeardAfterStopUs = 10'000;
// Stopping and waiting for the player's thread; far beyond what it takes, short of a hang.
constexpr auto LongestStop = 2s;

std::int64_t SteadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Steady::now().time_since_epoch()).count();
}

// What the window hears, kept with a lock of its own as the window's queue would.
class CountingEvents final : public PlayerEvents {
public:
    void MakeSound_Bot_show(bool playing) override {
        const std::lock_guard lock(mutex_);
        playing ? ++started : ++ended;
    }
    void studyChanged(const StudyChange& change) override {
        const std::lock_guard lock(mutex_);
        lastRoot = change.RootKey;
    }
    void tellUser(const QString& /*text*/) override {
        const std::lock_guard lock(mutex_);
        ++told;
    }
    int told = 0;

private:
    std::mutex mutex_;
    int started = 0;
    int ended = 0;
    int lastRoot = 0;
};

StudyState FactoryScales() {
    StudyState study;
    Settings& s = study.settings;
    s.StudyType = study_type::Scale;
    s.Tempo = 300;
    s.RepeatOn = 1;
    s.RepeatCount = 2;
    s.CountInOn = 1;
    s.MelodyOn = 1;
    s.AccompanimentOn = 1;
    s.ClickOn = 1;
    s.MelodyVolume = s.ChordVolume = s.BassVolume = s.ClickVolume = 100;
    s.MelodyProgram = s.ChordProgram = 1;
    InitIIVITables(study.iiviTables);
    StudySession session(study);
    session.loadItems(QStringLiteral(ORBEL_PROGRAM_DIR));
    (void)session.selectItem(0);
    return study;
}

using Action = BackgroundPlayer::Action;

const std::vector<Action>& Actions() {
    static const std::vector<Action> actions = {
        [](PlaySled& sled, PlayModes&) { sled.PlayRepeated(5); },
        [](PlaySled& sled, PlayModes&) { sled.PlayRepeated(1); },
        [](PlaySled& sled, PlayModes&) { sled.PlayOnce(); },
        [](PlaySled& sled, PlayModes&) { sled.Metronome(); },
        [](PlaySled&, PlayModes& modes) { modes.PlayThis(); },
        [](PlaySled&, PlayModes& modes) { modes.PlayAllInOrder(); },
        [](PlaySled&, PlayModes& modes) { modes.PlayAllAtRandom(); },
    };
    return actions;
}

bool IsNoteOn(const RecordingOutput::Record& r) {
    // Status in the low byte, the velocity in the third.
    return (r.message & 0xF0U) == 0x90U && ((r.message >> 16) & 0x7FU) > 0;
}

// An output that plays at once, and one that holds every message until its due time plus a delay, as the
// built-in synthesizer does (the player then sends a little ahead of the beat).
class PlayerStress : public ::testing::TestWithParam<std::chrono::microseconds> {};

INSTANTIATE_TEST_SUITE_P(Outputs, PlayerStress, ::testing::Values(0us, 1000us),
                         [](const auto& info) { return info.param.count() == 0 ? "AtOnce" : "Scheduled"; });

TEST_P(PlayerStress, RandomActionsStopsAndChangesLoseNoStopAndNeverHang) {
    const StudyState study = FactoryScales();
    ASSERT_GT(study.itemCount, 1);
    testing::RecordingPrompter prompter;
    auto recorder = std::make_unique<RecordingOutput>(SteadyMicros);
    recorder->scheduleWithDelay(GetParam());
    RecordingOutput& output = *recorder;
    MidiPort port(prompter, std::move(recorder), std::nullopt);
    ASSERT_TRUE(port.open());
    LiveSettings live;
    live.publish(study.settings);
    CountingEvents events;
    PlayerViews views;
    SteadyDeadlineClock clock;
    // In real time, as in the trainer, so that other tests running beside this one do not make it late.
    BackgroundPlayer player(port, clock, live, events, views, true);

    std::mt19937 random(2024);
    const auto below = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    Settings window = study.settings;
    int lost = 0;
    int heard = 0;
    // An output that holds messages gets them that much before they are due: the plays are longer by that,
    // so that they sound as long (the actions replaced at once still stop while the first is held).
    const auto heldFor = TuningForOutput(GetParam()).sendAhead;
    // Fewer rounds where each plays longer.
    const int rounds = heldFor > heldFor.zero() ? Rounds / 4 : Rounds;
    for (int round = 0; round < rounds; ++round) {
        player.start(study, Actions()[static_cast<std::size_t>(below(static_cast<int>(Actions().size())))]);
        // Now and then a new action replaces this one, which stops it first.
        if (below(8) == 0) continue;
        const auto stopAt = Steady::now() + heldFor + std::chrono::microseconds(below(LongestPlay / 1us));
        while (Steady::now() < stopAt) {
            switch (below(4)) {
            case 0:
                window.Tempo = static_cast<std::int16_t>(50 + below(251));
                break;
            case 1:
                window.AccompanimentOn = static_cast<std::int16_t>(below(2));
                break;
            case 2:
                window.MelodyVolume = static_cast<std::int16_t>(below(128));
                break;
            default:
                live.requestRoot(below(12));
                break;
            }
            live.publish(window);
            std::this_thread::sleep_for(std::chrono::microseconds(below(2000)));
        }
        const std::int64_t stoppedUs = SteadyMicros();
        player.requestStop();
        const auto before = Steady::now();
        player.stopAndWait();
        ASSERT_LT(Steady::now() - before, LongestStop) << "round " << round << ": the stop hung";
        for (const RecordingOutput::Record& r : output.records()) {
            if (!IsNoteOn(r)) continue;
            ++heard;
            // When it sounds is when it is due: one sent late because the machine stalled was due before.
            if (r.dueMicros.value_or(r.micros) > stoppedUs + HeardAfterStopUs) ++lost;
        }
        output.clearRecords();
    }
    player.stopAndWait();
    EXPECT_EQ(lost, 0) << "notes that sounded more than 10 ms after their stop";
    EXPECT_EQ(events.told, 0);
    EXPECT_GT(heard, rounds) << "the actions hardly played";
}

} // namespace
} // namespace orbel
