#pragma once
// FluidSynth's settings, its synthesizer and the SoundFont it plays, made and checked together and freed
// in the right order (the synthesizer before its settings). FluidSynth's own console messages are kept
// back unless asked for: the program says what matters in its own words.
// Thread: made on the opener's thread; live, the SoundFont loads on the synthesizer's worker.

#include "sound/audio/fluid_block_synth.h"

#include <filesystem>
#include <fluidsynth/types.h>
#include <memory>
#include <string>

namespace orbel {

// Whether the synthesizer's own warnings and timing notes go to the console (ORBEL_SYNTH_DEBUG or
// ORBEL_MIDI_LOG set).
bool SynthDebugWanted();

class FluidSynthSet {
public:
    // The settings and the synthesizer at sampleRate; nothing, with the reason in error, when FluidSynth
    // refuses them.
    static std::unique_ptr<FluidSynthSet> Create(double sampleRate, std::string& error);
    ~FluidSynthSet();
    FluidSynthSet(const FluidSynthSet&) = delete;
    FluidSynthSet& operator=(const FluidSynthSet&) = delete;

    fluid_settings_t* settings() const { return settings_.get(); }
    FluidBlockSynth& block() { return *block_; }

    // Loads the SoundFont and lets the synthesizer play: with it, or silent when it could not be loaded
    // (then false).
    bool loadSoundFont(const std::filesystem::path& font);

    // One setting; false, with the reason in error, when FluidSynth does not take it.
    bool setInt(const char* name, int value, std::string& error);
    bool setNumber(const char* name, double value, std::string& error);

private:
    struct SettingsDeleter {
        void operator()(fluid_settings_t* settings) const;
    };
    struct SynthDeleter {
        void operator()(fluid_synth_t* synth) const;
    };

    FluidSynthSet() = default;

    // In the order of creation, so that the synthesizer goes before its settings.
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings_;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth_;
    std::unique_ptr<FluidBlockSynth> block_;
};

} // namespace orbel
