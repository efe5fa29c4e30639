// The deadline timer, on a hand-driven clock.
#include "sound/hi_delay.h"

#include <climits>
#include <gtest/gtest.h>
#include <stop_token>
#include <vector>

namespace orbel {
namespace {

using namespace std::chrono_literals;
using Duration = DeadlineClock::Duration;

class HiDelayTest : public ::testing::Test {
protected:
    HiDelayTest() { NewAction(); }
    // The waits belong to a new action, whose stop is not requested.
    void NewAction() {
        stop = {};
        timer.setStop(stop.get_token());
    }
    // Restarts the chain and measures time from there on.
    void Restart() {
        origin = clock.peek().time_since_epoch();
        ASSERT_EQ(timer.HiDelay(hidelay::Restart), hidelay::Waited);
    }
    Duration Elapsed() const { return clock.peek().time_since_epoch() - origin; }

    // A wait ends when the clock is read at or after its deadline; that reading takes one step.
    void ExpectEndedAt(Duration deadline) const {
        EXPECT_GE(Elapsed(), deadline);
        EXPECT_LE(Elapsed(), deadline + ReadStep);
    }

    static constexpr Duration ReadStep = 1us;
    std::stop_source stop;
    ManualClock clock{ReadStep};
    Duration origin{};
    int yields = 0;
    std::vector<Duration> yieldTimes;
    std::function<void()> duringYield;
    HiDelayTimer timer{clock, [this] {
                           ++yields;
                           yieldTimes.push_back(Elapsed());
                           if (duringYield) duringYield();
                       }};
};

TEST_F(HiDelayTest, TenWaitsAfterARestartTakeExactlyTheirSumWhateverWorkComesBetween) {
    const std::vector<Duration> work = {0ms, 90ms, 37ms + 413us, 5ms,  99ms + 900us,
                                        0ms, 60ms, 1ms,          89ms, 0ms};
    clock.advance(12345us);
    Restart();
    for (int i = 0; i < 10; ++i) {
        clock.advance(work[i]);
        ASSERT_EQ(timer.HiDelay(100), hidelay::Waited) << i;
        ExpectEndedAt((i + 1) * 100ms);
    }
    EXPECT_EQ(yields, 10);
}

TEST_F(HiDelayTest, WakingLateDoesNotPushLaterDeadlines) {
    clock.setSleepLateness(3ms);
    Restart();
    for (int i = 1; i <= 10; ++i) {
        timer.HiDelay(20);
        // A late sleep makes this wait late, but the chain stays on the 20 ms grid.
        EXPECT_GE(Elapsed(), i * 20ms);
        EXPECT_LE(Elapsed(), i * 20ms + 3ms + ReadStep);
    }
}

TEST_F(HiDelayTest, ForAScheduledOutputWaitsEndAheadOfTheirDeadlinesAndLatenessWithinThatIsUnheard) {
    const HiDelayTuning tuning = TuningForOutput(30ms);
    timer.setTuning(tuning);
    EXPECT_EQ(HeardAfterSending(30ms), 30ms + tuning.sendAhead);
    clock.setSleepLateness(tuning.sendAhead / 2);
    Restart();
    // What is sent at the restart is ahead too.
    EXPECT_EQ(timer.mark().time_since_epoch() - origin, tuning.sendAhead);
    for (int i = 1; i <= 10; ++i) {
        timer.HiDelay(20);
        // Sent while the beat is still ahead, and due on it.
        const Duration due = tuning.sendAhead + i * 20ms;
        EXPECT_LT(Elapsed(), due);
        EXPECT_EQ(timer.mark().time_since_epoch() - origin, due);
    }
    EXPECT_EQ(TuningForOutput(0us).sendAhead, Duration::zero());
}

class HiDelayStallTest : public HiDelayTest, public ::testing::WithParamInterface<Duration> {};

TEST_P(HiDelayStallTest, WaitsWhoseDeadlinesPassedDuringAStallReturnAtOnce) {
    Restart();
    clock.advance(GetParam());
    for (int i = 0; i < 2; ++i) {
        clock.resetCounts();
        EXPECT_EQ(timer.HiDelay(100), hidelay::Waited);
        EXPECT_EQ(clock.sleeps(), 0);
        EXPECT_EQ(clock.reads(), 1);
    }
    timer.HiDelay(100);
    EXPECT_GE(Elapsed(), 300ms);
    EXPECT_LE(Elapsed(), 300ms + 5 * ReadStep);
    for (int i = 4; i <= 7; ++i) {
        timer.HiDelay(100);
        ExpectEndedAt(i * 100ms);
    }
    EXPECT_EQ(yields, 7);
}

INSTANTIATE_TEST_SUITE_P(Stalls, HiDelayStallTest, ::testing::Values(250ms, 300ms));

class HiDelayRestartTest : public HiDelayTest, public ::testing::WithParamInterface<int> {};

TEST_P(HiDelayRestartTest, NonPositiveTimesRestartTheChainWithoutWaitingOrYielding) {
    Restart();
    clock.advance(450ms);
    clock.resetCounts();
    origin = clock.peek().time_since_epoch();
    EXPECT_EQ(timer.HiDelay(GetParam()), hidelay::Waited);
    EXPECT_EQ(clock.sleeps(), 0);
    EXPECT_EQ(yields, 0);
    // On the old chain this deadline would long have passed.
    timer.HiDelay(100);
    ExpectEndedAt(100ms);
}

INSTANTIATE_TEST_SUITE_P(Times, HiDelayRestartTest, ::testing::Values(0, -1, hidelay::Restart, INT_MIN));

TEST_F(HiDelayTest, BeforeTheFirstRestartTheChainCountsFromCreation) {
    clock.advance(30ms);
    timer.HiDelay(50);
    ExpectEndedAt(50ms);
}

TEST_F(HiDelayTest, AStopBeforeTheDeadlineReturnsAtOnceAndKeepsTheChain) {
    Restart();
    clock.advance(10ms);
    stop.request_stop();
    clock.resetCounts();
    EXPECT_EQ(timer.HiDelay(50), hidelay::Stopped);
    EXPECT_EQ(clock.sleeps(), 0);
    EXPECT_EQ(clock.reads(), 1);
    EXPECT_EQ(yields, 0);

    NewAction();
    EXPECT_EQ(timer.HiDelay(50), hidelay::Waited);
    ExpectEndedAt(50ms);
}

// A player called late (its deadline passed, or a beat behind) still sees the stop first, so nothing it
// would send next sounds after the stop.
TEST_F(HiDelayTest, AStopEndsAWaitCalledAfterItsDeadline) {
    timer.setCatchUpLimit(100ms);
    for (const Duration late : {60ms, 500ms}) {
        NewAction();
        Restart();
        clock.advance(late);
        stop.request_stop();
        EXPECT_EQ(timer.HiDelay(50), hidelay::Stopped) << late.count();
        EXPECT_EQ(yields, 0);
    }
}

TEST_F(HiDelayTest, WindowWorkIsDoneWhileTheDeadlineIsAheadAndAStopThereEndsThatWait) {
    duringYield = [this] {
        if (yields == 4) stop.request_stop();
    };
    Restart();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(timer.HiDelay(100), hidelay::Waited);
    EXPECT_EQ(timer.HiDelay(100), hidelay::Stopped);
    EXPECT_LE(Elapsed(), 300ms + 4 * ReadStep);
    // Each wait yields at its start, a whole tick before its deadline.
    ASSERT_EQ(yieldTimes.size(), 4u);
    for (std::size_t i = 0; i < yieldTimes.size(); ++i) {
        EXPECT_GE(yieldTimes[i], static_cast<int>(i) * 100ms);
        EXPECT_LT(yieldTimes[i], static_cast<int>(i) * 100ms + 1ms);
    }
}

TEST_F(HiDelayTest, WithLittleTimeLeftTheYieldWaitsForTheDeadline) {
    Restart();
    clock.advance(99ms);
    EXPECT_EQ(timer.HiDelay(100), hidelay::Waited);
    ASSERT_EQ(yieldTimes.size(), 1u);
    EXPECT_GE(yieldTimes[0], 100ms);
}

TEST_F(HiDelayTest, AStopIsNoticedWithinASleepSlice) {
    clock.setOnWake([this] {
        if (Elapsed() >= 40ms) stop.request_stop();
    });
    Restart();
    EXPECT_EQ(timer.HiDelay(100), hidelay::Stopped);
    EXPECT_GE(Elapsed(), 40ms);
    EXPECT_LE(Elapsed(), 40ms + HiDelayTuning{}.longestSleep + ReadStep);
    EXPECT_EQ(yields, 1); // the early one, at the start of the wait
}

TEST_F(HiDelayTest, SleepsInShortSlicesAndWatchesTheClockOnlyAtTheEnd) {
    const HiDelayTuning tuning;
    Restart();
    clock.resetCounts();
    timer.HiDelay(100);
    ExpectEndedAt(100ms);
    EXPECT_LE(clock.longestSleep(), tuning.longestSleep);
    EXPECT_GE(clock.sleeps(), (100ms - tuning.spinMargin) / tuning.longestSleep);
    // A busy wait would read the clock a hundred thousand times here.
    EXPECT_LE(clock.reads(), tuning.spinMargin / ReadStep + clock.sleeps() + 2);
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// A machine that stalls for seconds (a suspended laptop) must not fire every missed deadline at once: the
// chain starts again from the moment it was woken, and lateness below the limit is still caught up.
TEST(HiDelayCatchUp, AChainFarBehindStartsAgainInsteadOfBursting) {
    using namespace std::chrono_literals;
    ManualClock clock;
    HiDelayTimer timer(clock);
    timer.setCatchUpLimit(500ms);
    timer.HiDelay(hidelay::Restart);
    const auto start = clock.peek();
    timer.HiDelay(100);
    clock.advance(2s); // stalled
    timer.HiDelay(100);
    EXPECT_GE(timer.mark() - start, 2100ms) << "the missed deadlines were kept";
    const auto restarted = timer.mark();
    timer.HiDelay(100);
    EXPECT_EQ(timer.mark() - restarted, 100ms);
    EXPECT_GE(clock.peek() - restarted, 100ms) << "the next wait returned at once";

    clock.advance(300ms); // behind, but less than the limit: caught up by the next waits
    const auto before = timer.mark();
    timer.HiDelay(100);
    EXPECT_EQ(timer.mark() - before, 100ms);
}

} // namespace
} // namespace orbel
