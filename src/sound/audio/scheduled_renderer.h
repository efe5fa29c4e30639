#pragma once
// Renders a synthesizer inside the audio callback and applies each message at the sample where its due
// time falls. Callers hand messages over through a lock-free queue, so the callback never waits for them
// and they never wait for the callback.
//
// Precision: the synthesizer takes events only between its blocks of 64 frames, so the stream is rendered
// in pieces that end on those block boundaries and a message is applied before the block whose start is
// nearest to its exact sample. A message thus sounds within ±32 frames (±0.67 ms at 48 kHz) of its due time
// plus the output delay, and two messages whose due times lie a whole number of blocks apart (every beat of
// 24 × n ms at 48 kHz) sound exactly that far apart while the clock mapping holds still.
// Thread: the sound server's client thread renders; any thread posts messages.

#include "sound/audio/audio_clock.h"
#include "sound/midi_output.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orbel {

namespace synth_block {
// FluidSynth's internal block: the granularity at which it takes events.
static constexpr int Frames = 64;
} // namespace synth_block

// What the renderer drives: a synthesizer that takes messages and renders frames.
class BlockSynth {
public:
    virtual ~BlockSynth() = default;
    // False while the instruments are still loading: messages wait and the stream stays silent.
    virtual bool ready() const = 0;
    virtual void apply(ShortMessage message) = 0;
    virtual void allSoundsOff() = 0;
    // Overwrites both buffers with the next frames.
    virtual void render(std::span<float> left, std::span<float> right) = 0;
    virtual int activeVoices() = 0;
};

class ScheduledRenderer {
public:
    ScheduledRenderer(BlockSynth& synth, double sampleRate, std::chrono::microseconds delay);

    // --- Callers' side: one caller at a time (the output's callers serialise themselves).
    // A message due at `due`, or at once without it. False when the queue is full and it was lost.
    bool post(ShortMessage message, std::optional<MidiClock::time_point> due);
    bool postAllSoundsOff();
    // Everything posted before this call and not yet applied is dropped.
    void cancelScheduled();

    // --- The audio side: the callback, or a thread that owns the stream while no callback runs.
    void render(MidiClock::time_point callbackStart, std::span<float> left, std::span<float> right);
    // A new stream starts: its frames count from zero and the clock mapping is found again. exactTimes:
    // the stream passes render() the moment its frames are heard, not the moment it asks for them.
    void restartStream(bool exactTimes = false);
    // Drops every message handed over (no stream can play them).
    void discardAll();
    // Whether anything is queued or waiting for its sample.
    bool hasWork() const;

    // --- Any thread.
    // Frames of the current stream in which nothing was queued and no voice sounded, up to now.
    std::int64_t quietFrames() const { return quietFrames_.load(std::memory_order_relaxed); }
    std::int64_t streamFrames() const { return streamFramesShared_.load(std::memory_order_relaxed); }
    std::chrono::microseconds delay() const {
        return std::chrono::microseconds(delayMicros_.load(std::memory_order_relaxed));
    }
    // A new output delay, for messages applied from now on (the stream's queue grew or shrank).
    void setDelay(std::chrono::microseconds delay) {
        delayMicros_.store(delay.count(), std::memory_order_relaxed);
    }

private:
    enum class Kind : std::uint8_t { Message, AllSoundsOff };
    struct Event {
        std::int64_t dueNs; // Immediate: at the start of the next piece
        ShortMessage message;
        std::uint32_t generation;
        Kind kind;
    };
    static constexpr std::int64_t Immediate = INT64_MIN;
    // Ample for the player, which hands over each message only at its deadline.
    static constexpr std::size_t QueueCapacity = 4096;

    bool push(const Event& event);
    void drainQueue();
    void applyDue(std::int64_t pieceEnd);
    void apply(const Event& event);

    BlockSynth& synth_;
    std::atomic<std::int64_t> delayMicros_;
    double sampleRate_;

    // Single-producer, single-consumer ring: the producer owns tail_, the consumer head_.
    std::array<Event, QueueCapacity> queue_{};
    std::atomic<std::size_t> head_{0};
    std::atomic<std::size_t> tail_{0};
    std::atomic<std::uint32_t> generation_{0};

    // The audio side's own state.
    AudioClock clock_;
    std::vector<Event> pending_; // in arrival order, capacity reserved once
    std::int64_t streamFrames_ = 0;
    std::int64_t synthFrames_ = 0; // frames the synthesizer rendered in its life: its block phase
    std::atomic<std::int64_t> streamFramesShared_{0};
    std::atomic<std::int64_t> quietFrames_{0};
};

} // namespace orbel
