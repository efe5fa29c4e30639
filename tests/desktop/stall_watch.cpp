#include "desktop/stall_watch.h"

#include <ctime>
#include <pthread.h>
#include <sched.h>

namespace orbel::desktop {

namespace {
// Above the sound server's threads (5), the recorder (10) and the trainer's (1).
constexpr int WatchPriority = 20;
constexpr long TickNs = 1'000'000;
constexpr long LateUs = 1000;
constexpr std::size_t MostLateWakes = 100'000;
} // namespace

StallWatch::StallWatch(std::chrono::milliseconds stall)
    : stallUs_(static_cast<long>(std::chrono::microseconds(stall).count())), thread_([this] { watch(); }) {}

StallWatch::~StallWatch() {
    stopping_ = true;
    thread_.join();
}

std::vector<StallWatch::LateWake> StallWatch::lateWakes() const {
    const std::lock_guard lock(mutex_);
    return late_;
}

void StallWatch::watch() {
    sched_param param{};
    param.sched_priority = WatchPriority;
    realtime_ = ::pthread_setschedparam(::pthread_self(), SCHED_FIFO, &param) == 0;
    timespec due{};
    ::clock_gettime(CLOCK_MONOTONIC, &due);
    while (!stopping_.load()) {
        due.tv_nsec += TickNs;
        if (due.tv_nsec >= 1'000'000'000) {
            due.tv_nsec -= 1'000'000'000;
            ++due.tv_sec;
        }
        ::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr);
        timespec now{};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        const long lateUs = (now.tv_sec - due.tv_sec) * 1'000'000 + (now.tv_nsec - due.tv_nsec) / 1000;
        if (lateUs > worstUs_.load()) worstUs_ = lateUs;
        if (lateUs > stallUs_) stalls_.fetch_add(1);
        if (lateUs > LateUs) {
            const std::lock_guard lock(mutex_);
            if (late_.size() < MostLateWakes)
                late_.push_back({std::chrono::steady_clock::now(), static_cast<double>(lateUs) / 1000.0});
        }
        // After a stall the next wake-up is a tick from now, not a burst of missed ones.
        if (lateUs > LateUs) due = now;
    }
}

} // namespace orbel::desktop
