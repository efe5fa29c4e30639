#pragma once
// Where the audio thread of the synthesizer's stream asks for frames, whichever driver runs it: the thread
// makes itself known, so that the synthesizer's worker can raise its priority, and the scheduled renderer
// fills the buffers.
// Thread: the audio thread; the synthesizer's worker reads and forgets which thread that is.

#include "sound/audio/scheduled_renderer.h"

#include <atomic>
#include <span>
#include <sys/types.h>

namespace orbel {

class AudioFeed {
public:
    // The renderer must outlive the feed.
    explicit AudioFeed(ScheduledRenderer& renderer) : renderer_(renderer) {}
    AudioFeed(const AudioFeed&) = delete;
    AudioFeed& operator=(const AudioFeed&) = delete;

    // Our own stream to the sound server: firstFramePlays is when the first frame will be heard.
    void render(MidiClock::time_point firstFramePlays, std::span<float> left, std::span<float> right);
    // The callback of FluidSynth's own drivers; data is the feed.
    static int FluidCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]);

    // The audio thread of the running stream once it has called, else 0.
    pid_t thread() const { return thread_.load(std::memory_order_relaxed); }
    // A new stream is starting, whose thread has not shown itself yet.
    void forgetThread() { thread_.store(0, std::memory_order_relaxed); }

private:
    void noteThread();

    ScheduledRenderer& renderer_;
    std::atomic<pid_t> thread_{0};
};

} // namespace orbel
