// The synthesizer's audio callbacks.
// Thread: the audio thread.
#include "sound/audio/audio_feed.h"

#include <algorithm>
#include <fluidsynth.h>
#include <unistd.h>

namespace orbel {

void AudioFeed::noteThread() {
    if (thread_.load(std::memory_order_relaxed) == 0) thread_.store(::gettid(), std::memory_order_relaxed);
}

void AudioFeed::render(MidiClock::time_point firstFramePlays, std::span<float> left, std::span<float> right) {
    noteThread();
    renderer_.render(firstFramePlays, left, right);
}

int AudioFeed::FluidCallback(void* data, int len, int nfx, float* fx[], int nout, float* out[]) {
    const auto start = MidiClock::now();
    auto* feed = static_cast<AudioFeed*>(data);
    feed->noteThread();
    if (len <= 0 || nout < 2) return FLUID_OK;
    const auto frames = static_cast<std::size_t>(len);
    feed->renderer_.render(start, {out[0], frames}, {out[1], frames});
    for (int i = 2; i < nout; ++i)
        std::fill_n(out[i], frames, 0.0F);
    for (int i = 0; i < nfx; ++i)
        std::fill_n(fx[i], frames, 0.0F);
    return FLUID_OK;
}

} // namespace orbel
