#include "sound/audio/scheduled_renderer.h"

#include <algorithm>
#include <cmath>

namespace orbel {

namespace {

std::int64_t Nanoseconds(MidiClock::time_point t) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(t.time_since_epoch()).count();
}

// A message goes before the block whose start is nearest to its sample.
constexpr double HalfBlock = synth_block::Frames / 2.0;

} // namespace

ScheduledRenderer::ScheduledRenderer(BlockSynth& synth, double sampleRate, std::chrono::microseconds delay)
    : synth_(synth), delayMicros_(delay.count()), sampleRate_(sampleRate), clock_(sampleRate) {
    // Everything the queue can hold may be waiting at once; the callback never allocates.
    pending_.reserve(QueueCapacity);
}

bool ScheduledRenderer::push(const Event& event) {
    const std::size_t tail = tail_.load(std::memory_order_relaxed);
    if (tail - head_.load(std::memory_order_acquire) >= QueueCapacity) return false;
    queue_[tail % QueueCapacity] = event;
    // Sequentially consistent, so that a caller who then finds the stream stopped, and the thread that
    // stopped it and then looks for work, cannot both miss this message.
    tail_.store(tail + 1, std::memory_order_seq_cst);
    return true;
}

bool ScheduledRenderer::post(ShortMessage message, std::optional<MidiClock::time_point> due) {
    return push({due ? Nanoseconds(*due) : Immediate, message, generation_.load(std::memory_order_relaxed),
                 Kind::Message});
}

bool ScheduledRenderer::postAllSoundsOff() {
    return push({Immediate, 0, generation_.load(std::memory_order_relaxed), Kind::AllSoundsOff});
}

void ScheduledRenderer::cancelScheduled() {
    generation_.fetch_add(1, std::memory_order_release);
}

void ScheduledRenderer::drainQueue() {
    const std::uint32_t generation = generation_.load(std::memory_order_acquire);
    const std::size_t tail = tail_.load(std::memory_order_acquire);
    std::size_t head = head_.load(std::memory_order_relaxed);
    for (; head != tail; ++head) {
        const Event& event = queue_[head % QueueCapacity];
        if (event.generation != generation) continue;
        // The reserve covers a full queue on top of a full list; beyond that, late is better than lost.
        if (pending_.size() == pending_.capacity()) {
            apply(event);
        } else {
            pending_.push_back(event);
        }
    }
    head_.store(head, std::memory_order_release);
    std::erase_if(pending_, [generation](const Event& e) { return e.generation != generation; });
}

void ScheduledRenderer::apply(const Event& event) {
    if (event.kind == Kind::AllSoundsOff) {
        synth_.allSoundsOff();
    } else {
        synth_.apply(event.message);
    }
}

void ScheduledRenderer::applyDue(std::int64_t pieceEnd) {
    const bool mapped = clock_.hasMapping();
    const double applyBefore = static_cast<double>(pieceEnd) - HalfBlock;
    const double delayFrames = static_cast<double>(delay().count()) * sampleRate_ / 1e6;
    std::erase_if(pending_, [&](const Event& e) {
        bool due = e.dueNs == Immediate || !mapped;
        if (!due) {
            const MidiClock::time_point at{std::chrono::nanoseconds(e.dueNs)};
            due = clock_.frameAt(at) + delayFrames < applyBefore;
        }
        if (due) apply(e);
        return due;
    });
}

void ScheduledRenderer::render(MidiClock::time_point callbackStart, std::span<float> left,
                               std::span<float> right) {
    const std::size_t frames = std::min(left.size(), right.size());
    clock_.onCallback(callbackStart, streamFrames_);
    drainQueue();
    const bool ready = synth_.ready();
    std::size_t done = 0;
    while (done < frames) {
        // Pieces end on the synthesizer's block boundaries, so that what is applied before a piece
        // takes effect at its first frame.
        const auto phase = static_cast<std::size_t>(synthFrames_ % synth_block::Frames);
        const std::size_t piece = std::min(frames - done, synth_block::Frames - phase);
        if (ready) {
            applyDue(streamFrames_ + static_cast<std::int64_t>(synth_block::Frames - phase));
            synth_.render(left.subspan(done, piece), right.subspan(done, piece));
            synthFrames_ += static_cast<std::int64_t>(piece);
        } else {
            std::fill_n(left.begin() + static_cast<std::ptrdiff_t>(done), piece, 0.0F);
            std::fill_n(right.begin() + static_cast<std::ptrdiff_t>(done), piece, 0.0F);
        }
        streamFrames_ += static_cast<std::int64_t>(piece);
        done += piece;
    }
    streamFramesShared_.store(streamFrames_, std::memory_order_relaxed);
    const bool quiet = ready && pending_.empty() && !hasWork() && synth_.activeVoices() == 0;
    quietFrames_.store(
        quiet ? quietFrames_.load(std::memory_order_relaxed) + static_cast<std::int64_t>(frames) : 0,
        std::memory_order_relaxed);
}

void ScheduledRenderer::restartStream(bool exactTimes) {
    clock_.restart();
    clock_.setExact(exactTimes);
    streamFrames_ = 0;
    streamFramesShared_.store(0, std::memory_order_relaxed);
    quietFrames_.store(0, std::memory_order_relaxed);
}

void ScheduledRenderer::discardAll() {
    head_.store(tail_.load(std::memory_order_acquire), std::memory_order_release);
    pending_.clear();
}

bool ScheduledRenderer::hasWork() const {
    return tail_.load(std::memory_order_seq_cst) != head_.load(std::memory_order_acquire) ||
           !pending_.empty();
}

} // namespace orbel
