#include "sound/audio/drift_follower.h"

#include <algorithm>
#include <cmath>

namespace orbel {

TimeLineCheck::Verdict TimeLineCheck::judge(double errorSeconds, double toleranceSeconds, bool settling,
                                            bool ranDry) {
    if (std::abs(errorSeconds) <= toleranceSeconds) {
        outOfLine_ = false;
        return Verdict::Follow;
    }
    if (settling || (ranDry && outOfLine_)) {
        outOfLine_ = false;
        return Verdict::Restart;
    }
    outOfLine_ = true;
    return Verdict::PassOver;
}

double DriftFollower::update(double errorSeconds, double periodSeconds) {
    if (!started_) {
        smoothed_ = errorSeconds;
        started_ = true;
    } else {
        smoothed_ +=
            (1 - std::exp(-periodSeconds / drift::ErrorSmoothingSeconds)) * (errorSeconds - smoothed_);
    }
    integral_ = std::clamp(integral_ + drift::Integral * smoothed_ * periodSeconds, -drift::MaxDeviation,
                           drift::MaxDeviation);
    ratio_ = 1 + std::clamp(drift::Proportional * smoothed_ + integral_, -drift::MaxDeviation,
                            drift::MaxDeviation);
    return ratio_;
}

FrameResampler::FrameResampler(Pull pull, std::size_t pullFrames)
    : pull_(std::move(pull)), pullFrames_(pullFrames) {}

void FrameResampler::pullMore() {
    const std::size_t old = left_.size();
    left_.resize(old + pullFrames_);
    right_.resize(old + pullFrames_);
    pull_(std::span<float>(left_).subspan(old), std::span<float>(right_).subspan(old));
}

void FrameResampler::read(double ratio, std::span<float> left, std::span<float> right) {
    const std::size_t frames = std::min(left.size(), right.size());
    for (std::size_t i = 0; i < frames; ++i) {
        // Two neighbouring source frames around the position.
        while (offset_ + 1 >= static_cast<double>(left_.size()))
            pullMore();
        const auto at = static_cast<std::size_t>(offset_);
        const auto fraction = static_cast<float>(offset_ - static_cast<double>(at));
        left[i] = left_[at] + fraction * (left_[at + 1] - left_[at]);
        right[i] = right_[at] + fraction * (right_[at + 1] - right_[at]);
        offset_ += ratio;
    }
    // Frames behind the position are done with.
    const auto done = static_cast<std::size_t>(offset_);
    if (done > 0) {
        left_.erase(left_.begin(), left_.begin() + static_cast<std::ptrdiff_t>(done));
        right_.erase(right_.begin(), right_.begin() + static_cast<std::ptrdiff_t>(done));
        offset_ -= static_cast<double>(done);
        consumed_ += static_cast<double>(done);
    }
}

} // namespace orbel
