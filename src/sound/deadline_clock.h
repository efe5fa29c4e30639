#pragma once
// The clock the deadline timer runs on: the monotonic clock of the system, or a
// hand-driven one for tests, so that no test depends on how fast the machine is.
// Thread: the player's thread (the steady clock from any).

#include <chrono>
#include <functional>
#include <mutex>
#include <utility>

namespace orbel {

class DeadlineClock {
public:
    using Duration = std::chrono::steady_clock::duration;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~DeadlineClock() = default;

    virtual TimePoint now() = 0;
    // Lets the processor rest until about `until`; may return early (a signal) or late (the scheduler).
    virtual void sleepUntil(TimePoint until) = 0;
};

// std::chrono::steady_clock, with sleeps on the same clock.
class SteadyDeadlineClock : public DeadlineClock {
public:
    // Asks the kernel to wake this thread's sleeps on time rather than grouping them with other timers;
    // the setting belongs to the calling thread, which is the thread that plays.
    SteadyDeadlineClock();

    TimePoint now() override;
    void sleepUntil(TimePoint until) override;

    // False when the kernel refused the precise wake-ups: sleeps then end up to about 50 µs later, which
    // the timer's spin before each deadline still covers.
    bool preciseWakeups() const { return preciseWakeups_; }

private:
    bool preciseWakeups_ = false;
};

// A clock for tests. It starts at zero and moves only when told: by advance(), by a fixed step on every
// reading (so that a loop that watches the clock gets somewhere), and by sleeping, which ends exactly at
// the requested time plus an optional lateness. The player's thread may run on it while a test reads it.
class ManualClock : public DeadlineClock {
public:
    explicit ManualClock(Duration readStep = std::chrono::microseconds(1)) : readStep_(readStep) {}

    // Returns the time of the reading; the reading itself then takes readStep.
    TimePoint now() override;
    void sleepUntil(TimePoint until) override;

    // The time without reading the clock.
    TimePoint peek() const;
    void advance(Duration by);
    // Every later sleep wakes this much after the time it asked for.
    void setSleepLateness(Duration lateness) { sleepLateness_ = lateness; }
    // Runs after each sleep, at the time it woke, so that a test can act "while" the timer sleeps.
    void setOnWake(std::function<void()> onWake) { onWake_ = std::move(onWake); }

    int reads() const { return reads_; }
    int sleeps() const { return sleeps_; }
    // The longest time a single sleep asked for, measured from the clock's time when it was asked.
    Duration longestSleep() const { return longestSleep_; }
    void resetCounts();

private:
    mutable std::mutex mutex_;
    TimePoint time_{};
    Duration readStep_;
    Duration sleepLateness_{};
    std::function<void()> onWake_;
    int reads_ = 0;
    int sleeps_ = 0;
    Duration longestSleep_{};
};

} // namespace orbel
