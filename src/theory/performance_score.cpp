#include "theory/performance_score.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace orbel {

namespace {

constexpr int KeysPerOctave = 12;

bool EarlierOnset(const NoteOnset& a, const NoteOnset& b) {
    return a.ms < b.ms;
}

} // namespace

void ScoreKeeper::beginRepetition(double startMs, int tempo) {
    Repetition repetition;
    repetition.startMs = startMs;
    repetition.tempo = tempo;
    repetitions_.push_back(std::move(repetition));
}

void ScoreKeeper::expect(int key, double ms) {
    if (repetitions_.empty() || repetitions_.back().endMs) return;
    repetitions_.back().melody.push_back({key, ms});
}

void ScoreKeeper::endRepetition(double endMs) {
    if (!repetitions_.empty() && !repetitions_.back().endMs) repetitions_.back().endMs = endMs;
}

void ScoreKeeper::play(int key, double ms) {
    // Notes arrive in order as a rule; one from a slower path still finds its place.
    const auto at = std::upper_bound(played_.begin(), played_.end(), ms,
                                     [](double t, const Played& p) { return t < p.note.ms; });
    played_.insert(at, Played{{key, ms}, false});
}

bool SameKey(int played, int melody, bool anyOctave) {
    if (!anyOctave) return played == melody;
    return ((played - melody) % KeysPerOctave + KeysPerOctave) % KeysPerOctave == 0;
}

std::optional<std::size_t> ScoreKeeper::nearest(const NoteOnset& target, bool sameKeyOnly) const {
    const double window = options_.windowMs;
    auto it = std::lower_bound(played_.begin(), played_.end(), target.ms - window,
                               [](const Played& p, double t) { return p.note.ms < t; });
    std::optional<std::size_t> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (; it != played_.end() && it->note.ms <= target.ms + window; ++it) {
        if (it->used || (sameKeyOnly && !SameKey(it->note.key, target.key, options_.anyOctave))) continue;
        const double distance = std::abs(it->note.ms - target.ms);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::size_t>(it - played_.begin());
        }
    }
    return best;
}

std::optional<RepetitionScore> ScoreKeeper::scoreNext(std::optional<double> nowMs) {
    if (repetitions_.empty() || !repetitions_.front().endMs) return std::nullopt;
    Repetition& repetition = repetitions_.front();
    const double window = options_.windowMs;
    const double endMs = *repetition.endMs;
    if (nowMs && *nowMs < endMs + window) return std::nullopt;

    RepetitionScore score;
    score.startMs = repetition.startMs;
    score.tempo = repetition.tempo;
    std::vector<NoteOnset> melody = std::move(repetition.melody);
    std::stable_sort(melody.begin(), melody.end(), EarlierOnset);
    score.total = static_cast<int>(melody.size());

    // Right notes first, so that a wrong note nearby cannot take a right one's place.
    std::vector<bool> settled(melody.size(), false);
    double offsetSum = 0.0;
    for (std::size_t i = 0; i < melody.size(); ++i) {
        if (const auto match = nearest(melody[i], true)) {
            played_[*match].used = true;
            settled[i] = true;
            ++score.right;
            offsetSum += played_[*match].note.ms - melody[i].ms;
        }
    }
    for (std::size_t i = 0; i < melody.size(); ++i) {
        if (settled[i]) continue;
        if (const auto other = nearest(melody[i], false)) {
            played_[*other].used = true;
            ++score.wrong;
        } else {
            ++score.missed;
        }
    }
    if (score.right > 0) score.meanOffsetMs = offsetSum / score.right;

    // Whatever is left before the next repetition's window belongs to this one: extra notes.
    repetitions_.pop_front();
    const double spanEnd = repetitions_.empty() ? endMs + window : endMs - window;
    while (!played_.empty() && played_.front().note.ms < spanEnd) {
        if (!played_.front().used) ++score.extra;
        played_.pop_front();
    }
    return score;
}

std::vector<RepetitionScore> ScorePerformance(const std::vector<MelodyRepetition>& melody,
                                              std::vector<NoteOnset> played, const ScoreOptions& options) {
    std::stable_sort(played.begin(), played.end(), EarlierOnset);
    ScoreKeeper keeper(options);
    for (const NoteOnset& note : played)
        keeper.play(note.key, note.ms);
    for (const MelodyRepetition& repetition : melody) {
        keeper.beginRepetition(repetition.startMs, repetition.tempo);
        for (const NoteOnset& note : repetition.notes)
            keeper.expect(note.key, note.ms);
        keeper.endRepetition(repetition.endMs);
    }
    std::vector<RepetitionScore> scores;
    while (const auto score = keeper.scoreNext())
        scores.push_back(*score);
    return scores;
}

} // namespace orbel
