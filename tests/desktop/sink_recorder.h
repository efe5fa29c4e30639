#pragma once
// What the desktop's speakers would play: the null sink's monitor recorded from the moment of the
// recorder's start, every sample placed on the test's steady clock.

#include "desktop/child_process.h"
#include "desktop/desktop.h"

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace orbel::desktop {

class SinkRecorder {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int Rate = 48000;

    explicit SinkRecorder(const Desktop& desktop);
    ~SinkRecorder();
    SinkRecorder(const SinkRecorder&) = delete;
    SinkRecorder& operator=(const SinkRecorder&) = delete;

    // When the sound first rises above threshold (of full scale) at or after from; nothing if it has not.
    std::optional<Clock::time_point> firstSoundAfter(Clock::time_point from, double threshold = 0.02) const;
    // The loudest sample between two moments, as a share of full scale.
    double peakBetween(Clock::time_point from, Clock::time_point to) const;
    // Onsets: rises above threshold after at least gap of quiet, as times.
    std::vector<Clock::time_point>
    onsets(double threshold = 0.02, std::chrono::milliseconds gap = std::chrono::milliseconds(60)) const;

private:
    void read(int fd);
    Clock::time_point timeOf(std::size_t sample) const;

    ChildProcess parec_;
    std::thread reader_;
    std::atomic<bool> stopping_ = false;
    mutable std::mutex mutex_;
    std::vector<std::int16_t> samples_;
    // The earliest time consistent with every block's arrival: a block is never heard after it arrived.
    Clock::time_point origin_ = Clock::time_point::max();
};

} // namespace orbel::desktop
