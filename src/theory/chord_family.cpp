#include "theory/chord_family.h"

#include "theory/note_names.h"

namespace orbel {

namespace {

// Semitones above the root.
static constexpr int MinorThird = 3;
static constexpr int MajorThird = 4;
static constexpr int Second = 2;
static constexpr int Fourth = 5;
static constexpr int Sixth = 9;
static constexpr int MinorSeventh = 10;
static constexpr int MajorSeventh = 11;

bool StartsWithAny(std::string_view text, std::initializer_list<std::string_view> heads) {
    for (const std::string_view head : heads) {
        if (text.starts_with(head)) return true;
    }
    return false;
}

int ThirdOf(ChordFamily family, std::string_view quality) {
    if (QualityHas(quality, "sus2")) return Second;
    if (QualityHas(quality, "sus") || family == ChordFamily::Suspended) return Fourth;
    switch (family) {
    case ChordFamily::None:
        return -1;
    case ChordFamily::Minor:
    case ChordFamily::MinorSeventh:
    case ChordFamily::HalfDiminished:
    case ChordFamily::Diminished:
        return MinorThird;
    default:
        return MajorThird;
    }
}

int SeventhOf(ChordFamily family, std::string_view quality) {
    switch (family) {
    case ChordFamily::Dominant:
    case ChordFamily::MinorSeventh:
    case ChordFamily::HalfDiminished:
        return MinorSeventh;
    case ChordFamily::Major:
    case ChordFamily::Augmented:
        if (quality.starts_with('M')) return MajorSeventh;
        return quality.starts_with('6') ? Sixth : -1;
    case ChordFamily::Minor:
        if (quality.starts_with("mM")) return MajorSeventh;
        return quality.starts_with("m6") ? Sixth : -1;
    case ChordFamily::Diminished:
        return quality == "dim7" ? Sixth : -1;
    default:
        return -1;
    }
}

} // namespace

ChordFamily FamilyOf(std::string_view quality) {
    if (quality.starts_with("dim")) return ChordFamily::Diminished;
    if (quality.starts_with("aug")) return ChordFamily::Augmented;
    if (quality.starts_with("mM")) return ChordFamily::Minor;
    if (quality.starts_with('m')) {
        if (QualityHas(quality, "b5")) return ChordFamily::HalfDiminished;
        const std::string_view number = quality.substr(1);
        return StartsWithAny(number, {"7", "9", "11", "13"}) ? ChordFamily::MinorSeventh : ChordFamily::Minor;
    }
    if (quality.starts_with('M'))
        return QualityHas(quality, "#5") ? ChordFamily::Augmented : ChordFamily::Major;
    if (StartsWithAny(quality, {"7", "9", "11", "13"})) return ChordFamily::Dominant;
    if (quality.empty() || StartsWithAny(quality, {"6", "5", "2", "add"})) return ChordFamily::Major;
    if (StartsWithAny(quality, {"sus", "4"})) return ChordFamily::Suspended;
    return ChordFamily::Other;
}

bool QualityHas(std::string_view quality, std::string_view part) {
    return quality.find(part) != std::string_view::npos;
}

ChordFamily FamilyOf(const ChordSymbol& chord) {
    return chord.isNoChord() ? ChordFamily::None : FamilyOf(chord.quality);
}

GuideTones GuideTonesOf(const ChordSymbol& chord) {
    const ChordFamily family = FamilyOf(chord);
    if (family == ChordFamily::None) return {};
    const auto above = [&](int interval) { return interval < 0 ? -1 : PitchClass(chord.root + interval); };
    return {above(ThirdOf(family, chord.quality)), above(SeventhOf(family, chord.quality))};
}

} // namespace orbel
