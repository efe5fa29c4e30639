// The choice of the synthesizer's audio driver and the life of its stream.
// Thread: the opener's thread, then the synthesizer's worker.
#include "sound/synth_stream.h"

#include "sound/fluid_synth_set.h"
#include "sound/realtime_priority.h"
#include "sound/synth_output.h"

#include <array>
#include <cstdio>
#include <fluidsynth.h>
#include <thread>
#include <vector>

namespace orbel {

namespace {

// Tried in this order: desktops (PipeWire included) serve the pulseaudio protocol; plain ALSA covers
// machines without a sound server; JACK covers studio set-ups.
constexpr std::array<const char*, 3> AudioDrivers{"pulseaudio", "alsa", "jack"};
constexpr const char* AudioDriverList = "pulseaudio, alsa, jack";
constexpr const char* FileDriver = "file";
constexpr const char* PulseDriver = "pulseaudio";
constexpr const char* JackDriver = "jack";
// How long a new stream's first callback is awaited for its thread's priority.
constexpr std::chrono::milliseconds FirstCallbackWait{200};

// The drivers Open() tries, in order: the one asked for, else the desktop's.
std::vector<std::string> DriversToTry(const std::string& asked) {
    if (!asked.empty()) return {asked};
    return {AudioDrivers.begin(), AudioDrivers.end()};
}

int PeriodFramesFor(const std::string& driver) {
    return driver == FileDriver ? synth_defaults::FilePeriodFrames : synth_defaults::ServerPeriodFrames;
}

std::chrono::microseconds DelayFor(int periodFrames, double sampleRate) {
    const double frames = periodFrames + synth_block::Frames;
    return std::chrono::microseconds(static_cast<std::int64_t>(frames * 1e6 / sampleRate)) +
           synth_defaults::DelayMargin;
}

// why: what changed it, or nothing at the start.
void ReportDelay(std::chrono::microseconds delay, const char* why = "") {
    if (SynthDebugWanted())
        std::fprintf(stderr, "Output delay: %lld us%s.\n", static_cast<long long>(delay.count()), why);
}

} // namespace

void SynthStream::DriverDeleter::operator()(fluid_audio_driver_t* driver) const {
    delete_fluid_audio_driver(driver);
}

SynthStream::SynthStream(FluidSynthSet& fluid, ScheduledRenderer& renderer, double sampleRate)
    : fluid_(fluid), renderer_(renderer), sampleRate_(sampleRate), feed_(renderer) {}

SynthStream::~SynthStream() = default;

std::unique_ptr<SynthStream> SynthStream::Open(FluidSynthSet& fluid, ScheduledRenderer& renderer,
                                               const SynthOptions& options, std::string& error) {
    if (!options.audioFile.empty() &&
        fluid_settings_setstr(fluid.settings(), "audio.file.name", options.audioFile.c_str()) != FLUID_OK) {
        error = "シンセサイザーの音を「" + options.audioFile.string() + "」に書き出せません。";
        return nullptr;
    }
    std::unique_ptr<SynthStream> stream(new SynthStream(fluid, renderer, options.sampleRate));
    for (const std::string& name : DriversToTry(options.audioDriver)) {
        if (stream->setUp(name) && stream->start()) {
            stream->driverName_ = name;
            return stream;
        }
    }
    if (!options.audioDriver.empty()) {
        error = "音声出力 " + options.audioDriver + " を始められません" +
                (options.audioFile.empty() ? "" : "（書き出し先「" + options.audioFile.string() + "」）") +
                "。";
    } else {
        error = std::string("音声出力を始められません（") + AudioDriverList +
                " を試しました）。サウンドサーバーが動いていないか、サウンドデバイスがありません。";
    }
    return nullptr;
}

bool SynthStream::setUp(const std::string& driver) {
    if (fluid_settings_setstr(fluid_.settings(), "audio.driver", driver.c_str()) != FLUID_OK) return false;
    // A JACK client is not connected to the speakers unless asked to be. A library built without JACK has
    // no such setting, and then no JACK driver to start either.
    std::string ignored;
    if (driver == JackDriver && !fluid_.setInt("audio.jack.autoconnect", 1, ignored)) return false;
    const int period = PeriodFramesFor(driver);
    if (!fluid_.setInt("audio.period-size", period, ignored) ||
        !fluid_.setInt("audio.periods", synth_defaults::ServerPeriods, ignored))
        return false;
    ownPulse_ = driver == PulseDriver;
    pulseOptions_ = {sampleRate_,
                     period,
                     synth_defaults::ServerPeriods,
                     synth_defaults::MostServerPeriods,
                     synth_defaults::BusyServerPeriods,
                     synth_defaults::BusyPressurePercent,
                     synth_defaults::ShrinkQueueAfter,
                     SynthDebugWanted()};
    renderer_.setDelay(ownPulse_ ? PulseOutputDelay(pulseOptions_, pulseOptions_.periods)
                                 : DelayFor(period, sampleRate_));
    return true;
}

bool SynthStream::start() {
    renderer_.restartStream(ownPulse_);
    feed_.forgetThread();
    resumed_.store(false, std::memory_order_relaxed);
    if (ownPulse_) {
        std::string error;
        pulse_ = std::make_unique<PulseStream>(
            pulseOptions_,
            [this](MidiClock::time_point firstFramePlays, std::span<float> left, std::span<float> right) {
                feed_.render(firstFramePlays, left, right);
            },
            [this](std::chrono::microseconds delay) {
                renderer_.setDelay(delay);
                ReportDelay(delay, " (the sound server's queue changed)");
            },
            &error);
        if (!pulse_->isRunning()) {
            pulse_.reset();
            if (SynthDebugWanted()) std::fprintf(stderr, "%s\n", error.c_str());
        } else {
            // The stream may start with the longer queue of a busy machine.
            renderer_.setDelay(PulseOutputDelay(pulseOptions_, pulse_->periods()));
            ReportDelay(renderer_.delay());
        }
    } else {
        driver_.reset(new_fluid_audio_driver2(fluid_.settings(), AudioFeed::FluidCallback, &feed_));
    }
    running_.store(streaming(), std::memory_order_seq_cst);
    return streaming();
}

bool SynthStream::resume() {
    if (!pulse_) return false;
    std::string error;
    // Paused, the stream renders nothing, so its time line can start again here.
    renderer_.restartStream(true);
    if (!pulse_->failed() && pulse_->resume(&error)) {
        resumed_.store(true, std::memory_order_relaxed);
        running_.store(true, std::memory_order_seq_cst);
        return true;
    }
    if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    pulse_.reset();
    return false;
}

void SynthStream::restart() {
    if (resume()) return;
    if (start()) {
        raiseAudioThread();
        return;
    }
    renderer_.discardAll();
    std::fprintf(stderr, "The synthesizer's audio output could not be started again.\n");
}

void SynthStream::rest() {
    running_.store(false, std::memory_order_seq_cst);
    if (pulse_) {
        std::string error;
        if (pulse_->pause(&error)) return;
        if (!error.empty()) std::fprintf(stderr, "%s\n", error.c_str());
    }
    driver_.reset();
    pulse_.reset();
}

void SynthStream::dropFailedServer() {
    running_.store(false, std::memory_order_seq_cst);
    pulse_.reset();
}

void SynthStream::sizeQueue() {
    if (pulse_ && !pulse_->failed()) pulse_->sizeQueue();
}

void SynthStream::raiseAudioThread() {
    if (realtimeRefused_) return;
    const auto deadline = MidiClock::now() + FirstCallbackWait;
    while (feed_.thread() == 0 && MidiClock::now() < deadline)
        std::this_thread::sleep_for(synth_stream::Poll);
    const pid_t thread = feed_.thread();
    if (thread == 0) return;
    std::string why;
    if (RequestRealtimePriorityFor(thread, realtime::AudioPriority, &why)) return;
    realtimeRefused_ = true;
    if (SynthDebugWanted()) std::fprintf(stderr, "%s\n", why.c_str());
}

} // namespace orbel
