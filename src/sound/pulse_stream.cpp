#include "sound/pulse_stream.h"

#include "sound/drift_follower.h"
#include "sound/realtime_priority.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <pulse/error.h>
#include <pulse/simple.h>
#include <unistd.h>
#include <vector>

namespace orbel {

namespace {

constexpr int Channels = 2;
constexpr const char* ClientName = "ORBEL";
constexpr const char* StreamName = "practice";
// What the client library calls the thread that runs its main loop.
constexpr const char* ClientThreadName = "threaded-ml";

std::uint32_t Bytes(int frames) {
    return static_cast<std::uint32_t>(frames) * Channels * sizeof(float);
}

// The client library talks to the server from a thread of its own; when that thread waits behind busy
// programs, the server runs dry however promptly this stream renders. It gets the audio thread's priority.
void RaiseClientThreads() {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::ifstream comm(task.path() / "comm");
        std::string name;
        std::getline(comm, name);
        if (name != ClientThreadName) continue;
        const pid_t thread = static_cast<pid_t>(std::strtol(task.path().filename().c_str(), nullptr, 10));
        if (thread > 0) (void)RequestRealtimePriorityFor(thread, realtime::AudioPriority);
    }
}

} // namespace

void PulseStream::Closer::operator()(pa_simple* s) const {
    pa_simple_free(s);
}

PulseStream::PulseStream(const PulseStreamOptions& options, Render render, std::string* error)
    : options_(options), render_(std::move(render)) {
    pa_sample_spec format{};
    format.format = PA_SAMPLE_FLOAT32LE;
    format.rate = static_cast<std::uint32_t>(options.sampleRate);
    format.channels = Channels;
    // The server keeps `periods` periods queued and asks for one at a time; it picks the rest.
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = Bytes(options.periodFrames * options.periods);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = Bytes(options.periodFrames);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    int code = 0;
    connection_.reset(pa_simple_new(nullptr, ClientName, PA_STREAM_PLAYBACK, nullptr, StreamName, &format,
                                    nullptr, &attributes, &code));
    if (!connection_) {
        if (error != nullptr)
            *error = std::string("The sound server refused a playback stream: ") + pa_strerror(code) + ".";
        return;
    }
    thread_ = std::thread([this] { run(); });
}

PulseStream::~PulseStream() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
}

void PulseStream::run() {
    threadId_ = ::gettid();
    RaiseClientThreads();
    const auto frames = static_cast<std::size_t>(options_.periodFrames);
    const double rate = options_.sampleRate;
    const double periodSeconds = static_cast<double>(frames) / rate;
    std::vector<float> left(frames);
    std::vector<float> right(frames);
    std::vector<float> interleaved(frames * Channels, 0.0F);
    bool reported = false;

    // Writes one period; when the frame after it will be heard, or nothing when the server cannot say.
    auto write = [&]() -> std::optional<MidiClock::time_point> {
        int code = 0;
        if (pa_simple_write(connection_.get(), interleaved.data(), interleaved.size() * sizeof(float),
                            &code) < 0) {
            if (!reported)
                std::fprintf(stderr, "The sound server stopped taking sound: %s.\n", pa_strerror(code));
            reported = true;
            return std::nullopt;
        }
        const pa_usec_t latency = pa_simple_get_latency(connection_.get(), &code);
        if (latency == static_cast<pa_usec_t>(-1)) return std::nullopt;
        return MidiClock::now() + std::chrono::microseconds(latency);
    };

    // A period of silence first: the server's answer fixes the synthesizer's time line.
    const std::optional<MidiClock::time_point> first = write();
    MidiClock::time_point origin = first.value_or(MidiClock::now());
    std::int64_t pulled = 0;
    FrameResampler resampler(
        [&](std::span<float> l, std::span<float> r) {
            const auto at = origin + std::chrono::duration_cast<MidiClock::duration>(
                                         std::chrono::duration<double>(static_cast<double>(pulled) / rate));
            render_(at, l, r);
            pulled += static_cast<std::int64_t>(l.size());
        },
        frames);
    DriftFollower follower;
    while (!stopping_) {
        resampler.read(follower.ratio(), left, right);
        for (std::size_t i = 0; i < frames; ++i) {
            interleaved[Channels * i] = left[i];
            interleaved[Channels * i + 1] = right[i];
        }
        const std::optional<MidiClock::time_point> heard = write();
        if (!heard) {
            // Without the server's word the stream keeps its pace by the clock.
            if (reported) std::this_thread::sleep_for(std::chrono::duration<double>(periodSeconds));
            continue;
        }
        const double shouldBe = resampler.position() / rate;
        const double is = std::chrono::duration<double>(*heard - origin).count();
        if (std::abs(is - shouldBe) > pulse_stream::RestartAfter.count()) {
            // The server started late, or lost sound: no gentle correction makes up for that, so the time
            // line starts again from where the stream really is.
            origin +=
                std::chrono::duration_cast<MidiClock::duration>(std::chrono::duration<double>(is - shouldBe));
            follower = DriftFollower{};
            continue;
        }
        follower.update(is - shouldBe, periodSeconds);
    }
    int code = 0;
    (void)pa_simple_flush(connection_.get(), &code);
}

} // namespace orbel
