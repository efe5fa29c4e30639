#pragma once
// The deadline timer the player keeps time with, on the player's thread. Each wait ends a given number of
// milliseconds after the previous deadline, not after the call, so a long run of short waits keeps the
// tempo: lateness in one step is taken out of the next. A wait ends early when the action's stop is
// requested (from any thread); each completed wait calls the yield once, where tests act as a user would.
// Thread: the player's thread; the stop is requested from any.

#include "sound/deadline_clock.h"

#include <cstdint>
#include <functional>
#include <stop_token>

namespace orbel {

namespace hidelay {
// The callers' way of asking for a restart of the deadline chain (any value ≤ 0 will do).
static constexpr int Restart = -100;
// Results of HiDelay.
static constexpr std::int16_t Waited = 0;
static constexpr std::int16_t Stopped = -1;
} // namespace hidelay

// How the wait spends its time. It sleeps in short slices, so that a stop is noticed promptly, until
// spinMargin before the deadline, and watches the clock for the rest: a sleep may wake a little late, the
// spin does not. The margin is what one wait costs in processor time.
// For an output that schedules every message at its due time: a wake-up a little late costs nothing, so the
// wait only sleeps, in slices short enough for a stop to be seen within a few milliseconds, and ends
// SendAhead before its deadline. What is sent then is still due on the deadline, and the output holds it
// until then: a player that the machine keeps waiting for less than that is heard on time all the same.
namespace hidelay_scheduled {
static constexpr std::chrono::milliseconds LongestSleep{4};
static constexpr std::chrono::milliseconds SendAhead{20};
} // namespace hidelay_scheduled

struct HiDelayTuning {
    DeadlineClock::Duration spinMargin = std::chrono::microseconds(150);
    DeadlineClock::Duration longestSleep = std::chrono::milliseconds(2);
    // With at least this much time left before the deadline, the yield is called at the start of the wait
    // instead of after it, so that its work never delays what is sent when the wait ends.
    DeadlineClock::Duration earlyYieldSlack = std::chrono::milliseconds(3);
    // How long before its deadline a wait ends; the deadline, and so when what follows is due, stays.
    DeadlineClock::Duration sendAhead = DeadlineClock::Duration::zero();
};

// The waits for an output with the given delay from due time to sound (zero: it plays at once).
HiDelayTuning TuningForOutput(std::chrono::microseconds outputDelay);
// From the moment the player sends something until it is heard, on that output.
std::chrono::microseconds HeardAfterSending(std::chrono::microseconds outputDelay);

class HiDelayTimer {
public:
    // The clock must outlive the timer.
    explicit HiDelayTimer(DeadlineClock& clock, std::function<void()> yield = {}, HiDelayTuning tuning = {});
    HiDelayTimer(const HiDelayTimer&) = delete;
    HiDelayTimer& operator=(const HiDelayTimer&) = delete;

    // ms ≤ 0: restart the deadline chain sendAhead after the present moment (the due time of what is sent
    // at once) and return Waited at once, without yielding. ms > 0: wait for the deadline ms after the
    // previous one, move the chain on to it, yield once and return Waited; or return Stopped as soon as the
    // stop is seen requested before the deadline, leaving the chain where it was and without yielding. A
    // deadline that has already passed returns after the yield without waiting, so a late caller catches up.
    std::int16_t HiDelay(int ms);

    void setTuning(const HiDelayTuning& tuning) { tuning_ = tuning; }
    // The stop of the action the waits belong to; without one no wait is stopped.
    void setStop(std::stop_token stop) { stop_ = std::move(stop); }

    // The deadline the last wait ended on (or the restart): when what is sent now is due.
    DeadlineClock::TimePoint mark() const { return timerMark_; }
    DeadlineClock::TimePoint now() const { return clock_.now(); }

    // A chain that has fallen behind by more than this (a suspended machine, a long stall) starts again
    // from the present instead of returning at once from every missed deadline, which would fire all the
    // missed notes in a burst. Lateness below it is taken out of the later waits.
    void setCatchUpLimit(DeadlineClock::Duration limit) { catchUpLimit_ = limit; }

private:
    std::stop_token stop_;
    DeadlineClock& clock_;
    std::function<void()> yield_;
    HiDelayTuning tuning_;
    // The current deadline. Until the first restart the chain counts from the timer's creation.
    DeadlineClock::TimePoint timerMark_;
    DeadlineClock::Duration catchUpLimit_ = DeadlineClock::Duration::max();
};

} // namespace orbel
