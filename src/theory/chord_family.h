#pragma once
// What a chord symbol is for the harmony: its family (what it can do in a cadence and which scales fit it)
// and its guide tones. The quality is read in our spelling (ChordSymbol::quality); the bass of a slash chord
// plays no part.

#include "theory/tune.h"

#include <cstdint>
#include <string_view>

namespace orbel {

enum class ChordFamily : std::uint8_t {
    None,           // N.C.
    Major,          // "", "6", "69", "M7", "M9", "M7#11", "add9", "5": a major tonic
    Minor,          // "m", "m6", "m69", "mM7", "madd9": a minor tonic
    MinorSeventh,   // "m7", "m9", "m11", "m13": a II, or a minor tonic
    HalfDiminished, // "m7b5", "m9b5": the II of a minor key
    Dominant,       // "7", "9", "13", "7b9", "7alt", "7#5", "7sus4", …: a V
    Diminished,     // "dim", "dim7"
    Augmented,      // "aug", "M7#5"
    Suspended,      // "sus4", "sus2", "4": no third and no seventh
    Other,          // what none of these names ("(b5)")
};

ChordFamily FamilyOf(std::string_view quality);
// Whether the quality names part anywhere ("7b9#11" has "b9").
bool QualityHas(std::string_view quality, std::string_view part);
ChordFamily FamilyOf(const ChordSymbol& chord);

// The families a cadence may resolve to. A dominant seventh is never one: that would make every chain of
// dominants a cadence, so a II–V into a blues I7 counts as unresolved.
constexpr bool IsMajorTonic(ChordFamily f) {
    return f == ChordFamily::Major;
}
constexpr bool IsMinorTonic(ChordFamily f) {
    return f == ChordFamily::Minor || f == ChordFamily::MinorSeventh;
}

// The third and the seventh of a chord as pitch classes, the tones that say what it is. A sus chord's fourth
// stands for its third and a sixth chord's sixth for its seventh; −1 where the chord has neither (a triad's
// seventh, N.C.). ChordVoicing is no help here: it voices the accompaniment's nearest rule ("7alt" as an
// augmented major seventh, "m6" as "m7").
struct GuideTones {
    int third = -1;
    int seventh = -1;
    friend bool operator==(const GuideTones&, const GuideTones&) = default;
};
GuideTones GuideTonesOf(const ChordSymbol& chord);

} // namespace orbel
