#pragma once
// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont, either through the desktop's
// audio server or offline, where the caller pulls the samples (tests, exports).

#include "sound/midi_output.h"
#include "sound/soundfont_locator.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace orbel {

namespace synth_defaults {
static constexpr double SampleRate = 48000.0;
// 64 frames is the synthesizer's own block: a note sent between two periods waits at most this long.
static constexpr int PeriodFrames = 64;
// Three periods of 64 frames are 4 ms of buffering at 48 kHz.
static constexpr int Periods = 3;
} // namespace synth_defaults

struct SynthOptions {
    // The SoundFont to play; empty picks the General MIDI SoundFont found in soundFontFolder.
    std::filesystem::path soundFont;
    std::filesystem::path soundFontFolder = soundfonts::SystemFolder;
    // Off: no audio driver is started and render() pulls the samples.
    bool liveAudio = true;
    // With live audio: the one FluidSynth audio driver to start ("file" for a recording paced in real
    // time, as the timing benchmark needs); empty tries the desktop's drivers in turn.
    std::string audioDriver;
    // Where the "file" driver writes; its extension picks the format (.wav, .raw).
    std::filesystem::path audioFile;
    double sampleRate = synth_defaults::SampleRate;
};

class SynthOutput final : public MidiOutput {
public:
    explicit SynthOutput(SynthOptions options = {});
    ~SynthOutput() override;
    SynthOutput(const SynthOutput&) = delete;
    SynthOutput& operator=(const SynthOutput&) = delete;

    bool open(std::string& error) override;
    void send(ShortMessage message) override;
    void reset() override;
    void close() override;
    bool isOpen() const override;

    // Offline only: writes the next left.size() frames of the stereo output. False when the output is
    // not open, plays live, or the two buffers differ in length.
    bool render(std::span<float> left, std::span<float> right);

    // The SoundFont in use and the audio driver that plays it (empty offline); valid while open.
    const std::filesystem::path& soundFontPath() const { return soundFontPath_; }
    const std::string& audioDriverName() const { return audioDriverName_; }
    double sampleRate() const { return options_.sampleRate; }

private:
    struct Engine;
    SynthOptions options_;
    std::unique_ptr<Engine> engine_;
    std::filesystem::path soundFontPath_;
    std::string audioDriverName_;
};

} // namespace orbel
