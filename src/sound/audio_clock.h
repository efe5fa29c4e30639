#pragma once
// Where a moment on MidiClock falls in an audio stream. The audio callback tells the clock when it started
// and how many frames the stream had produced before it; the clock keeps one mapping from time to frame
// that holds still while callbacks jitter, come late or come in bursts, and moves only when the stream has
// really drifted away from it.

#include "sound/midi_output.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace orbel {

namespace audio_clock {
// The lower envelope is taken over this much of the stream's recent past.
static constexpr std::chrono::milliseconds Window{400};
// The mapping moves only when the envelope has left it by more than this.
static constexpr std::chrono::microseconds Tolerance{1000};
} // namespace audio_clock

class AudioClock {
public:
    explicit AudioClock(double sampleRate);

    // Forgets the stream: the next callback starts a new one (its frame count starts again).
    void restart();
    // At the start of a callback: the time it began and the frames the stream produced before it.
    void onCallback(MidiClock::time_point now, std::int64_t framesBefore);
    bool hasMapping() const { return haveMapping_; }
    // The stream frame (fractional) that plays at `time`; meaningful once a callback was seen.
    double frameAt(MidiClock::time_point time) const;
    // The moment the stream's frame 0 stands for, as the mapping has it.
    std::int64_t originNanoseconds() const { return originNs_; }

private:
    struct Sample {
        std::int64_t timeNs;
        std::int64_t originNs;
    };
    // About 750 callbacks of 64 frames at 48 kHz fit in the window; an older entry is overwritten first,
    // so a flood of tiny callbacks only shortens the window.
    static constexpr std::size_t Capacity = 1024;

    double sampleRate_;
    std::array<Sample, Capacity> samples_{};
    std::size_t next_ = 0;
    std::size_t count_ = 0;
    std::int64_t originNs_ = 0;
    bool haveMapping_ = false;
};

} // namespace orbel
