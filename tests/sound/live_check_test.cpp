#include "sound/live_check.h"

#include <gtest/gtest.h>

namespace orbel {
namespace {

using namespace std::chrono;

MidiClock::time_point At(int ms) {
    return MidiClock::time_point(milliseconds(1'000'000 + ms));
}

TEST(LiveCheck, KeysAreJudgedAtOnceAndScoredOnTheHeardTimeLine) {
    MidiClock::time_point now = At(0);
    LiveCheck check([&now] { return now; }, [] { return microseconds(20'000); });
    check.performanceBegins();
    EXPECT_FALSE(check.play(50, At(-300))); // in the count-in: kept, judged wrong
    check.repetitionBegins(At(0), 120);
    check.melodyNote(60, At(0));   // heard at 20
    check.melodyNote(62, At(500)); // heard at 520
    EXPECT_TRUE(check.play(60, At(45)));
    EXPECT_FALSE(check.play(61, At(530)));
    EXPECT_FALSE(check.play(62, At(800))); // too late for the note heard at 520
    check.repetitionEnds(At(1000));
    now = At(1070);
    EXPECT_TRUE(check.takeScores().empty()) << "the window after the end has not passed";
    now = At(1090);
    const std::vector<RepetitionScore> scores = check.takeScores();
    ASSERT_EQ(scores.size(), 1U);
    EXPECT_EQ(scores[0].right, 1);
    EXPECT_EQ(scores[0].wrong, 1);
    EXPECT_EQ(scores[0].extra, 2); // the count-in's key and the late one
    EXPECT_NEAR(scores[0].meanOffsetMs, 25.0, 1e-9);

    // Switched off (the keyboard went away), the check hears nothing and mutes nothing.
    check.setOptions({}, true);
    EXPECT_TRUE(check.muteMelody());
    check.setEnabled(false);
    EXPECT_FALSE(check.muteMelody());
    check.repetitionBegins(At(1000), 120);
    check.melodyNote(60, At(1000));
    EXPECT_FALSE(check.play(60, At(1020)));
    check.repetitionEnds(At(2000));
    now = At(5000);
    EXPECT_TRUE(check.takeScores().empty());
}

} // namespace
} // namespace orbel
