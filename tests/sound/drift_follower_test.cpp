// The synthesizer's time line kept in step with a sound server whose clock runs fast or slow.

#include "sound/audio/drift_follower.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace orbel {
namespace {

constexpr double Rate = 48000;
constexpr int Period = 256;

// A server whose clock runs `ppm` fast (negative: slow) against the system's and reports its latency with
// up to `noiseUs` of error, once every `reportEvery` periods. Returns the error (ms) after `seconds`, and the
// worst step of the ratio between two clicks 192 ms apart, expressed as the change of their interval (ms).
struct Followed {
    double finalErrorMs;
    double finalRatio;
    double worstIntervalChangeMs;
};
Followed Follow(double ppm, double noiseUs, double seconds, int reportEvery) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> noise(-noiseUs * 1e-6, noiseUs * 1e-6);
    DriftFollower follower;
    const double period = Period / Rate;
    double heard = 0;    // when the next stream frame is heard, on the system's clock
    double position = 0; // the synthesizer frame it carries
    double worst = 0;
    double ratioClickAgo = 1;
    const int periodsPerClick = static_cast<int>(0.192 / period);
    for (int n = 0; n * period < seconds; ++n) {
        if (n % reportEvery == 0)
            follower.update(heard + noise(random) - position / Rate, period * reportEvery);
        position += follower.ratio() * Period;
        heard += period / (1 + ppm * 1e-6);
        if (n % periodsPerClick == 0) {
            if (n * period > 20) worst = std::max(worst, std::abs(follower.ratio() - ratioClickAgo) * 192);
            ratioClickAgo = follower.ratio();
        }
    }
    return {(heard - position / Rate) * 1000, follower.ratio(), worst};
}

TEST(DriftFollower, FollowsAServerClockThatRunsFastOrSlowWithoutSteps) {
    // Reports after every period, and about once a second, as the sound server gives them once settled.
    for (const int reportEvery : {1, 188}) {
        for (const double ppm : {-500.0, -300.0, 0.0, 100.0, 300.0}) {
            const Followed f = Follow(ppm, 300, 120, reportEvery);
            EXPECT_LT(std::abs(f.finalErrorMs), 0.1) << ppm << " ppm, report every " << reportEvery;
            EXPECT_NEAR(f.finalRatio, 1 / (1 + ppm * 1e-6), 20e-6)
                << ppm << " ppm, report every " << reportEvery;
            // Once settled, two neighbouring beats differ by a tenth of the 0.2 ms a musician could hear.
            EXPECT_LT(f.worstIntervalChangeMs, 0.02) << ppm << " ppm, report every " << reportEvery;
        }
    }
}

TEST(TimeLineCheck, OnlyAStreamThatRanDryAndStaysOffRestartsTheTimeLine) {
    using V = TimeLineCheck::Verdict;
    constexpr double Tolerance = 0.010;
    const struct {
        const char* what;
        std::vector<double> errors; // seconds, one report each
        bool settling;
        bool ranDry;
        std::vector<V> verdicts;
    } cases[] = {
        {"within the tolerance", {0.001, -0.009, 0.0}, false, false, {V::Follow, V::Follow, V::Follow}},
        {"one answer a period off", {0.0, 0.0107, 0.0}, false, true, {V::Follow, V::PassOver, V::Follow}},
        {"after running dry, late from now on",
         {0.0, 0.020, 0.060, 0.0},
         false,
         true,
         {V::Follow, V::PassOver, V::Restart, V::Follow}},
        {"reports running off a stream that plays on",
         {0.0, -0.011, -0.013, -0.016, 0.0},
         false,
         false,
         {V::Follow, V::PassOver, V::PassOver, V::PassOver, V::Follow}},
        {"settling takes it at once", {0.012, 0.0}, true, false, {V::Restart, V::Follow}},
    };
    for (const auto& c : cases) {
        TimeLineCheck check;
        std::vector<V> verdicts;
        for (const double error : c.errors)
            verdicts.push_back(check.judge(error, Tolerance, c.settling, c.ranDry));
        EXPECT_EQ(verdicts, c.verdicts) << c.what;
    }
}

TEST(FrameResampler, ReadsTheSourceAtTheRatioItIsGiven) {
    // A ramp: the value of every source frame is its index, so an output frame tells where it was read.
    double next = 0;
    FrameResampler resampler(
        [&next](std::span<float> left, std::span<float> right) {
            for (std::size_t i = 0; i < left.size(); ++i) {
                left[i] = right[i] = static_cast<float>(next);
                next += 1;
            }
        },
        64);
    const struct {
        double ratio;
        std::size_t frames;
    } steps[] = {{1.0, 100}, {0.5, 10}, {1.25, 40}};
    double expected = 0;
    for (const auto& step : steps) {
        std::vector<float> left(step.frames);
        std::vector<float> right(step.frames);
        resampler.read(step.ratio, left, right);
        for (std::size_t i = 0; i < step.frames; ++i) {
            EXPECT_NEAR(left[i], expected, 1e-3) << "ratio " << step.ratio << " frame " << i;
            EXPECT_EQ(left[i], right[i]);
            expected += step.ratio;
        }
    }
    EXPECT_NEAR(resampler.position(), expected, 1e-9);
}

} // namespace
} // namespace orbel
