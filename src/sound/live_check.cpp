#include "sound/live_check.h"

#include <cmath>

namespace orbel {

namespace {

// Melody notes older than this no longer colour a key.
constexpr double RecentMs = 2000.0;

double Ms(MidiClock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

LiveCheck::LiveCheck(Clock now, Delay outputDelay)
    : now_(std::move(now)), outputDelay_(std::move(outputDelay)) {}

void LiveCheck::setOptions(const ScoreOptions& options, bool muteMelody) {
    const std::lock_guard lock(mutex_);
    options_ = options;
    mute_ = muteMelody;
}

void LiveCheck::performanceBegins() {
    const std::lock_guard lock(mutex_);
    keeper_ = ScoreKeeper(options_);
    zero_.reset();
    early_.clear();
    recent_.clear();
}

double LiveCheck::msOf(MidiClock::time_point at) const {
    return Ms(at - *zero_);
}

void LiveCheck::repetitionBegins(MidiClock::time_point at, int tempo) {
    if (!enabled_) return;
    const auto heard = at + (outputDelay_ ? outputDelay_() : std::chrono::microseconds::zero());
    const std::lock_guard lock(mutex_);
    if (!zero_) {
        zero_ = heard;
        for (const auto& [key, when] : early_)
            keeper_.play(key, msOf(when));
        early_.clear();
    }
    keeper_.beginRepetition(msOf(heard), tempo);
}

void LiveCheck::melodyNote(int key, MidiClock::time_point due) {
    if (!enabled_) return;
    const auto heard = due + (outputDelay_ ? outputDelay_() : std::chrono::microseconds::zero());
    const std::lock_guard lock(mutex_);
    if (!zero_) return;
    const double ms = msOf(heard);
    keeper_.expect(key, ms);
    recent_.push_back({key, ms});
    forgetOldMelody(ms);
}

void LiveCheck::repetitionEnds(MidiClock::time_point at) {
    if (!enabled_) return;
    const auto heard = at + (outputDelay_ ? outputDelay_() : std::chrono::microseconds::zero());
    const std::lock_guard lock(mutex_);
    if (zero_) keeper_.endRepetition(msOf(heard));
}

void LiveCheck::forgetOldMelody(double nowMs) {
    while (!recent_.empty() && recent_.front().ms < nowMs - RecentMs)
        recent_.pop_front();
}

bool LiveCheck::play(int key, MidiClock::time_point at) {
    if (!enabled_) return false;
    const std::lock_guard lock(mutex_);
    if (!zero_) {
        early_.emplace_back(key, at);
        return false;
    }
    const double ms = msOf(at);
    keeper_.play(key, ms);
    for (const NoteOnset& note : recent_) {
        if (SameKey(key, note.key, options_.anyOctave) && std::abs(note.ms - ms) <= options_.windowMs)
            return true;
    }
    return false;
}

std::vector<RepetitionScore> LiveCheck::takeScores() {
    const MidiClock::time_point now = now_();
    const std::lock_guard lock(mutex_);
    std::vector<RepetitionScore> scores;
    if (!enabled_ || !zero_) return scores;
    while (const auto score = keeper_.scoreNext(msOf(now)))
        scores.push_back(*score);
    return scores;
}

} // namespace orbel
