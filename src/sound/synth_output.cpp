#include "sound/synth_output.h"

#include <array>
#include <fluidsynth.h>
#include <fstream>
#include <limits>
#include <system_error>
#include <vector>

namespace orbel {

namespace {

// Tried in this order: desktops (PipeWire included) serve the pulseaudio protocol; plain ALSA covers
// machines without a sound server; JACK covers studio set-ups.
constexpr std::array<const char*, 3> AudioDrivers{"pulseaudio", "alsa", "jack"};
constexpr const char* AudioDriverList = "pulseaudio, alsa, jack";

// The drivers open() tries, in order: the one asked for, else the desktop's.
std::vector<std::string> DriversToTry(const std::string& asked) {
    if (!asked.empty()) return {asked};
    return {AudioDrivers.begin(), AudioDrivers.end()};
}

struct SettingsDeleter {
    void operator()(fluid_settings_t* settings) const { delete_fluid_settings(settings); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* synth) const { delete_fluid_synth(synth); }
};
struct DriverDeleter {
    void operator()(fluid_audio_driver_t* driver) const { delete_fluid_audio_driver(driver); }
};

bool SetInt(fluid_settings_t* settings, const char* name, int value, std::string& error) {
    if (fluid_settings_setint(settings, name, value) == FLUID_OK) return true;
    error = "The synthesizer does not accept the setting " + std::string(name) + " = " +
            std::to_string(value) + ".";
    return false;
}

bool SetNumber(fluid_settings_t* settings, const char* name, double value, std::string& error) {
    if (fluid_settings_setnum(settings, name, value) == FLUID_OK) return true;
    error = "The synthesizer does not accept the setting " + std::string(name) + " = " +
            std::to_string(value) + ".";
    return false;
}

bool IsReadableFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) && std::ifstream(path, std::ios::binary).good();
}

int ClampData(int value) {
    return value < 0 ? 0 : (value > midi_bytes::DataMax ? midi_bytes::DataMax : value);
}

} // namespace

// Declared in the order of creation, so that the driver stops before the synthesizer it plays goes away,
// and the synthesizer before its settings.
struct SynthOutput::Engine {
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver;
};

SynthOutput::SynthOutput(SynthOptions options) : options_(std::move(options)) {}

SynthOutput::~SynthOutput() = default;

bool SynthOutput::open(std::string& error) {
    close();

    std::filesystem::path font = options_.soundFont;
    if (font.empty()) {
        const auto found = FindGeneralMidiSoundFont(options_.soundFontFolder);
        if (!found) {
            error = "No General MIDI SoundFont (.sf2) was found in " + options_.soundFontFolder.string() +
                    "; the package fluid-soundfont-gm provides one.";
            return false;
        }
        font = *found;
    } else if (!IsReadableFile(font)) {
        error = "The SoundFont " + font.string() + " does not exist or cannot be read.";
        return false;
    }

    auto engine = std::make_unique<Engine>();
    engine->settings.reset(new_fluid_settings());
    if (!engine->settings) {
        error = "The synthesizer's settings could not be created (out of memory?).";
        return false;
    }
    fluid_settings_t* settings = engine->settings.get();
    // Loading only the samples of the instruments in use keeps a large SoundFont from taking
    // its whole size in memory.
    if (!SetInt(settings, "synth.dynamic-sample-loading", 1, error) ||
        !SetNumber(settings, "synth.sample-rate", options_.sampleRate, error) ||
        !SetInt(settings, "audio.period-size", synth_defaults::PeriodFrames, error) ||
        !SetInt(settings, "audio.periods", synth_defaults::Periods, error)) {
        return false;
    }

    engine->synth.reset(new_fluid_synth(settings));
    if (!engine->synth) {
        error = "The synthesizer could not be created.";
        return false;
    }
    if (fluid_synth_sfload(engine->synth.get(), font.c_str(), 1) == FLUID_FAILED) {
        error =
            "The SoundFont " + font.string() + " could not be loaded; it may be damaged or not a SoundFont.";
        return false;
    }

    std::string driverName;
    if (options_.liveAudio) {
        if (!options_.audioFile.empty() &&
            fluid_settings_setstr(settings, "audio.file.name", options_.audioFile.c_str()) != FLUID_OK) {
            error = "The synthesizer cannot write its sound to " + options_.audioFile.string() + ".";
            return false;
        }
        for (const std::string& name : DriversToTry(options_.audioDriver)) {
            if (fluid_settings_setstr(settings, "audio.driver", name.c_str()) != FLUID_OK) continue;
            // A JACK client is not connected to the speakers unless asked to be. A library built
            // without JACK has no such setting, and then no JACK driver to start either.
            if (name == "jack" && fluid_settings_setint(settings, "audio.jack.autoconnect", 1) != FLUID_OK) {
                continue;
            }
            engine->driver.reset(new_fluid_audio_driver(settings, engine->synth.get()));
            if (engine->driver) {
                driverName = name;
                break;
            }
        }
        if (!engine->driver) {
            if (!options_.audioDriver.empty()) {
                error = "The audio output " + options_.audioDriver + " could not be started" +
                        (options_.audioFile.empty() ? "" : " (writing " + options_.audioFile.string() + ")") +
                        ".";
            } else {
                error = std::string("No audio output could be started (tried ") + AudioDriverList +
                        "); the sound server may not be running or there is no sound device.";
            }
            return false;
        }
    }

    engine_ = std::move(engine);
    soundFontPath_ = std::move(font);
    audioDriverName_ = std::move(driverName);
    return true;
}

void SynthOutput::send(ShortMessage message) {
    if (!engine_) return;
    fluid_synth_t* synth = engine_->synth.get();
    const int status = StatusOf(message);
    const int channel = status & 0x0F;
    const int data1 = ClampData(Data1Of(message));
    const int data2 = ClampData(Data2Of(message));
    // The synthesizer refuses some messages as a matter of course (a note-off for a key that is not
    // sounding, a program the SoundFont lacks); like any MIDI device it just plays on, so the results
    // are not examined.
    switch (status & 0xF0) {
    case midi_bytes::NoteOff:
        (void)fluid_synth_noteoff(synth, channel, data1);
        break;
    case midi_bytes::NoteOn:
        if (data2 == 0) {
            (void)fluid_synth_noteoff(synth, channel, data1);
        } else {
            (void)fluid_synth_noteon(synth, channel, data1, data2);
        }
        break;
    case midi_bytes::KeyPressure:
        (void)fluid_synth_key_pressure(synth, channel, data1, data2);
        break;
    case midi_bytes::ControlChange:
        (void)fluid_synth_cc(synth, channel, data1, data2);
        break;
    case midi_bytes::ProgramChange:
        (void)fluid_synth_program_change(synth, channel, data1);
        break;
    case midi_bytes::ChannelPressure:
        (void)fluid_synth_channel_pressure(synth, channel, data1);
        break;
    case midi_bytes::PitchBend:
        (void)fluid_synth_pitch_bend(synth, channel, data1 + 128 * data2);
        break;
    default:
        break; // not a channel message
    }
}

void SynthOutput::reset() {
    if (!engine_) return;
    // Cuts every voice on every channel at once, without release tails. Can only fail for a bad
    // channel number, and -1 (all channels) is always valid.
    (void)fluid_synth_all_sounds_off(engine_->synth.get(), -1);
}

void SynthOutput::close() {
    engine_.reset();
    soundFontPath_.clear();
    audioDriverName_.clear();
}

bool SynthOutput::isOpen() const {
    return engine_ != nullptr;
}

bool SynthOutput::render(std::span<float> left, std::span<float> right) {
    if (!engine_ || engine_->driver || left.size() != right.size()) return false;
    if (left.empty()) return true;
    constexpr std::size_t MaxFrames = static_cast<std::size_t>(std::numeric_limits<int>::max());
    if (left.size() > MaxFrames) return false;
    return fluid_synth_write_float(engine_->synth.get(), static_cast<int>(left.size()), left.data(), 0, 1,
                                   right.data(), 0, 1) == FLUID_OK;
}

} // namespace orbel
