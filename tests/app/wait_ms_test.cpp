// The plain millisecond wait.
#include "app/wait_ms.h"

#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using Clock = std::chrono::steady_clock;

TEST(WaitMsTest, WaitsAtLeastTheGivenTime) {
    for (const int ms : {0, 1, 5, 30}) {
        const Clock::time_point start = Clock::now();
        WaitMs(ms);
        EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(ms)) << ms;
    }
}

TEST(WaitMsTest, NegativeTimeReturns) {
    WaitMs(-1);
    WaitMs(-2147483647 - 1);
}

TEST(WaitMsTest, HandlesWindowEventsWhileWaiting) {
    bool handled = false;
    QTimer::singleShot(0, [&handled] { handled = true; });
    WaitMs(5);
    EXPECT_TRUE(handled);
}

} // namespace
} // namespace orbel
