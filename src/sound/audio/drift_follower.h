#pragma once
// Keeps the synthesizer's own time in step with when the sound server really plays. The synthesizer renders
// at its nominal rate on a time line fixed at the start of the stream (so that notes due a whole number of
// blocks apart stay exactly that far apart); the server's clock runs a little fast or slow against the
// system's (a few hundred parts per million, seen on a null sink), and its latency reports are noisy. The
// follower compares when the next frame will be heard with when it should be heard, smooths that error,
// and turns it into a playback ratio close to 1; the resampler then reads the synthesizer's frames at that
// ratio. A drift is thus taken out a few microseconds at a time instead of in jumps of a whole block.
// Thread: the sound server's client thread (the audio callback).

#include <cstddef>
#include <functional>
#include <span>
#include <vector>

namespace orbel {

namespace drift {
// The measured error is smoothed over about this long: the server's answers wobble by a few hundred
// microseconds, and on a busy machine by a millisecond or two, while a clock's drift is slow.
static constexpr double ErrorSmoothingSeconds = 2.0;
// Ratio change per second of smoothed error (proportional), and per second of error per second (integral).
static constexpr double Proportional = 0.2;
static constexpr double Integral = 0.05;
// The ratio never leaves 1 ± this. A sound card's clock is off by a few hundred parts per million at most;
// the client library's interpolated latency on a busy machine can run off by almost one per cent for a
// second or two and then jump back, and following that would stretch a 192 ms beat by a millisecond.
static constexpr double MaxDeviation = 0.001;
} // namespace drift

class DriftFollower {
public:
    // errorSeconds: when the next frame will be heard minus when it should be (positive: late). period:
    // the seconds of sound since the last report. Returns the ratio of synthesizer frames to stream frames.
    double update(double errorSeconds, double periodSeconds);
    double ratio() const { return ratio_; }
    double smoothedError() const { return smoothed_; }

private:
    bool started_ = false;
    double smoothed_ = 0;
    double integral_ = 0;
    double ratio_ = 1;
};

// Whether a report of when the stream is heard moves the whole time line. Frames written to a stream that
// plays on are heard back to back, whatever its reports say: on a busy machine they now and then run off by
// ten milliseconds and more. Only a stream that ran dry (the server says so) is really late from then on.
// So once the stream has settled, an error too large to follow restarts the time line only after the
// server said it ran dry, and only when the next report is out of line as well (from where that one says);
// anything else is passed over: a click is never moved by a wrong answer.
class TimeLineCheck {
public:
    enum class Verdict { Follow, Restart, PassOver };
    // errorSeconds as for DriftFollower; toleranceSeconds: the largest error that is a drift to follow;
    // settling: the stream's first moments, when a large error is taken at once; ranDry: the server said
    // the stream ran dry since the time line was set.
    Verdict judge(double errorSeconds, double toleranceSeconds, bool settling, bool ranDry);
    void reset() { outOfLine_ = false; }

private:
    bool outOfLine_ = false;
};

// Reads a stream of stereo frames at a fractional rate, by linear interpolation. The source is pulled
// whenever more frames are needed.
class FrameResampler {
public:
    using Pull = std::function<void(std::span<float> left, std::span<float> right)>;
    // pullFrames: how many source frames are pulled at a time.
    FrameResampler(Pull pull, std::size_t pullFrames);

    // Fills both outputs, advancing the source by `ratio` frames per output frame.
    void read(double ratio, std::span<float> left, std::span<float> right);
    // The source frame (with fraction) that the next output frame starts at, counted from the first pulled.
    double position() const { return consumed_ + offset_; }

private:
    void pullMore();

    Pull pull_;
    std::size_t pullFrames_;
    std::vector<float> left_;
    std::vector<float> right_;
    double offset_ = 0;   // into the kept frames
    double consumed_ = 0; // source frames dropped from the front
};

} // namespace orbel
