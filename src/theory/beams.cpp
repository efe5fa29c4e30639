#include "theory/beams.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace orbel {

namespace {

static constexpr int Looked = 4; // notes read at each place: the longest group

enum class Condition {
    NoRest,            // none of its notes is a rest
    NoRestInFourBeats, // and the bar has four beats, so that 48 ticks are half a bar
    SomeRest,          // at least one of its notes is a rest
};

// A group the staff knows how to draw: its notes' durations, the boundary (in ticks from the start) it must
// begin on, the SeqBeam code of each note (see beam_code), and how far the position moves past it.
struct BeamRule {
    int size;
    std::array<int, Looked> durations;
    int boundary;
    Condition condition;
    std::array<int, Looked> codes;
    int ticks;
};

// Tried in this order; the first rule that fits a place wins.
//
// The last rule beams two thirty-seconds that start on a sixteenth boundary: the pair that shares a sixteenth
// with a sixteenth note (6, 3, 3 or 3, 3, 6). Four thirty-seconds on an eighth boundary have been taken by
// the rule before; a rest breaks the pair as it breaks every other beam.
// clang-format off
static constexpr std::array<BeamRule, 14> Rules{{
    {4, {12, 12, 12, 12}, 48, Condition::NoRestInFourBeats, {1, 2, 2, 3},         48},
    {2, {12, 12},         24, Condition::NoRest,            {1, 3},               24},
    {4, {6, 6, 6, 6},     24, Condition::NoRest,            {11, 12, 12, 13},     24},
    {3, {6, 6, 12},       24, Condition::NoRest,            {11, 12, 3},          24},
    {3, {12, 6, 6},       24, Condition::NoRest,            {1, 12, 13},          24},
    {3, {6, 12, 6},       24, Condition::NoRest,            {11, 2, 13},          24},
    {3, {16, 16, 16},     24, Condition::NoRest,            {301, 302, 303},      48},
    {3, {8, 8, 8},        24, Condition::NoRest,            {311, 312, 313},      24},
    {3, {8, 8, 8},        24, Condition::SomeRest,          {401, 402, 403},      24},
    {3, {4, 4, 4},        12, Condition::NoRest,            {321, 322, 323},      12},
    {2, {6, 6},           12, Condition::NoRest,            {11, 13},             12},
    {4, {3, 3, 3, 3},     12, Condition::NoRest,            {21, 22, 22, 23},     12},
    {3, {2, 2, 2},         6, Condition::NoRest,            {331, 332, 333},       6},
    {2, {3, 3},            6, Condition::NoRest,            {21, 23},              6},
}};
// clang-format on

struct Window {
    std::array<int, Looked> durations{};
    std::array<int, Looked> rests{};
};

// Durations and rest flags of notes i..i+3; notes beyond the sequence read as 0 and fit no rule.
Window LookAt(const PlaySequence& seq, int i, int count) {
    Window window;
    for (int k = 0; k < Looked && i + k < count; ++k) {
        const auto at = static_cast<std::size_t>(i + k);
        window.durations[static_cast<std::size_t>(k)] = seq.SeqDur[at];
        window.rests[static_cast<std::size_t>(k)] = seq.SeqRest[at];
    }
    return window;
}

bool Fits(const BeamRule& rule, const Window& window, int pos, int beatsPerBar) {
    if (pos % rule.boundary != 0) return false;
    if (rule.condition == Condition::NoRestInFourBeats && beatsPerBar != 4) return false;
    int rests = 0;
    for (int k = 0; k < rule.size; ++k) {
        const auto at = static_cast<std::size_t>(k);
        if (window.durations[at] != rule.durations[at]) return false;
        if (window.rests[at] != 0) ++rests;
    }
    return rule.condition == Condition::SomeRest ? rests > 0 : rests == 0;
}

} // namespace

void ComputeBeams(PlaySequence& seq) {
    const int count = std::min<int>(seq.SeqCount, sequence_limits::Notes);
    std::fill_n(seq.SeqBeam.begin(), std::max(count, 0), static_cast<std::int16_t>(beam_code::None));

    int pos = 0;
    int i = 0;
    while (i < count) {
        const Window window = LookAt(seq, i, count);
        const auto rule = std::find_if(Rules.begin(), Rules.end(), [&](const BeamRule& candidate) {
            return Fits(candidate, window, pos, seq.BeatsPerBar);
        });
        if (rule == Rules.end()) {
            pos += window.durations[0];
            ++i;
            continue;
        }
        for (int k = 0; k < rule->size; ++k) {
            seq.SeqBeam[static_cast<std::size_t>(i + k)] =
                static_cast<std::int16_t>(rule->codes[static_cast<std::size_t>(k)]);
        }
        pos += rule->ticks;
        i += rule->size;
    }
}

} // namespace orbel
