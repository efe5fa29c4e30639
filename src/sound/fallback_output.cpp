#include "sound/fallback_output.h"

#include <string_view>

namespace orbel {

namespace {

// The outputs' own errors are whole sentences; inside the notice they become a parenthesis.
std::string AsReason(std::string text) {
    static constexpr std::string_view FullStop = "。";
    while (text.size() >= FullStop.size() &&
           text.compare(text.size() - FullStop.size(), FullStop.size(), FullStop) == 0)
        text.resize(text.size() - FullStop.size());
    return text;
}

} // namespace

FallbackOutput::FallbackOutput(std::unique_ptr<MidiOutput> preferred, std::string preferredName,
                               std::unique_ptr<MidiOutput> fallback, std::string fallbackName)
    : preferred_(std::move(preferred)), preferredName_(std::move(preferredName)),
      fallback_(std::move(fallback)), fallbackName_(std::move(fallbackName)) {}

bool FallbackOutput::open(std::string& error) {
    close();
    std::string preferredError;
    if (preferred_->open(preferredError)) {
        active_ = preferred_.get();
        notice_ = preferred_->openNotice();
        return true;
    }
    std::string fallbackError;
    if (!fallback_->open(fallbackError)) {
        error = preferredError + "\n" + fallbackError;
        return false;
    }
    active_ = fallback_.get();
    notice_ = preferredName_ + "を開けないため（" + AsReason(preferredError) + "）、" + fallbackName_ +
              "で演奏します。";
    return true;
}

void FallbackOutput::send(ShortMessage message) {
    if (active_ != nullptr) active_->send(message);
}

void FallbackOutput::sendAt(ShortMessage message, MidiClock::time_point due) {
    if (active_ != nullptr) active_->sendAt(message, due);
}

void FallbackOutput::cancelScheduled() {
    if (active_ != nullptr) active_->cancelScheduled();
}

std::chrono::microseconds FallbackOutput::outputDelay() const {
    return active_ != nullptr ? active_->outputDelay() : std::chrono::microseconds{};
}

void FallbackOutput::wake() {
    if (active_ != nullptr) active_->wake();
}

void FallbackOutput::reset() {
    if (active_ != nullptr) active_->reset();
}

void FallbackOutput::close() {
    if (active_ != nullptr) active_->close();
    active_ = nullptr;
    notice_.clear();
}

bool FallbackOutput::isOpen() const {
    return active_ != nullptr && active_->isOpen();
}

std::string FallbackOutput::openNotice() const {
    return notice_;
}

} // namespace orbel
