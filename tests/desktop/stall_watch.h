#pragma once
// Whether the machine itself stopped: a thread above every thread of the trainer and the sound server (in
// real time where allowed) wakes every millisecond and keeps how late it woke. A wake-up this thread sees
// late by tens of milliseconds is the virtual machine or the kernel holding every program, which no queue
// of the trainer's is meant to ride out; a dropout in a minute without one is the trainer's.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace orbel::desktop {

class StallWatch {
public:
    // A wake-up later than stall counts as one.
    explicit StallWatch(std::chrono::milliseconds stall);
    ~StallWatch();
    StallWatch(const StallWatch&) = delete;
    StallWatch& operator=(const StallWatch&) = delete;

    // The latest wake-up so far (ms), and how many were stalls.
    double worstMs() const { return static_cast<double>(worstUs_.load()) / 1000.0; }
    int stalls() const { return stalls_.load(); }
    bool realtime() const { return realtime_.load(); }
    // Every wake-up later than a millisecond: when it came and how late (ms).
    struct LateWake {
        std::chrono::steady_clock::time_point at;
        double lateMs;
    };
    std::vector<LateWake> lateWakes() const;

private:
    void watch();

    const long stallUs_;
    std::atomic<bool> stopping_ = false;
    std::atomic<bool> realtime_ = false;
    std::atomic<long> worstUs_ = 0;
    std::atomic<int> stalls_ = 0;
    mutable std::mutex mutex_;
    std::vector<LateWake> late_; // guarded by mutex_
    std::thread thread_;
};

} // namespace orbel::desktop
