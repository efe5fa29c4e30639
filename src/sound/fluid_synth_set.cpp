// FluidSynth's handles and settings.
// Thread: the opener's thread; loadSoundFont also on the synthesizer's worker.
#include "sound/fluid_synth_set.h"

#include "sound/synth_output.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fluidsynth.h>

namespace orbel {

namespace {

// The variables that let FluidSynth's own warnings through to the console.
constexpr std::array<const char*, 2> DebugVariables{"ORBEL_SYNTH_DEBUG", "ORBEL_MIDI_LOG"};

// FluidSynth reports what it cannot do (no real-time priority for a normal user, a driver that is not
// there while others are tried) on the console; the program says what matters in its own words instead.
void SynthLog(int level, const char* message, void* /*data*/) {
    if (level <= FLUID_WARN && SynthDebugWanted()) std::fprintf(stderr, "fluidsynth: %s\n", message);
}

void QuietenSynthLog() {
    for (const int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
        (void)fluid_set_log_function(level, SynthLog, nullptr); // returns the previous function only
}

std::string Refused(const char* name, const std::string& value) {
    return "シンセサイザーが設定 " + std::string(name) + " = " + value + " を受け付けません。";
}

} // namespace

bool SynthDebugWanted() {
    return std::any_of(DebugVariables.begin(), DebugVariables.end(), [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    });
}

void FluidSynthSet::SettingsDeleter::operator()(fluid_settings_t* settings) const {
    delete_fluid_settings(settings);
}

void FluidSynthSet::SynthDeleter::operator()(fluid_synth_t* synth) const {
    delete_fluid_synth(synth);
}

FluidSynthSet::~FluidSynthSet() = default;

std::unique_ptr<FluidSynthSet> FluidSynthSet::Create(double sampleRate, std::string& error) {
    QuietenSynthLog();
    std::unique_ptr<FluidSynthSet> set(new FluidSynthSet);
    set->settings_.reset(new_fluid_settings());
    if (!set->settings_) {
        error = "シンセサイザーの設定を作れません（メモリが足りないのかもしれません）。";
        return nullptr;
    }
    // Loading only the samples of the instruments in use keeps a large SoundFont from taking its whole
    // size in memory. The audio thread's priority is asked for by the program itself, so FluidSynth does
    // not try (and complain) on its own.
    if (!set->setInt("synth.dynamic-sample-loading", 1, error) ||
        !set->setNumber("synth.sample-rate", sampleRate, error) ||
        !set->setNumber("synth.gain", synth_defaults::Gain, error) ||
        !set->setInt("audio.realtime-prio", 0, error)) {
        return nullptr;
    }
    set->synth_.reset(new_fluid_synth(set->settings_.get()));
    if (!set->synth_) {
        error = "シンセサイザーを作れません。";
        return nullptr;
    }
    set->block_ = std::make_unique<FluidBlockSynth>(set->synth_.get());
    return set;
}

bool FluidSynthSet::loadSoundFont(const std::filesystem::path& font) {
    const bool loaded = fluid_synth_sfload(synth_.get(), font.c_str(), 1) != FLUID_FAILED;
    block_->setReady();
    return loaded;
}

bool FluidSynthSet::setInt(const char* name, int value, std::string& error) {
    if (fluid_settings_setint(settings_.get(), name, value) == FLUID_OK) return true;
    error = Refused(name, std::to_string(value));
    return false;
}

bool FluidSynthSet::setNumber(const char* name, double value, std::string& error) {
    if (fluid_settings_setnum(settings_.get(), name, value) == FLUID_OK) return true;
    error = Refused(name, std::to_string(value));
    return false;
}

} // namespace orbel
