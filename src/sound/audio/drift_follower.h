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
// Smoothing of the measured error, per period: the server's latency wobbles by a few hundred microseconds.
static constexpr double ErrorSmoothing = 0.02;
// Ratio change per second of smoothed error (proportional), and per second of error per second (integral).
static constexpr double Proportional = 0.5;
static constexpr double Integral = 0.05;
// The ratio never leaves 1 ± this: a server that is further off is not a clock to follow.
static constexpr double MaxDeviation = 0.005;
} // namespace drift

class DriftFollower {
public:
    // errorSeconds: when the next frame will be heard minus when it should be (positive: late). period:
    // the seconds of sound between two reports. Returns the ratio of synthesizer frames to stream frames.
    double update(double errorSeconds, double periodSeconds);
    double ratio() const { return ratio_; }
    double smoothedError() const { return smoothed_; }

private:
    bool started_ = false;
    double smoothed_ = 0;
    double integral_ = 0;
    double ratio_ = 1;
};

// Whether a report of when the stream is heard moves the whole time line. On a busy machine the server now
// and then answers a period or more off, for one report; a stream that really started late or lost sound
// stays off. So once the stream has settled, an error too large to follow restarts the time line only when
// the next report is out of line as well (from where that one says), and a single stray one is passed
// over: a click is never moved by one wrong answer.
class TimeLineCheck {
public:
    enum class Verdict { Follow, Restart, PassOver };
    // errorSeconds as for DriftFollower; toleranceSeconds: the largest error that is a drift to follow;
    // settling: the stream's first moments, when a large error is taken at once.
    Verdict judge(double errorSeconds, double toleranceSeconds, bool settling);
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
