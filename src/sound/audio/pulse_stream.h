#pragma once
// A playback stream to the desktop's sound server (PulseAudio, or PipeWire's PulseAudio service) that
// knows when its frames will be heard. Runs on the client library's own thread (its threaded main loop):
// whenever the server asks for frames, the renderer is asked for one period at a time and each period is
// written; each answer of the server on its timing tells when the next frame will play, and that moment,
// not the moment the renderer happened to be called, is what the renderer schedules against. So the
// server's changing buffer depth and its bursts of requests do not move the notes.
//
// When idle the stream is paused (corked) rather than closed: it keeps its place with the server, costs
// next to nothing while paused, and plays again within a period of being resumed, where a new stream
// may wait for an idle server to take it up (up to two seconds with a null sink).
// Thread: the sound server's client thread; opened, paused and resumed from the synthesizer's worker.

#include "sound/audio/drift_follower.h"
#include "sound/midi_output.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct pa_threaded_mainloop;
struct pa_context;
struct pa_stream;
struct pa_buffer_attr;

namespace orbel {

namespace pulse_stream {
// An error this large between when the frames are heard and when they should be is not a drift to follow:
// a wrong report, or, after the server said the stream ran dry, the sound lost.
static constexpr std::chrono::duration<double> RestartAfter{0.010};
// For this long after the stream starts or resumes, the client library asks the server for its timing
// often and its answers still move by a few milliseconds; an error beyond the tolerance then restarts the
// time line at once instead of being followed slowly.
static constexpr std::chrono::duration<double> SettleTime{0.25};
static constexpr std::chrono::duration<double> SettleTolerance{0.0005};
// The queue grows by this many periods before the next performance when the server ran dry, or nearly
// did (less than a period was left when it asked for more).
static constexpr int GrowPeriods = 2;
static constexpr std::chrono::duration<double> QueueWatchAfter{2.0};
} // namespace pulse_stream

struct PulseStreamOptions {
    double sampleRate = 48000.0;
    int periodFrames = 256;
    // The server is asked to keep this many periods queued, more on a machine too busy for that (up to
    // mostPeriods), and this many again once it is quiet.
    int periods = 2;
    int mostPeriods = 2;
    // At least this many while the processors are busy (some task waited for one at least busyPressure
    // per cent of the last ten seconds), looked at whenever the stream starts or resumes.
    int busyPeriods = 2;
    double busyPressure = 100;
    // At a resume, once this long has passed since the server last ran dry (or nearly), the queue
    // shrinks by one period.
    std::chrono::milliseconds shrinkAfter = std::chrono::minutes(1);
    // Says on standard error when the server ran dry and how the time line moved (for finding out why a
    // beat stumbled).
    bool tellTimeLine = false;
};

// From a message's due time to its sound with `periods` periods queued: the queue, one period of
// rendering ahead, one synthesizer block and a margin for the sender.
std::chrono::microseconds PulseOutputDelay(const PulseStreamOptions& options, int periods);

class PulseStream {
public:
    // Fills both channels with the next frames; firstFramePlays: when the first of them will be heard.
    // Called on the client library's thread, never while paused.
    using Render = std::function<void(MidiClock::time_point firstFramePlays, std::span<float> left,
                                      std::span<float> right)>;
    // Told the new output delay when the queue grows or shrinks, on the client library's thread, before
    // the next frames are rendered.
    using DelayChanged = std::function<void(std::chrono::microseconds delay)>;

    // Connects to the server and starts playing. On failure says why in *error (in words a user can read)
    // and isRunning() is false.
    PulseStream(const PulseStreamOptions& options, Render render, DelayChanged delayChanged,
                std::string* error);
    // Stops the client library's thread and closes the stream.
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connected, and the server has not gone away since.
    bool isRunning() const { return stream_ != nullptr && !failed_.load(); }
    // The server went away or dropped the stream: it plays no more, and a new one must be opened.
    bool failed() const { return failed_.load(); }

    // Stops asking for frames and has the server hold the stream (corked); once this returns, render is not
    // called until resume(). False, with the reason in *error, when the server cannot be told.
    bool pause(std::string* error);
    // Plays again. The time line is found again from the server's first latency answer after the stream
    // runs, so the first frames rendered are placed by when they will really be heard.
    bool resume(std::string* error);

    // Before a performance: sizes the queue for the machine as it is now (longer after it nearly ran dry
    // or while the processors are busy, shorter once quiet for a while), telling the new delay.
    void sizeQueue();

    // How often the server ran dry since the stream opened, and the periods it keeps queued now.
    int underflows() const { return underflows_.load(std::memory_order_relaxed); }
    int periods() const { return periodsShared_.load(std::memory_order_relaxed); }

private:
    struct LoopDeleter {
        void operator()(pa_threaded_mainloop* loop) const;
    };
    struct ContextDeleter {
        void operator()(pa_context* context) const;
    };
    struct StreamDeleter {
        void operator()(pa_stream* stream) const;
    };

    bool connect(std::string& error);
    // With the library's lock held: waits for the connection, then opens the stream.
    bool openStream(std::string& error);
    // The reason the server gave for the last failed request, in words.
    std::string serverError() const;
    // Writes periods while the server has room for them. On the library's thread, with its lock held.
    void fill();
    // One period after the time line is known; false when the stream cannot take it.
    bool writePeriod();
    // When the next frame written will be heard, from the server's latest timing; nothing before it has
    // answered.
    std::optional<MidiClock::time_point> nextFrameHeard() const;
    void reportOnce(const char* what, const std::string& why);
    // With the library's lock held: asks the server for `periods` periods queued, and says the new delay.
    void setPeriods(int periods);
    bool MachineIsBusy() const;
    pa_buffer_attr bufferAttributes() const;

    static void OnContextState(pa_context* context, void* self);
    static void OnStreamState(pa_stream* stream, void* self);
    static void OnWritable(pa_stream* stream, std::size_t bytes, void* self);
    static void OnFirstTiming(pa_stream* stream, int success, void* self);
    static void OnUnderflow(pa_stream* stream, void* self);
    static void OnLatencyUpdate(pa_stream* stream, void* self);

    PulseStreamOptions options_;
    Render render_;
    DelayChanged delayChanged_;
    std::unique_ptr<pa_threaded_mainloop, LoopDeleter> loop_;
    std::unique_ptr<pa_context, ContextDeleter> context_;
    std::unique_ptr<pa_stream, StreamDeleter> stream_;
    std::atomic<bool> failed_ = false;
    std::atomic<int> underflows_ = 0;
    std::atomic<int> periodsShared_ = 0;

    // The library thread's own state, guarded by its lock.
    bool connected_ = false;
    bool paused_ = false;
    // The server's latency is awaited before the time line is set (after the start or a resume).
    bool awaitingTiming_ = false;
    bool needOrigin_ = true;
    bool reported_ = false;
    // The server said the stream ran dry since the time line was last set.
    bool ranDry_ = false;
    int periods_ = 0;
    // What the server's record of running dry asks for, busy processors aside.
    int learnedPeriods_ = 0;
    // When the server last ran dry or nearly: the queue shrinks only long after.
    MidiClock::time_point lastTrouble_{};
    MidiClock::duration lowestQueue_ = MidiClock::duration::max();
    MidiClock::time_point origin_{};
    std::int64_t pulled_ = 0;
    double settling_ = 0; // seconds of sound written since the time line was set
    // The server's answers on its timing so far, and the last one the time line was judged by; the
    // seconds of sound written since.
    std::uint64_t answers_ = 0;
    std::uint64_t judged_ = 0;
    double sinceJudged_ = 0;
    std::unique_ptr<FrameResampler> resampler_;
    DriftFollower follower_;
    TimeLineCheck timeLine_;
    std::vector<float> left_;
    std::vector<float> right_;
    std::vector<float> interleaved_;
};

} // namespace orbel
