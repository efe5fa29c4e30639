// Steady time as a drummer hears it: a minute of clicks at tempo 300 in the real window while busy programs
// hold every core. The same at rest and with menus opening is measured by bench_steady_time, which holds
// the finer target (no interval more than 0.5 ms off); here a stumble of a few milliseconds, when the sound
// server runs dry once, is let pass, and a dropout that moves the beat by tens of milliseconds is not,
// unless the whole machine stopped as long (a virtual machine's host may hold it for a quarter second):
// that is measured beside the clicks and said.

#include "desktop/steady_clicks.h"

#include <cstdio>
#include <gtest/gtest.h>

namespace orbel::desktop {
namespace {

using namespace std::chrono_literals;

// The heard interval between two clicks against the steady one (ms).
constexpr double TargetP99Ms = 0.2;
constexpr double WorstStumbleMs = 8;

TEST(SteadyTime, ClicksAtTempo300KeepTheirGridWhileTheCoresAreBusy) {
    Desktop desktop(1920, 1080);
    ASSERT_TRUE(desktop.ready()) << desktop.problem();
    std::string problem;
    // A first play lets the trainer find the queue the busy machine needs.
    const std::optional<ClickFigures> f = PlayClicks(desktop, Disturbance::BusyLoops, 20s, 60s, problem);
    ASSERT_TRUE(f) << problem;
    std::printf(
        "%zu clicks, beat %.2f ms, interval error p50 %.3f p99 %.3f max %.3f ms; output delay %s; "
        "load %s; machine stalls %d, the longest %.1f ms, %.1f ms around the worst interval; "
        "worst interval ending %.2f s in; sent at least %.1f ms ahead, %d late; in both plays the server "
        "ran dry %d times, the time line moved %d times\n",
        f->clicks, f->beatMs, f->p50, f->p99, f->max, qPrintable(f->outputDelay), f->loadAverage.c_str(),
        f->machineStalls, f->worstMachineStallMs, f->stallNearWorstMs, f->worstAtSeconds, f->leastSentAheadMs,
        f->sentLate, f->ranDry, f->timeLineMoves);
    EXPECT_GT(f->clicks, 300U);
    // A stall moves the clicks around it (two intervals each) by up to its length.
    const double stalled = f->machineStalls > 0 ? f->worstMachineStallMs : 0;
    EXPECT_LE(f->max, WorstStumbleMs + stalled);
    if (2 * f->machineStalls < static_cast<int>(f->clicks) / 100) {
        EXPECT_LE(f->p99, TargetP99Ms);
    }
}

} // namespace
} // namespace orbel::desktop
