// The synthesizer's worker: the SoundFont, idleness and wakes.
// Thread: the worker's own; nudge and wake on the callers'.
#include "sound/synth_idle_worker.h"

#include "sound/audio/scheduled_renderer.h"
#include "sound/fluid_synth_set.h"
#include "sound/synth_output.h"
#include "sound/synth_stream.h"

#include <cstdio>
#include <utility>

namespace orbel {

namespace {

// wake() waits at most this long, and until a new stream has run this long (its first bursts settle the
// clock mapping); a resumed stream of the sound server is ready with its first period.
constexpr std::chrono::milliseconds WakeTimeout{3000};
constexpr std::chrono::milliseconds WakeSettle{100};
// How often a running stream is checked for idleness.
constexpr std::chrono::milliseconds IdleCheck{250};
// Silent this long, the stream is between performances.
constexpr std::chrono::duration<double> QuietBeforeSizing{0.3};

} // namespace

SynthIdleWorker::SynthIdleWorker(FluidSynthSet& fluid, ScheduledRenderer& renderer, SynthStream& stream,
                                 std::filesystem::path font, double sampleRate)
    : fluid_(fluid), renderer_(renderer), stream_(stream), font_(std::move(font)), sampleRate_(sampleRate),
      keepAwakeUntil_(MidiClock::now() + synth_defaults::IdleAfter) {
    worker_ = std::thread([this] {
        stream_.raiseAudioThread();
        serve();
    });
}

SynthIdleWorker::~SynthIdleWorker() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

std::int64_t SynthIdleWorker::framesIn(std::chrono::duration<double> span) const {
    return static_cast<std::int64_t>(sampleRate_ * span.count());
}

void SynthIdleWorker::serve() {
    if (!fluid_.loadSoundFont(font_)) {
        // Opening saw a SoundFont header, so this is a damaged file; the program plays on, silent.
        std::fprintf(stderr, "The SoundFont %s could not be loaded; it may be damaged.\n", font_.c_str());
    }
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (stream_.running()) {
            // A wake asked for while the last round ran is not waited out: wake() waits for its answer.
            changed_.wait_for(lock, IdleCheck, [this] { return stopping_ || wakeWanted_; });
        } else {
            changed_.wait(lock, [this] { return stopping_ || wakeWanted_; });
        }
        if (stopping_) break;
        const bool wanted = std::exchange(wakeWanted_, false);
        const std::uint64_t asked = wakesAsked_;
        const bool idle = MidiClock::now() >= keepAwakeUntil_ &&
                          renderer_.quietFrames() >= framesIn(synth_defaults::IdleAfter);
        lock.unlock();
        // A performance starts: its queue is sized while nothing sounds (a paused stream before it plays
        // again), so that no note hears the delay change; a new pass of a performance in progress asks
        // too, and is left as it is.
        const bool silent = !stream_.running() || renderer_.quietFrames() >= framesIn(QuietBeforeSizing);
        if (wanted && silent) stream_.sizeQueue();
        if (stream_.serverFailed()) {
            stream_.dropFailedServer();
            if (wanted || renderer_.hasWork()) stream_.restart();
        } else if (!stream_.running() && wanted) {
            stream_.restart();
        } else if (stream_.running() && idle && !wanted) {
            stream_.rest();
            // A message handed over while the stream was going idle must still play.
            if (renderer_.hasWork()) stream_.restart();
        }
        wakesAnswered_.store(asked, std::memory_order_release);
        lock.lock();
    }
}

std::uint64_t SynthIdleWorker::ask(bool keepAwake) {
    if (stream_.running() && !keepAwake) return 0;
    std::uint64_t ticket = 0;
    {
        std::lock_guard lock(mutex_);
        wakeWanted_ = true;
        if (keepAwake) {
            keepAwakeUntil_ = MidiClock::now() + synth_defaults::IdleAfter;
            ticket = ++wakesAsked_;
        }
    }
    changed_.notify_all();
    return ticket;
}

void SynthIdleWorker::wake() {
    const std::uint64_t ticket = ask(true);
    const std::int64_t settled = framesIn(WakeSettle);
    const auto deadline = MidiClock::now() + WakeTimeout;
    while (MidiClock::now() < deadline && !(stream_.running() && fluid_.block().ready() &&
                                            wakesAnswered_.load(std::memory_order_acquire) >= ticket &&
                                            renderer_.streamFrames() >= (stream_.resumed() ? 1 : settled)))
        std::this_thread::sleep_for(synth_stream::Poll);
}

} // namespace orbel
