#pragma once
// The check of what the user plays on a MIDI keyboard while the play button repeats an item: the player
// says which melody notes it asks for and when, the keyboard what was struck and when, and the window
// takes each repetition's score once the repetition and its window have passed. Thread-safe: the three
// speak from their own threads.
//
// Time zero is the first beat after the count-in. The melody is expected when it is heard, the output's
// delay after the player sent it; keys are taken when they arrive.
// Thread: the player's, the keyboard's and the window's threads, each its own part.

#include "sound/practice_listener.h"
#include "theory/performance_score.h"

#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace orbel {

class LiveCheck final : public PracticeListener {
public:
    using Clock = std::function<MidiClock::time_point()>;
    using Delay = std::function<std::chrono::microseconds()>;

    LiveCheck(Clock now, Delay outputDelay);

    // Window's thread, between performances.
    void setOptions(const ScoreOptions& options, bool muteMelody);
    // Any thread: a check that is off ignores everything and mutes nothing (a keyboard that went away
    // stops the check in the middle of a performance, which goes on).
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }

    // Player's thread.
    void performanceBegins() override;
    void repetitionBegins(MidiClock::time_point at, int tempo) override;
    void melodyNote(int key, MidiClock::time_point due) override;
    void repetitionEnds(MidiClock::time_point at) override;
    bool muteMelody() const override { return enabled_ && mute_; }

    // Input's thread: a key struck; true when it is a melody note due about now (for the keyboard's
    // colour: the score itself waits for the whole repetition).
    bool play(int key, MidiClock::time_point at);

    // Window's thread: the scores of the repetitions whose window has passed, oldest first.
    std::vector<RepetitionScore> takeScores();

private:
    double msOf(MidiClock::time_point at) const; // from time zero; needs zero_
    void forgetOldMelody(double nowMs);

    Clock now_;
    Delay outputDelay_;
    std::atomic<bool> mute_ = false;
    std::atomic<bool> enabled_ = true;
    mutable std::mutex mutex_;
    ScoreOptions options_;
    ScoreKeeper keeper_;
    std::optional<MidiClock::time_point> zero_;
    // Keys struck before time zero is known (in the count-in), kept until it is.
    std::vector<std::pair<int, MidiClock::time_point>> early_;
    // The melody notes of the last moments, for the keyboard's colour.
    std::deque<NoteOnset> recent_;
};

} // namespace orbel
