#pragma once
// FluidSynth as the scheduled renderer drives it: messages applied between blocks, frames rendered into the
// stream's two channels.
// Thread: the audio thread applies and renders; the synthesizer's worker says when the SoundFont is loaded.

#include "sound/audio/scheduled_renderer.h"

#include <atomic>
#include <fluidsynth/types.h>
#include <span>

namespace orbel {

class FluidBlockSynth final : public BlockSynth {
public:
    // The synthesizer must outlive this.
    explicit FluidBlockSynth(fluid_synth_t* synth) : synth_(synth) {}

    // The SoundFont is loaded (or failed to load, and the synthesizer plays on silent).
    void setReady() { ready_.store(true, std::memory_order_release); }
    bool ready() const override { return ready_.load(std::memory_order_acquire); }

    void apply(ShortMessage message) override;
    // Cuts every voice on every channel at once, without release tails.
    void allSoundsOff() override;
    void render(std::span<float> left, std::span<float> right) override;
    int activeVoices() override;

private:
    fluid_synth_t* synth_;
    std::atomic<bool> ready_{false};
};

} // namespace orbel
