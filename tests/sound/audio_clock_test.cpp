#include "sound/audio/audio_clock.h"

#include <cmath>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using std::chrono::microseconds;

constexpr double Rate = 48000.0;
const MidiClock::time_point Start{std::chrono::seconds(1000)};

// Frames of the stream between the start and `time` on a stream that runs at `rate`.
double FramesAfter(microseconds time, double rate = Rate) {
    return static_cast<double>(time.count()) * rate / 1e6;
}

struct Pattern {
    const char* name;
    int framesPerCallback;
    int callbacksPerWakeUp; // a burst renders this many callbacks at one moment
    microseconds lateEvery; // extra lateness of every 7th wake-up
};

class AudioClockPatternTest : public ::testing::TestWithParam<Pattern> {};

// Whatever the pattern of callbacks, the frame of a moment stays where the stream plays it, to well
// within a block, and once found the mapping does not move at all.
TEST_P(AudioClockPatternTest, MappingHoldsStillAndTrue) {
    const Pattern p = GetParam();
    AudioClock clock(Rate);
    std::int64_t frames = 0;
    std::optional<std::int64_t> origin;
    int moves = 0;
    const int wakeUpFrames = p.framesPerCallback * p.callbacksPerWakeUp;
    for (int wake = 0; wake < 3000; ++wake) {
        // A wake-up comes when the stream has played what was rendered before, one burst ahead.
        const auto due = microseconds(static_cast<std::int64_t>(std::llround(frames * 1e6 / Rate)));
        const microseconds late = (wake % 7 == 3) ? p.lateEvery : microseconds{};
        for (int c = 0; c < p.callbacksPerWakeUp; ++c) {
            clock.onCallback(Start + due + late, frames);
            frames += p.framesPerCallback;
        }
        if (wake > 100) {
            if (origin && *origin != clock.originNanoseconds()) ++moves;
            origin = clock.originNanoseconds();
        }
    }
    ASSERT_TRUE(clock.hasMapping());
    EXPECT_EQ(moves, 0);
    // The stream plays frame f at Start + f / rate, rendered a wake-up ahead.
    const microseconds probe{5'000'000};
    const double expected = FramesAfter(probe) + wakeUpFrames - p.framesPerCallback;
    EXPECT_NEAR(clock.frameAt(Start + probe), expected, 2.0);
}

INSTANTIATE_TEST_SUITE_P(Callbacks, AudioClockPatternTest,
                         ::testing::Values(Pattern{"Steady64", 64, 1, microseconds{}},
                                           Pattern{"Steady256", 256, 1, microseconds{}},
                                           Pattern{"BurstsOfFour", 64, 4, microseconds{}},
                                           Pattern{"LateCallbacks", 64, 1, microseconds{3000}},
                                           Pattern{"LateBursts", 64, 4, microseconds{8000}}),
                         [](const ::testing::TestParamInfo<Pattern>& info) {
                             return std::string(info.param.name);
                         });

TEST(AudioClockTest, FollowsAStreamThatDrifts) {
    // The audio device runs 200 ppm fast against the steady clock: over 20 s that is 4 ms.
    constexpr double DeviceRate = Rate * 1.0002;
    AudioClock clock(Rate);
    std::int64_t frames = 0;
    double worst = 0;
    for (int c = 0; c < 15000; ++c) {
        const auto now = microseconds(static_cast<std::int64_t>(std::llround(frames * 1e6 / DeviceRate)));
        clock.onCallback(Start + now, frames);
        frames += 64;
        if (c > 100) {
            // The frame being rendered now, as the mapping sees it, against the truth.
            const double error = clock.frameAt(Start + now) - static_cast<double>(frames - 64);
            worst = std::max(worst, std::fabs(error));
        }
    }
    // Within the tolerance (48 frames) plus what drifts by in one window (4 frames).
    EXPECT_LT(worst, 56.0);
}

TEST(AudioClockTest, RestartFindsTheNewStream) {
    AudioClock clock(Rate);
    for (int c = 0; c < 100; ++c)
        clock.onCallback(Start + microseconds(c * 1333), c * 64);
    clock.restart();
    EXPECT_FALSE(clock.hasMapping());
    const auto later = Start + std::chrono::seconds(60);
    clock.onCallback(later, 0);
    EXPECT_NEAR(clock.frameAt(later), 0.0, 0.01);
}

} // namespace
} // namespace orbel
