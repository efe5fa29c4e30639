#pragma once
// Where a moment on MidiClock falls in an audio stream. The audio callback tells the clock when it started
// and how many frames the stream had produced before it; the clock keeps one mapping from time to frame
// that holds still while callbacks jitter, come late or come in bursts, and moves only when the stream has
// really drifted away from it.
// Thread: the sound server's client thread (the audio callback).

#include "sound/midi_output.h"

#include <array>
#include <chrono>
#include <cstdint>

namespace orbel {

namespace audio_clock {
// The lower envelope is taken over this much of the stream's recent past. A sound server's requests wander
// by a millisecond or two over seconds while its device keeps a steady pace, so the window spans seconds.
static constexpr std::chrono::milliseconds Window{3000};
// The mapping moves only when the envelope has left it by more than this: soon when the stream runs
// earlier than the mapping has it (messages would come too late), late when it runs later (which only
// adds to the delay for a while).
static constexpr std::chrono::microseconds EarlierTolerance{1000};
static constexpr std::chrono::microseconds LaterTolerance{3000};
} // namespace audio_clock

class AudioClock {
public:
    explicit AudioClock(double sampleRate);

    // Forgets the stream: the next callback starts a new one (its frame count starts again).
    void restart();
    // For a stream that reports exactly when its frames play (rather than when it asks for them): every
    // callback's own mapping is taken as it comes, without envelope or tolerance.
    void setExact(bool exact) { exact_ = exact; }
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
    // Callbacks of 256 frames at 48 kHz fill the window with 563 entries; an older entry is overwritten
    // first, so a flood of tiny callbacks only shortens the window.
    static constexpr std::size_t Capacity = 4096;

    double sampleRate_;
    std::array<Sample, Capacity> samples_{};
    std::size_t next_ = 0;
    std::size_t count_ = 0;
    std::int64_t originNs_ = 0;
    bool haveMapping_ = false;
    bool exact_ = false;
};

} // namespace orbel
