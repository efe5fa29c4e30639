#pragma once
// The built-in synthesizer's live audio stream. With the desktop's sound server (PulseAudio, or PipeWire's
// PulseAudio service) the stream is our own PulseStream, which knows when its frames are heard; through
// plain ALSA, JACK or the file driver it is one of FluidSynth's own drivers. Idle, the sound server's
// stream is paused and kept; the other drivers, which would hold a device or keep writing, are released
// and started again.
// Thread: opened on the opener's thread; then started, paused and resumed by the synthesizer's worker,
// while any thread may ask whether it runs.

#include "sound/audio/audio_feed.h"
#include "sound/audio/pulse_stream.h"

#include <atomic>
#include <chrono>
#include <fluidsynth/types.h>
#include <memory>
#include <string>

namespace orbel {

class FluidSynthSet;
class ScheduledRenderer;
struct SynthOptions;

namespace synth_stream {
// How often a wait for the audio thread (here, and in the worker's wake) looks again.
static constexpr std::chrono::milliseconds Poll{2};
} // namespace synth_stream

class SynthStream {
public:
    // Sets the synthesizer up for the driver options ask for, else for the desktop's drivers in turn, and
    // keeps the first that starts, with the renderer told its output delay. Nothing, with the reason in
    // error (in words a user can read), when none starts.
    static std::unique_ptr<SynthStream> Open(FluidSynthSet& fluid, ScheduledRenderer& renderer,
                                             const SynthOptions& options, std::string& error);
    ~SynthStream();
    SynthStream(const SynthStream&) = delete;
    SynthStream& operator=(const SynthStream&) = delete;

    const std::string& driverName() const { return driverName_; }
    // Any thread: whether the stream plays now, and whether it was resumed from a pause (then its time line
    // is found at once) rather than started.
    bool running() const { return running_.load(std::memory_order_seq_cst); }
    bool resumed() const { return resumed_.load(std::memory_order_relaxed); }

    // --- The worker's side.
    // Plays again: the paused stream, else a new one. When neither starts, what was handed over is
    // dropped (nothing can play it) and the next message tries again.
    void restart();
    // Idle: pauses the sound server's stream, or releases the driver.
    void rest();
    // The sound server went away (our stream said so): it is dropped, and a new one is started when there
    // is something to play.
    bool serverFailed() const { return pulse_ && pulse_->failed(); }
    void dropFailedServer();
    // Before a performance: the sound server's queue sized for the machine as it is now.
    void sizeQueue();
    // Each new audio thread gets real-time priority once it has shown itself; a system that refused once
    // is not asked again.
    void raiseAudioThread();

private:
    SynthStream(FluidSynthSet& fluid, ScheduledRenderer& renderer, double sampleRate);

    // FluidSynth's settings and the output delay for driver; false when this FluidSynth cannot play
    // through it.
    bool setUp(const std::string& driver);
    // Starts a new stream.
    bool start();
    // Plays the paused stream of the sound server again; false when there is none or it is gone.
    bool resume();
    bool streaming() const { return driver_ != nullptr || pulse_ != nullptr; }

    struct DriverDeleter {
        void operator()(fluid_audio_driver_t* driver) const;
    };

    FluidSynthSet& fluid_;
    ScheduledRenderer& renderer_;
    double sampleRate_;
    std::string driverName_;
    // With the desktop's sound server the stream is our own, so that it knows when its frames are heard.
    bool ownPulse_ = false;
    PulseStreamOptions pulseOptions_;
    std::atomic<bool> running_{false};
    std::atomic<bool> resumed_{false};
    bool realtimeRefused_ = false;
    // The callbacks' target outlives the stream and the driver that call it.
    AudioFeed feed_;
    std::unique_ptr<PulseStream> pulse_;
    std::unique_ptr<fluid_audio_driver_t, DriverDeleter> driver_;
};

} // namespace orbel
