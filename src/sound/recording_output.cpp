#include "sound/recording_output.h"

#include <algorithm>
#include <chrono>

namespace orbel {

namespace {

RecordingOutput::Clock SteadyClockFromNow() {
    const auto start = std::chrono::steady_clock::now();
    return [start] {
        return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start)
            .count();
    };
}

} // namespace

RecordingOutput::RecordingOutput() : clock_(SteadyClockFromNow()) {}

RecordingOutput::RecordingOutput(Clock clock) : clock_(clock ? std::move(clock) : SteadyClockFromNow()) {}

bool RecordingOutput::open(std::string& error) {
    if (refuseOpen_) {
        open_ = false;
        error = "The recorder was told to refuse opening.";
        return false;
    }
    open_ = true;
    ++openCount_;
    return true;
}

void RecordingOutput::send(ShortMessage message) {
    if (open_) records_.push_back({clock_(), message, std::nullopt});
}

void RecordingOutput::sendAt(ShortMessage message, MidiClock::time_point due) {
    if (open_)
        records_.push_back(
            {clock_(), message,
             std::chrono::duration_cast<std::chrono::microseconds>(due.time_since_epoch()).count()});
}

void RecordingOutput::cancelScheduled() {
    if (delay_ <= std::chrono::microseconds::zero()) return;
    const std::int64_t nowMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(MidiClock::now().time_since_epoch()).count();
    std::erase_if(records_, [&](const Record& r) {
        return r.dueMicros.has_value() && *r.dueMicros + delay_.count() > nowMicros;
    });
}

void RecordingOutput::reset() {
    if (open_) ++resetCount_;
}

void RecordingOutput::close() {
    if (open_) ++closeCount_;
    open_ = false;
}

std::vector<ShortMessage> RecordingOutput::messages() const {
    std::vector<ShortMessage> result;
    result.reserve(records_.size());
    for (const Record& r : records_)
        result.push_back(r.message);
    return result;
}

} // namespace orbel
