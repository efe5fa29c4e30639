#include "theory/note_value.h"

#include <algorithm>
#include <array>
#include <span>

namespace orbel {

namespace {

constexpr int Q = ticks::Quarter;
constexpr int WholeBarRestUnits = 10; // as much room as a whole note
constexpr int ThreeFour = 3;

// clang-format off
// ticks, kind, dots, triplet, units as a note, as a rest; longest first.
constexpr std::array<NoteValue, 10> Plain{{
    {4 * Q,     NoteKind::Whole,        0, false, 10, 10},
    {3 * Q,     NoteKind::Half,         1, false,  7,  7},
    {2 * Q,     NoteKind::Half,         0, false,  7,  7},
    {3 * Q / 2, NoteKind::Quarter,      1, false,  5,  4},
    {Q,         NoteKind::Quarter,      0, false,  5,  4},
    {3 * Q / 4, NoteKind::Eighth,       1, false,  4,  3},
    {Q / 2,     NoteKind::Eighth,       0, false,  4,  3},
    {3 * Q / 8, NoteKind::Sixteenth,    1, false,  3,  3},
    {Q / 4,     NoteKind::Sixteenth,    0, false,  3,  3},
    {Q / 8,     NoteKind::ThirtySecond, 0, false,  2,  2},
}};
constexpr std::array<NoteValue, 4> Triplets{{
    {2 * Q / 3,  NoteKind::Quarter,      0, true, 4, 4},
    {Q / 3,      NoteKind::Eighth,       0, true, 3, 3},
    {Q / 6,      NoteKind::Sixteenth,    0, true, 3, 3},
    {Q / 12,     NoteKind::ThirtySecond, 0, true, 2, 2},
}};
// clang-format on

std::optional<NoteValue> Find(std::span<const NoteValue> values, int ticks) {
    const auto found =
        std::find_if(values.begin(), values.end(), [ticks](const NoteValue& v) { return v.ticks == ticks; });
    if (found == values.end()) return std::nullopt;
    return *found;
}

} // namespace

std::optional<NoteValue> NoteValueOf(int ticks) {
    if (auto plain = Find(Plain, ticks)) return plain;
    return Find(Triplets, ticks);
}

std::vector<NoteValue> SplitIntoPlainValues(int ticks) {
    std::vector<NoteValue> parts;
    for (const NoteValue& v : Plain) {
        for (; ticks >= v.ticks; ticks -= v.ticks)
            parts.push_back(v);
    }
    return parts;
}

int FlagsOf(NoteKind kind) {
    switch (kind) {
    case NoteKind::Eighth:
        return 1;
    case NoteKind::Sixteenth:
        return 2;
    case NoteKind::ThirtySecond:
        return 3;
    default:
        return 0;
    }
}

bool IsWholeBarRest(int ticks, bool rest, int beatsPerBar) {
    return rest && beatsPerBar == ThreeFour && ticks == ThreeFour * Q;
}

int NoteWidthUnits(int ticks, bool rest, int beatsPerBar) {
    if (IsWholeBarRest(ticks, rest, beatsPerBar)) return WholeBarRestUnits;
    const std::optional<NoteValue> v = NoteValueOf(ticks);
    if (!v) return 0;
    return rest ? v->restUnits : v->noteUnits;
}

} // namespace orbel
