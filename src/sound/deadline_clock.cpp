#include "sound/deadline_clock.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sys/prctl.h>
#include <thread>

namespace orbel {

namespace {

// One nanosecond: the finest timer slack the kernel takes (zero would mean "back to the default").
constexpr unsigned long PreciseTimerSlackNs = 1;

timespec ToTimespec(DeadlineClock::TimePoint at) {
    const auto sinceEpoch = at.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    timespec result{};
    result.tv_sec = static_cast<time_t>(seconds.count());
    result.tv_nsec = static_cast<long>(std::chrono::nanoseconds(sinceEpoch - seconds).count());
    return result;
}

} // namespace

SteadyDeadlineClock::SteadyDeadlineClock()
    : preciseWakeups_(::prctl(PR_SET_TIMERSLACK, PreciseTimerSlackNs, 0UL, 0UL, 0UL) == 0) {}

DeadlineClock::TimePoint SteadyDeadlineClock::now() {
    return std::chrono::steady_clock::now();
}

void SteadyDeadlineClock::sleepUntil(TimePoint until) {
    // steady_clock is CLOCK_MONOTONIC, so an absolute sleep on it ends at the very deadline, however long
    // the way here took. A signal only cuts the sleep short: the timer reads the clock again anyway.
    const timespec at = ToTimespec(until);
    const int result = ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
    if (result == 0 || result == EINTR) return;
    // Refused (a deadline the kernel cannot represent): a relative sleep still spares the processor.
    std::this_thread::sleep_for(until - now());
}

DeadlineClock::TimePoint ManualClock::now() {
    const std::lock_guard lock(mutex_);
    ++reads_;
    const TimePoint reading = time_;
    time_ += readStep_;
    return reading;
}

DeadlineClock::TimePoint ManualClock::peek() const {
    const std::lock_guard lock(mutex_);
    return time_;
}

void ManualClock::advance(Duration by) {
    const std::lock_guard lock(mutex_);
    time_ += by;
}

void ManualClock::sleepUntil(TimePoint until) {
    {
        const std::lock_guard lock(mutex_);
        ++sleeps_;
        longestSleep_ = std::max(longestSleep_, until - time_);
        time_ = std::max(time_, until) + sleepLateness_;
    }
    if (onWake_) onWake_();
}

void ManualClock::resetCounts() {
    reads_ = 0;
    sleeps_ = 0;
    longestSleep_ = Duration{};
}

} // namespace orbel
