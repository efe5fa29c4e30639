#include "theory/chord_scale.h"

#include "theory/note_names.h"
#include "theory/sequence_text.h"
#include "theory/vocabulary.h"

#include <algorithm>
#include <bitset>

namespace orbel {

namespace {

static constexpr std::size_t KindCount = static_cast<std::size_t>(ScaleKind::Count);
// How far above the key a IV chord stands: the IV of a major key, the bVI of a minor one.
static constexpr int MajorFour = 5;
static constexpr int MinorFlatSix = 8;

using PitchSet = std::bitset<12>;

// A kind's steps and, in order, the kinds to play instead when the catalogue lacks it.
struct ScaleShape {
    std::string_view steps;
    std::array<ScaleKind, 2> nearest;
};

constexpr ScaleKind No = ScaleKind::None;
static constexpr std::array<ScaleShape, KindCount> Shapes = {{
    {"", {No, No}},
    {"2212221", {ScaleKind::Lydian, No}},
    {"2122212", {ScaleKind::Aeolian, No}},
    {"2221221", {ScaleKind::Major, No}},
    {"2212212", {ScaleKind::LydianDominant, No}},
    {"2122122", {ScaleKind::Dorian, No}},
    {"1221222", {ScaleKind::HalfDiminished, No}},
    {"2121222", {ScaleKind::Locrian, No}},
    {"2122221", {ScaleKind::HarmonicMinor, ScaleKind::Dorian}},
    {"2122131", {ScaleKind::MelodicMinor, No}},
    {"1312122", {ScaleKind::Altered, ScaleKind::HalfWholeDiminished}},
    {"2221212", {ScaleKind::Mixolydian, No}},
    {"1212222", {ScaleKind::PhrygianDominant, ScaleKind::HalfWholeDiminished}},
    {"12121212", {ScaleKind::Altered, No}},
    {"21212121", {No, No}},
    {"222222", {ScaleKind::Altered, No}},
    {"2222121", {No, No}},
}};

const ScaleShape& ShapeOf(ScaleKind kind) {
    return Shapes[static_cast<std::size_t>(kind)];
}

// The pitch classes a step string plays above its root, read as the scale builder reads it.
PitchSet NotesOf(std::string_view steps) {
    PitchSet notes;
    notes.set(0);
    int interval = 0;
    int above = 0;
    for (const std::string_view character : SplitCharacters(steps)) {
        interval = StepInterval(character, interval);
        above += interval;
        notes.set(static_cast<std::size_t>(PitchClass(above)));
    }
    return notes;
}

// Written alterations decide first; a plain dominant goes by where it leads.
ScaleKind DominantScale(std::string_view quality, const ChordRole& role) {
    if (QualityHas(quality, "alt") || QualityHas(quality, "#9") || QualityHas(quality, "b13"))
        return ScaleKind::Altered;
    if (QualityHas(quality, "sus")) return ScaleKind::Mixolydian;
    if (QualityHas(quality, "b9"))
        return QualityHas(quality, "#5") ? ScaleKind::Altered : ScaleKind::HalfWholeDiminished;
    if (QualityHas(quality, "#5")) return ScaleKind::WholeTone;
    if (QualityHas(quality, "#11") || QualityHas(quality, "b5")) return ScaleKind::LydianDominant;
    if (!role.five) return ScaleKind::Mixolydian;
    if (role.kind == CadenceKind::Tritone || role.kind == CadenceKind::Backdoor)
        return ScaleKind::LydianDominant;
    const bool toMinor = role.kind == CadenceKind::Minor || (role.resolved && role.minorKey);
    return toMinor && quality == "7" ? ScaleKind::Altered : ScaleKind::Mixolydian;
}

bool StandsAbove(const ChordSymbol& chord, const Tune& tune, int semitones) {
    return chord.root == PitchClass(tune.key + semitones);
}

} // namespace

std::string_view StepsOf(ScaleKind kind) {
    return kind < ScaleKind::Count ? ShapeOf(kind).steps : std::string_view{};
}

ScaleKind ScaleFor(const ChordSymbol& chord, const ChordRole& role, const Tune& tune) {
    const std::string_view quality = chord.quality;
    switch (FamilyOf(chord)) {
    case ChordFamily::None:
        return ScaleKind::None;
    case ChordFamily::Major: {
        const bool four = StandsAbove(chord, tune, tune.minorKey ? MinorFlatSix : MajorFour);
        return QualityHas(quality, "#11") || (four && !role.one) ? ScaleKind::Lydian : ScaleKind::Major;
    }
    case ChordFamily::Minor: {
        const bool tonic = role.one || (tune.minorKey && StandsAbove(chord, tune, 0));
        const bool sixthOrSeventh = quality.starts_with("mM") || quality.starts_with("m6");
        return tonic || sixthOrSeventh ? ScaleKind::MelodicMinor : ScaleKind::Dorian;
    }
    case ChordFamily::MinorSeventh:
        return ScaleKind::Dorian;
    case ChordFamily::HalfDiminished:
        return ScaleKind::HalfDiminished;
    case ChordFamily::Dominant:
        return DominantScale(quality, role);
    case ChordFamily::Diminished:
        return ScaleKind::WholeHalfDiminished;
    case ChordFamily::Augmented:
        return quality.starts_with('M') ? ScaleKind::LydianAugmented : ScaleKind::WholeTone;
    case ChordFamily::Suspended:
        return ScaleKind::Mixolydian;
    case ChordFamily::Other:
        break;
    }
    return ScaleKind::Major;
}

ScaleFinder::ScaleFinder(const Catalogue& catalogue) {
    index_.fill(-1);
    const int count = std::min<int>(catalogue.ScaleCount, catalogue_limits::Slots);
    std::array<PitchSet, KindCount> kindNotes;
    for (std::size_t k = 1; k < KindCount; ++k)
        kindNotes[k] = NotesOf(Shapes[k].steps);
    for (int entry = count - 1; entry >= 0; --entry) {
        const PitchSet notes = NotesOf(catalogue.ScaleSteps[static_cast<std::size_t>(entry)]);
        for (std::size_t k = 1; k < KindCount; ++k) {
            if (kindNotes[k] == notes) index_[k] = entry; // from the end, so that the first entry wins
        }
    }
}

ScaleChoice ScaleFinder::find(ScaleKind wanted) const {
    if (wanted == ScaleKind::None || wanted >= ScaleKind::Count) return {};
    const auto at = [&](ScaleKind kind) { return index_[static_cast<std::size_t>(kind)]; };
    if (at(wanted) >= 0) return {wanted, at(wanted)};
    for (const ScaleKind near : ShapeOf(wanted).nearest) {
        if (near != ScaleKind::None && at(near) >= 0) return {near, at(near)};
    }
    return {wanted, -1};
}

std::vector<ChordScale> ChooseScales(const Tune& tune, const TuneAnalysis& analysis,
                                     const ScaleFinder& finder) {
    std::vector<ChordScale> scales;
    scales.reserve(analysis.chords.size());
    for (const AnalysedChord& analysed : analysis.chords) {
        const ChordSymbol& chord = ChordAt(tune, analysed.place);
        const ScaleKind wanted = ScaleFor(chord, analysed.role, tune);
        scales.push_back({analysed.place, wanted, finder.find(wanted), GuideTonesOf(chord)});
    }
    return scales;
}

} // namespace orbel
