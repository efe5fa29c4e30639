// Runs on the caller's thread (opening, pausing, resuming, closing) and on the client library's thread
// (everything the server asks for), the two meeting under the library's lock.
#include "sound/audio/pulse_stream.h"

#include "sound/cpu_pressure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>

namespace orbel {

namespace {
constexpr int Channels = 2;
constexpr const char* ClientName = "ORBEL";
constexpr const char* StreamName = "practice";
// As the simple API asks for: the library interpolates the server's time between its answers, asks for
// them by itself, and the server sizes its own buffer to the latency asked for.
constexpr auto StreamFlags = static_cast<pa_stream_flags_t>(
    PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);

std::uint32_t Bytes(int frames) {
    return static_cast<std::uint32_t>(frames) * Channels * sizeof(float);
}

// Holds the client library's lock for as long as it lives.
class LoopLock {
public:
    explicit LoopLock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~LoopLock() { pa_threaded_mainloop_unlock(loop_); }
    LoopLock(const LoopLock&) = delete;
    LoopLock& operator=(const LoopLock&) = delete;

private:
    pa_threaded_mainloop* loop_;
};

// Operations whose answer nobody waits for are let go at once.
bool Sent(pa_operation* operation) {
    if (operation == nullptr) return false;
    pa_operation_unref(operation);
    return true;
}

} // namespace

std::chrono::microseconds PulseOutputDelay(const PulseStreamOptions& o, int periods) {
    // Frames are scheduled by when they will be heard: a message must be there before its frame is
    // rendered, which is the server's queue and one period of rendering ahead of its sound.
    static constexpr int SynthBlockFrames = 64;
    static constexpr std::chrono::microseconds SenderMargin{1500};
    const double frames = static_cast<double>(o.periodFrames) * (periods + 1) + SynthBlockFrames;
    return std::chrono::microseconds(static_cast<std::int64_t>(frames * 1e6 / o.sampleRate)) + SenderMargin;
}

void PulseStream::LoopDeleter::operator()(pa_threaded_mainloop* loop) const {
    pa_threaded_mainloop_stop(loop);
    pa_threaded_mainloop_free(loop);
}

void PulseStream::ContextDeleter::operator()(pa_context* context) const {
    // Closing is no news to tell anybody.
    pa_context_set_state_callback(context, nullptr, nullptr);
    pa_context_disconnect(context);
    pa_context_unref(context);
}

void PulseStream::StreamDeleter::operator()(pa_stream* stream) const {
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    pa_stream_set_underflow_callback(stream, nullptr, nullptr);
    pa_stream_set_latency_update_callback(stream, nullptr, nullptr);
    // Fails only for a stream that is no longer connected, which is then simply let go.
    (void)pa_stream_disconnect(stream);
    pa_stream_unref(stream);
}

PulseStream::PulseStream(const PulseStreamOptions& options, Render render, DelayChanged delayChanged,
                         std::string* error)
    : options_(options), render_(std::move(render)), delayChanged_(std::move(delayChanged)),
      periods_(options.periods), learnedPeriods_(options.periods) {
    // A busy machine gets the longer queue from the first note.
    if (MachineIsBusy()) periods_ = std::max(periods_, options.busyPeriods);
    periodsShared_.store(periods_);
    const auto frames = static_cast<std::size_t>(options.periodFrames);
    left_.resize(frames);
    right_.resize(frames);
    interleaved_.resize(frames * Channels);
    std::string why;
    if (!connect(why)) {
        if (loop_) pa_threaded_mainloop_stop(loop_.get());
        stream_.reset();
        if (error != nullptr) *error = why;
    }
}

PulseStream::~PulseStream() {
    // No callback may run while the stream and the connection go.
    if (loop_) pa_threaded_mainloop_stop(loop_.get());
    stream_.reset();
    context_.reset();
}

bool PulseStream::MachineIsBusy() const {
    const std::optional<double> pressure = CpuPressureLastTenSeconds();
    return pressure && *pressure >= options_.busyPressure;
}

std::string PulseStream::serverError() const {
    return context_ ? pa_strerror(pa_context_errno(context_.get())) : "no connection";
}

bool PulseStream::connect(std::string& error) {
    loop_.reset(pa_threaded_mainloop_new());
    if (!loop_) {
        error = "The sound server's client could not be started (out of memory?).";
        return false;
    }
    context_.reset(pa_context_new(pa_threaded_mainloop_get_api(loop_.get()), ClientName));
    if (!context_) {
        error = "The sound server's client could not be started (out of memory?).";
        return false;
    }
    pa_context_set_state_callback(context_.get(), OnContextState, this);
    if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) {
        error = "The sound server could not be reached: " + serverError() + ".";
        return false;
    }
    if (pa_threaded_mainloop_start(loop_.get()) < 0) {
        error = "The sound server's client thread could not be started.";
        return false;
    }
    const LoopLock lock(loop_.get());
    return openStream(error);
}

bool PulseStream::openStream(std::string& error) {
    for (;;) {
        const pa_context_state_t state = pa_context_get_state(context_.get());
        if (state == PA_CONTEXT_READY) break;
        if (!PA_CONTEXT_IS_GOOD(state)) {
            error = "The sound server could not be reached: " + serverError() + ".";
            return false;
        }
        pa_threaded_mainloop_wait(loop_.get());
    }

    pa_sample_spec format{};
    format.format = PA_SAMPLE_FLOAT32LE;
    format.rate = static_cast<std::uint32_t>(options_.sampleRate);
    format.channels = Channels;
    stream_.reset(pa_stream_new(context_.get(), StreamName, &format, nullptr));
    if (!stream_) {
        error = "The sound server refused a playback stream: " + serverError() + ".";
        return false;
    }
    pa_stream_set_state_callback(stream_.get(), OnStreamState, this);
    pa_stream_set_write_callback(stream_.get(), OnWritable, this);
    pa_stream_set_underflow_callback(stream_.get(), OnUnderflow, this);
    pa_stream_set_latency_update_callback(stream_.get(), OnLatencyUpdate, this);
    const pa_buffer_attr attributes = bufferAttributes();
    if (pa_stream_connect_playback(stream_.get(), nullptr, &attributes, StreamFlags, nullptr, nullptr) < 0) {
        error = "The sound server refused a playback stream: " + serverError() + ".";
        return false;
    }
    for (;;) {
        const pa_stream_state_t state = pa_stream_get_state(stream_.get());
        if (state == PA_STREAM_READY) break;
        if (!PA_STREAM_IS_GOOD(state)) {
            error = "The sound server refused a playback stream: " + serverError() + ".";
            return false;
        }
        pa_threaded_mainloop_wait(loop_.get());
    }
    connected_ = true;
    // The first frames wait for the server's word on when they will be heard.
    awaitingTiming_ = true;
    if (!Sent(pa_stream_update_timing_info(stream_.get(), OnFirstTiming, this))) {
        error = "The sound server does not say when its sound is heard: " + serverError() + ".";
        return false;
    }
    return true;
}

// The server keeps the periods queued and asks for one at a time; it picks the rest.
pa_buffer_attr PulseStream::bufferAttributes() const {
    pa_buffer_attr attributes{};
    attributes.maxlength = static_cast<std::uint32_t>(-1);
    attributes.tlength = Bytes(options_.periodFrames * periods_);
    attributes.prebuf = static_cast<std::uint32_t>(-1);
    attributes.minreq = Bytes(options_.periodFrames);
    attributes.fragsize = static_cast<std::uint32_t>(-1);
    return attributes;
}

void PulseStream::setPeriods(int periods) {
    periods = std::clamp(periods, options_.periods, std::max(options_.periods, options_.mostPeriods));
    if (periods == periods_) return;
    periods_ = periods;
    periodsShared_.store(periods_, std::memory_order_relaxed);
    const pa_buffer_attr attributes = bufferAttributes();
    // A running stream whose queue is resized runs dry for a moment and the server's timing answers jump
    // back and forth by the change, which would move the first notes after it. Held while it changes and
    // let go as at a resume, it finds its time line again from the server's first answer.
    const bool holding = !paused_ && Sent(pa_stream_cork(stream_.get(), 1, nullptr, nullptr));
    // A server that does not take it keeps the queue it had; the delay then stays too.
    const bool taken = Sent(pa_stream_set_buffer_attr(stream_.get(), &attributes, nullptr, nullptr));
    if (holding) {
        needOrigin_ = true;
        awaitingTiming_ = Sent(pa_stream_cork(stream_.get(), 0, nullptr, nullptr)) &&
                          Sent(pa_stream_update_timing_info(stream_.get(), OnFirstTiming, this));
    }
    if (taken && delayChanged_) delayChanged_(PulseOutputDelay(options_, periods_));
}

bool PulseStream::pause(std::string* error) {
    if (!isRunning()) return false;
    const LoopLock lock(loop_.get());
    paused_ = true;
    if (Sent(pa_stream_cork(stream_.get(), 1, nullptr, nullptr))) return true;
    if (error != nullptr) *error = "The sound server could not pause the stream: " + serverError() + ".";
    return false;
}

bool PulseStream::resume(std::string* error) {
    if (!isRunning()) return false;
    const LoopLock lock(loop_.get());
    paused_ = false;
    needOrigin_ = true;
    awaitingTiming_ = true;
    // The answer to a timing request sent after the stream runs again tells where it stands now; what
    // the library knew from before the pause is long out of date.
    if (Sent(pa_stream_cork(stream_.get(), 0, nullptr, nullptr)) &&
        Sent(pa_stream_update_timing_info(stream_.get(), OnFirstTiming, this)))
        return true;
    awaitingTiming_ = false;
    if (error != nullptr) *error = "The sound server could not resume the stream: " + serverError() + ".";
    return false;
}

void PulseStream::sizeQueue() {
    if (!isRunning()) return;
    const LoopLock lock(loop_.get());
    // Before a performance, where nobody hears the delay change: a queue that nearly ran dry grows, and
    // once quiet for a while gives a period back; while the processors are busy it is at least the busy
    // queue, which goes as soon as they are not.
    const auto period = std::chrono::duration_cast<MidiClock::duration>(
        std::chrono::duration<double>(options_.periodFrames / options_.sampleRate));
    if (lowestQueue_ < period) {
        lastTrouble_ = MidiClock::now();
        learnedPeriods_ = std::max(learnedPeriods_, periods_) + pulse_stream::GrowPeriods;
    } else if (learnedPeriods_ > options_.periods && MidiClock::now() - lastTrouble_ > options_.shrinkAfter) {
        --learnedPeriods_;
    }
    learnedPeriods_ = std::min(learnedPeriods_, std::max(options_.periods, options_.mostPeriods));
    setPeriods(MachineIsBusy() ? std::max(learnedPeriods_, options_.busyPeriods) : learnedPeriods_);
    lowestQueue_ = MidiClock::duration::max();
}

std::optional<MidiClock::time_point> PulseStream::nextFrameHeard() const {
    // From the server's last answer as it gave it: the frame at the write index is heard the sink's latency
    // plus the queue after the moment of the answer. The library's interpolation between answers fits a
    // rate to them, which on a busy machine runs off by up to one per cent until the next answer.
    const pa_timing_info* info = pa_stream_get_timing_info(stream_.get());
    if (info != nullptr && info->write_index_corrupt == 0 && info->read_index_corrupt == 0) {
        const double queued = static_cast<double>(info->write_index - info->read_index) /
                              (Channels * sizeof(float) * options_.sampleRate);
        const auto answered =
            std::chrono::system_clock::time_point(std::chrono::seconds(info->timestamp.tv_sec) +
                                                  std::chrono::microseconds(info->timestamp.tv_usec));
        const auto heard = answered + std::chrono::microseconds(info->sink_usec) +
                           std::chrono::duration_cast<std::chrono::system_clock::duration>(
                               std::chrono::duration<double>(queued));
        return MidiClock::now() +
               std::chrono::duration_cast<MidiClock::duration>(heard - std::chrono::system_clock::now());
    }
    pa_usec_t latency = 0;
    int negative = 0;
    if (pa_stream_get_latency(stream_.get(), &latency, &negative) < 0) return std::nullopt;
    const auto span = std::chrono::microseconds(static_cast<std::int64_t>(latency));
    return MidiClock::now() + (negative != 0 ? -span : span);
}

void PulseStream::fill() {
    if (paused_ || awaitingTiming_ || failed_.load()) return;
    const std::size_t period = Bytes(options_.periodFrames);
    // How little was left when the server asked for more, since the stream last resumed; not in the first
    // moments, while the server (and, at the start, the whole program) is still settling.
    if (!needOrigin_ && settling_ >= pulse_stream::QueueWatchAfter.count()) {
        if (const std::optional<MidiClock::time_point> heard = nextFrameHeard())
            lowestQueue_ = std::min(lowestQueue_, *heard - MidiClock::now());
    }
    for (;;) {
        const std::size_t room = pa_stream_writable_size(stream_.get());
        if (room == static_cast<std::size_t>(-1) || room < period || !writePeriod()) return;
    }
}

bool PulseStream::writePeriod() {
    const double rate = options_.sampleRate;
    const double periodSeconds = static_cast<double>(options_.periodFrames) / rate;
    if (needOrigin_) {
        // The server's answer fixes the synthesizer's time line.
        origin_ = nextFrameHeard().value_or(MidiClock::now());
        pulled_ = 0;
        settling_ = 0;
        follower_ = DriftFollower{};
        timeLine_.reset();
        ranDry_ = false;
        sinceJudged_ = 0;
        judged_ = answers_;
        resampler_ = std::make_unique<FrameResampler>(
            [this, rate](std::span<float> l, std::span<float> r) {
                const auto at =
                    origin_ + std::chrono::duration_cast<MidiClock::duration>(
                                  std::chrono::duration<double>(static_cast<double>(pulled_) / rate));
                render_(at, l, r);
                pulled_ += static_cast<std::int64_t>(l.size());
            },
            left_.size());
        needOrigin_ = false;
    }
    resampler_->read(follower_.ratio(), left_, right_);
    for (std::size_t i = 0; i < left_.size(); ++i) {
        interleaved_[Channels * i] = left_[i];
        interleaved_[Channels * i + 1] = right_[i];
    }
    if (pa_stream_write(stream_.get(), interleaved_.data(), interleaved_.size() * sizeof(float), nullptr, 0,
                        PA_SEEK_RELATIVE) < 0) {
        reportOnce("The sound server stopped taking sound", serverError());
        return false;
    }
    // The server's first answers after a start are put right by the next ones, while the library still
    // asks for them often; until then the time line follows them at once.
    const bool settling = settling_ < pulse_stream::SettleTime.count();
    settling_ += periodSeconds;
    sinceJudged_ += periodSeconds;
    // Each answer of the server is judged once; without one the time line stays as it is.
    if (answers_ == judged_) return true;
    const std::optional<MidiClock::time_point> heard = nextFrameHeard();
    if (!heard) return true;
    judged_ = answers_;
    const double shouldBe = resampler_->position() / rate;
    const double is = std::chrono::duration<double>(*heard - origin_).count();
    const double tolerance = (settling ? pulse_stream::SettleTolerance : pulse_stream::RestartAfter).count();
    switch (timeLine_.judge(is - shouldBe, tolerance, settling, ranDry_)) {
    case TimeLineCheck::Verdict::Follow:
        follower_.update(is - shouldBe, sinceJudged_);
        break;
    case TimeLineCheck::Verdict::Restart:
        if (options_.tellTimeLine && !settling)
            std::fprintf(stderr, "The time line moved by %.2f ms.\n", (is - shouldBe) * 1e3);
        // The server started late, lost sound, or (while settling) put its first answer right: no gentle
        // correction makes up for that, so the time line starts again from where the stream really is.
        origin_ +=
            std::chrono::duration_cast<MidiClock::duration>(std::chrono::duration<double>(is - shouldBe));
        follower_ = DriftFollower{};
        ranDry_ = false;
        break;
    case TimeLineCheck::Verdict::PassOver:
        if (options_.tellTimeLine)
            std::fprintf(stderr, "An answer of the sound server %.2f ms off was passed over.\n",
                         (is - shouldBe) * 1e3);
        break;
    }
    sinceJudged_ = 0;
    return true;
}

void PulseStream::reportOnce(const char* what, const std::string& why) {
    if (reported_) return;
    reported_ = true;
    std::fprintf(stderr, "%s: %s.\n", what, why.c_str());
}

void PulseStream::OnContextState(pa_context* context, void* self) {
    auto* s = static_cast<PulseStream*>(self);
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) {
        // Once the stream played, this is the server going away; before, opening says why.
        if (s->connected_)
            s->reportOnce("The sound server stopped taking sound", pa_strerror(pa_context_errno(context)));
        s->failed_ = true;
    }
    pa_threaded_mainloop_signal(s->loop_.get(), 0);
}

void PulseStream::OnStreamState(pa_stream* stream, void* self) {
    auto* s = static_cast<PulseStream*>(self);
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
        if (s->connected_ && PA_CONTEXT_IS_GOOD(pa_context_get_state(s->context_.get())))
            s->reportOnce("The sound server dropped the stream", s->serverError());
        s->failed_ = true;
    }
    pa_threaded_mainloop_signal(s->loop_.get(), 0);
}

void PulseStream::OnWritable(pa_stream* /*stream*/, std::size_t /*bytes*/, void* self) {
    static_cast<PulseStream*>(self)->fill();
}

void PulseStream::OnUnderflow(pa_stream* /*stream*/, void* self) {
    // The server ran dry: the next performance gets a longer queue. This one keeps its delay, and the time
    // line moves past the gap, so that what follows it keeps its place in the beat.
    auto* s = static_cast<PulseStream*>(self);
    s->underflows_.fetch_add(1, std::memory_order_relaxed);
    s->lowestQueue_ = MidiClock::duration::zero();
    s->ranDry_ = true;
    if (s->options_.tellTimeLine) std::fprintf(stderr, "The sound server ran dry.\n");
}

void PulseStream::OnLatencyUpdate(pa_stream* /*stream*/, void* self) {
    ++static_cast<PulseStream*>(self)->answers_;
}

void PulseStream::OnFirstTiming(pa_stream* /*stream*/, int /*success*/, void* self) {
    // Without an answer the time line is taken from what the library knows; a wrong one is put right by
    // the first periods written.
    auto* s = static_cast<PulseStream*>(self);
    s->awaitingTiming_ = false;
    s->fill();
}

} // namespace orbel
