#pragma once
// How well a played line matched the melody, repetition by repetition: the same arithmetic for the trainer,
// which hears the notes as they are played, and for the companion, which reads them from a file.
//
// All times are milliseconds from time zero, the first beat after the count-in. A played note is right when
// its key matches a melody note's (or, with anyOctave, its pitch class) and its onset lies within windowMs of
// that note's; a melody note with another note played within its window is wrong; one with nothing is
// missed. Played notes left over are extra. Only onsets count: a key held across the end of a repetition is
// one note.
//
// A repetition is scored once it has ended and its window has passed: played notes up to windowMs before
// the next repetition's start may still be its early first note, so they belong to the next one.

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace orbel {

namespace score_defaults {
static constexpr double WindowMs = 60.0;
static constexpr double ShortestWindowMs = 10.0;
static constexpr double LongestWindowMs = 250.0;
} // namespace score_defaults

struct ScoreOptions {
    double windowMs = score_defaults::WindowMs;
    bool anyOctave = false;
};

// A played key counts for a melody key: the same, or with anyOctave the same pitch class.
bool SameKey(int played, int melody, bool anyOctave);

struct RepetitionScore {
    int right = 0;
    int total = 0; // melody notes: right + wrong + missed
    int missed = 0;
    int extra = 0;
    int wrong = 0;
    double meanOffsetMs = 0.0; // over the right notes; positive = late
    double startMs = 0.0;      // of the repetition
    int tempo = 0;             // it was played at, when known

    // Right notes as a share of the melody's, 0..1 (1 for a repetition without melody notes).
    double accuracy() const { return total > 0 ? static_cast<double>(right) / total : 1.0; }
};

struct NoteOnset {
    int key = 0;
    double ms = 0.0;
};

class ScoreKeeper {
public:
    explicit ScoreKeeper(ScoreOptions options = {}) : options_(options) {}

    // What the melody asks for, as the performance goes.
    void beginRepetition(double startMs, int tempo = 0);
    void expect(int key, double ms);
    void endRepetition(double endMs);
    // A key the player struck.
    void play(int key, double ms);

    // The oldest repetition that has ended and is not yet scored, once nowMs is past its window; without
    // nowMs, whenever it has ended (every note is known).
    std::optional<RepetitionScore> scoreNext(std::optional<double> nowMs = std::nullopt);

    const ScoreOptions& options() const { return options_; }

private:
    struct Repetition {
        double startMs = 0.0;
        std::optional<double> endMs;
        int tempo = 0;
        std::vector<NoteOnset> melody;
    };
    struct Played {
        NoteOnset note;
        bool used = false;
    };

    // The unused played note within the window of target nearest to it, of the same key or of any.
    std::optional<std::size_t> nearest(const NoteOnset& target, bool sameKeyOnly) const;

    ScoreOptions options_;
    std::deque<Repetition> repetitions_; // not yet scored
    std::deque<Played> played_;          // sorted by onset; notes before the scored ones are dropped
};

// Every repetition of a performance known in full: the melody's onsets grouped by repetition (starts and
// ends in order), the played onsets in any order.
struct MelodyRepetition {
    double startMs = 0.0;
    double endMs = 0.0;
    int tempo = 0;
    std::vector<NoteOnset> notes;
};
std::vector<RepetitionScore> ScorePerformance(const std::vector<MelodyRepetition>& melody,
                                              std::vector<NoteOnset> played, const ScoreOptions& options);

} // namespace orbel
