#include "sound/audio/audio_clock.h"

#include <algorithm>
#include <cmath>

namespace orbel {

namespace {

constexpr double NanosecondsPerSecond = 1e9;

std::int64_t Nanoseconds(MidiClock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

} // namespace

AudioClock::AudioClock(double sampleRate) : sampleRate_(sampleRate) {}

void AudioClock::restart() {
    next_ = 0;
    count_ = 0;
    haveMapping_ = false;
}

void AudioClock::onCallback(MidiClock::time_point now, std::int64_t framesBefore) {
    const std::int64_t nowNs = Nanoseconds(now);
    // Where frame 0 would lie if this callback had come exactly when its first frame was due. A callback
    // is never early, only late, so the earliest of these over the window is the stream's true pace.
    const auto originNs =
        nowNs - std::llround(static_cast<double>(framesBefore) * NanosecondsPerSecond / sampleRate_);
    if (exact_) {
        originNs_ = originNs;
        haveMapping_ = true;
        return;
    }
    samples_[next_] = {nowNs, originNs};
    next_ = (next_ + 1) % Capacity;
    count_ = std::min(count_ + 1, Capacity);

    const std::int64_t oldest = nowNs - std::chrono::nanoseconds(audio_clock::Window).count();
    std::int64_t envelope = originNs;
    for (std::size_t i = 0; i < count_; ++i) {
        const Sample& s = samples_[i];
        if (s.timeNs >= oldest) envelope = std::min(envelope, s.originNs);
    }
    // Holding still through small wobbles keeps the intervals between scheduled messages exact; a stream
    // that has really moved (drift, a restart of the server's clock) is followed at once.
    const std::int64_t earlierNs = std::chrono::nanoseconds(audio_clock::EarlierTolerance).count();
    const std::int64_t laterNs = std::chrono::nanoseconds(audio_clock::LaterTolerance).count();
    if (!haveMapping_ || envelope < originNs_ - earlierNs || envelope > originNs_ + laterNs) {
        originNs_ = envelope;
        haveMapping_ = true;
    }
}

double AudioClock::frameAt(MidiClock::time_point time) const {
    return static_cast<double>(Nanoseconds(time) - originNs_) * sampleRate_ / NanosecondsPerSecond;
}

} // namespace orbel
