#pragma once
// The built-in synthesizer: FluidSynth playing a General MIDI SoundFont, either through the desktop's
// audio server or offline, where the caller pulls the samples (tests, exports).
//
// Live, the synthesizer renders in an audio callback of our own (see ScheduledRenderer): every message is
// applied at the sample where its due time plus outputDelay() falls, so the rhythm heard does not depend on
// when the audio server happens to ask for samples. The SoundFont loads on a thread of its own, so opening
// returns at once; messages sent before it is loaded wait for it. After a few quiet seconds the stream
// goes idle, so an idle trainer costs next to nothing: the sound server's stream is paused and plays again
// within a period of the next message or wake(); the other drivers' streams are released and started
// again. Made of the FluidSynth handles (FluidSynthSet), the live stream and its driver (SynthStream) and
// the worker that rests and wakes it (SynthIdleWorker).
// Thread: any thread, under the MIDI port's lock; its own worker starts, pauses and sizes the stream.

#include "sound/midi_output.h"
#include "sound/soundfont_locator.h"

#include <chrono>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace orbel {

class FluidSynthSet;
class ScheduledRenderer;
class SynthIdleWorker;
class SynthStream;

namespace synth_defaults {
static constexpr double SampleRate = 48000.0;
// What the sound server gets per period. A sound server mixes in periods of its own, so asking for less
// than about 5 ms only adds wake-ups; the file driver paces itself by the period and keeps it short.
static constexpr int ServerPeriodFrames = 256;
// Periods the server keeps queued. Two (11 ms) play exactly on an idle machine, but a server whose main
// thread waits behind busy programs runs dry now and then, and every time it does the beat stumbles by a
// couple of milliseconds; four (21 ms) keep the time under load, for an output delay of about 30 ms.
static constexpr int ServerPeriods = 4;
// A busy machine gets a longer queue, up to about 120 ms of output delay.
static constexpr int MostServerPeriods = 20;
// Busy processors (tasks kept waiting a fifth of the time) make a server run a short queue dry now and
// then: eight periods (43 ms) rode out two busy loops per core here.
static constexpr int BusyServerPeriods = 8;
static constexpr double BusyPressurePercent = 20;
// ... and its short queue back between performances once it has been quiet this long.
static constexpr std::chrono::minutes ShrinkQueueAfter{2};
static constexpr int FilePeriodFrames = 64;
// The synthesizer's own block, which is also the file driver's period.
static constexpr int PeriodFrames = FilePeriodFrames;
// Beyond the frames a callback renders ahead: one block, since a message goes to the nearest block start,
// and this much for the sender's own lateness and the clock mapping's tolerance.
static constexpr std::chrono::microseconds DelayMargin{1500};
// The stream goes idle after this long without a sounding voice or a queued message.
static constexpr std::chrono::seconds IdleAfter{3};
// synth.gain: the loudest factory item with every instrument at full volume (the phrase HOT15 at tempo
// 120, where melody, chords and bass strike together) peaks near -3 dBFS with FluidR3_GM; at other roots
// no item passes -2 dBFS. FluidSynth's own 0.2 left HOT15 near -11 dBFS.
static constexpr double Gain = 0.49;
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
    // Applied at the start of the next block the synthesizer renders.
    void send(ShortMessage message) override;
    // Applied at the block start nearest to due + outputDelay(); at once when that has passed.
    void sendAt(ShortMessage message, MidiClock::time_point due) override;
    void cancelScheduled() override;
    std::chrono::microseconds outputDelay() const override;
    // Starts or resumes the stream if it is idle and returns once it runs with its clock found and the
    // SoundFont loaded (or after at most a few seconds).
    void wake() override;
    void reset() override;
    void close() override;
    bool isOpen() const override;

    // Offline only: writes the next left.size() frames of the stereo output. False when the output is
    // not open, plays live, or the two buffers differ in length.
    bool render(std::span<float> left, std::span<float> right);

    // The SoundFont in use and the audio driver that plays it (empty offline); valid while open.
    const std::filesystem::path& soundFontPath() const { return soundFontPath_; }
    std::string soundFontInUse() const override { return isOpen() ? soundFontPath_.string() : std::string{}; }
    const std::string& audioDriverName() const { return audioDriverName_; }
    double sampleRate() const { return options_.sampleRate; }
    // Live: whether the audio stream is running now (it is paused or released when idle).
    bool streamRunning() const;

private:
    SynthOptions options_;
    // In the order of creation; close() and the destructor stop the worker and the stream before what they
    // play goes. The stream and the worker are there only live.
    std::unique_ptr<FluidSynthSet> fluid_;
    std::unique_ptr<ScheduledRenderer> renderer_;
    std::unique_ptr<SynthStream> stream_;
    std::unique_ptr<SynthIdleWorker> worker_;
    std::filesystem::path soundFontPath_;
    std::string audioDriverName_;
};

} // namespace orbel
