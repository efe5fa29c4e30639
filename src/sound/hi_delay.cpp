#include "sound/hi_delay.h"

#include <algorithm>
#include <utility>

namespace orbel {

HiDelayTuning TuningForOutput(std::chrono::microseconds outputDelay) {
    HiDelayTuning tuning;
    // An output that places every message at its due time needs no spin to hand it over on the dot.
    if (outputDelay > std::chrono::microseconds::zero()) {
        tuning.spinMargin = DeadlineClock::Duration::zero();
        tuning.longestSleep = hidelay_scheduled::LongestSleep;
        tuning.sendAhead = hidelay_scheduled::SendAhead;
    }
    return tuning;
}

std::chrono::microseconds HeardAfterSending(std::chrono::microseconds outputDelay) {
    return outputDelay +
           std::chrono::duration_cast<std::chrono::microseconds>(TuningForOutput(outputDelay).sendAhead);
}

HiDelayTimer::HiDelayTimer(DeadlineClock& clock, std::function<void()> yield, HiDelayTuning tuning)
    : clock_(clock), yield_(std::move(yield)), tuning_(tuning), timerMark_(clock.now()) {}

std::int16_t HiDelayTimer::HiDelay(int ms) {
    if (ms <= 0) {
        // What is sent at once after a restart is ahead of its due time as well.
        timerMark_ = clock_.now() + tuning_.sendAhead;
        return hidelay::Waited;
    }
    const DeadlineClock::TimePoint deadline = timerMark_ + std::chrono::milliseconds(ms);
    const DeadlineClock::TimePoint wakeAt = deadline - tuning_.sendAhead;
    const DeadlineClock::TimePoint wakeBefore = wakeAt - tuning_.spinMargin;
    // One yield per completed wait. It goes where it costs nothing: while the deadline is still well
    // ahead, or else once the deadline has passed. A stop asked for in an early yield ends this very wait.
    bool yielded = false;
    DeadlineClock::TimePoint now = clock_.now();
    // Seen before anything else, however late the wait is called: a player that fell behind its deadline
    // (a stalled machine) sends nothing more once the stop was asked for.
    if (stop_.stop_requested()) return hidelay::Stopped;
    if (now - deadline > catchUpLimit_) {
        // Far behind: the missed deadlines are given up, and the chain goes on from here.
        timerMark_ = now;
        if (yield_) yield_();
        return hidelay::Waited;
    }
    if (now < wakeAt) {
        if (yield_ && wakeAt - now >= tuning_.earlyYieldSlack) {
            yield_();
            yielded = true;
            now = clock_.now();
        }
    }
    for (; now < wakeAt; now = clock_.now()) {
        // Looked at on every turn, so a stop set in the yield or while sleeping ends the wait.
        if (stop_.stop_requested()) return hidelay::Stopped;
        if (now < wakeBefore) clock_.sleepUntil(std::min(now + tuning_.longestSleep, wakeBefore));
    }
    // The next deadline follows this one, not the moment this wait happened to end.
    timerMark_ = deadline;
    if (yield_ && !yielded) yield_();
    return hidelay::Waited;
}

} // namespace orbel
