#pragma once
// A playback stream to the desktop's sound server (PulseAudio, or PipeWire's PulseAudio service) that
// knows when its frames will be heard. A thread of its own asks the renderer for one period at a time and
// writes it; after every write the server's latency tells when the next frame will play, and that moment,
// not the moment the renderer happened to be called, is what the renderer schedules against. So the
// server's changing buffer depth and its bursts of requests do not move the notes.

#include "sound/midi_output.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <thread>

struct pa_simple;

namespace orbel {

namespace pulse_stream {
// An error this large between when the frames are heard and when they should be is not a drift to follow
// but a stream that started late or lost sound.
static constexpr std::chrono::duration<double> RestartAfter{0.010};
} // namespace pulse_stream

struct PulseStreamOptions {
    double sampleRate = 48000.0;
    int periodFrames = 256;
    // The server is asked to keep this many periods queued.
    int periods = 2;
};

class PulseStream {
public:
    // Fills both channels with the next frames; firstFramePlays: when the first of them will be heard.
    using Render = std::function<void(MidiClock::time_point firstFramePlays, std::span<float> left,
                                      std::span<float> right)>;

    // Connects to the server and starts playing. On failure says why in *error (in words a user can read)
    // and isRunning() is false.
    PulseStream(const PulseStreamOptions& options, Render render, std::string* error);
    // Stops the thread and closes the stream.
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    bool isRunning() const { return connection_ != nullptr; }
    // The thread's kernel id once it runs (0 before), for its scheduling.
    pid_t threadId() const { return threadId_.load(); }

private:
    void run();

    struct Closer {
        void operator()(pa_simple* s) const;
    };

    PulseStreamOptions options_;
    Render render_;
    std::unique_ptr<pa_simple, Closer> connection_;
    std::atomic<bool> stopping_ = false;
    std::atomic<pid_t> threadId_ = 0;
    std::thread thread_;
};

} // namespace orbel
