#pragma once
// The scale to play over each chord of a tune, chosen by the chord's quality and by what it does in the
// tune's cadences (tune_analysis.h), and looked up in the user's scale catalogue by its steps, never by its
// name: names are the user's to edit.
//
// The choices, where the quality leaves room for more than one:
// - m7, as a II or anywhere else, and as a minor tonic: Dorian (the minor tonic of jazz has a major sixth);
// - m7b5: half-diminished (Locrian with a natural ninth), Locrian when the catalogue lacks it;
// - a plain 7 resolving to minor, or in a II–V with a m7b5 II: altered; Phrygian dominant when the catalogue
//   lacks it. A dominant written with natural tensions ("9", "13") keeps them: Mixolydian;
// - the substitute bII7 and the back door's bVII7: Lydian dominant (the bVII7 shares the notes of the minor
//   IV before it);
// - a M7 that is no cadence's I on the IV of a major key (the bVI of a minor key): Lydian.

#include "theory/catalogue.h"
#include "theory/chord_family.h"
#include "theory/tune_analysis.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace orbel {

enum class ScaleKind : std::uint8_t {
    None, // N.C.
    Major,
    Dorian,
    Lydian,
    Mixolydian,
    Aeolian,
    Locrian,
    HalfDiminished, // Locrian with a natural ninth
    MelodicMinor,
    HarmonicMinor,
    PhrygianDominant, // the harmonic minor's fifth mode
    LydianDominant,
    Altered,
    HalfWholeDiminished,
    WholeHalfDiminished,
    WholeTone,
    LydianAugmented,
    Count,
};

// The kind's steps as scale.txt writes them ("2122212"); "" for None.
std::string_view StepsOf(ScaleKind kind);

// The kind a chord asks for, by its quality and its role; the tune's key tells a IV chord and a minor key's
// tonic.
ScaleKind ScaleFor(const ChordSymbol& chord, const ChordRole& role, const Tune& tune);

struct ScaleChoice {
    ScaleKind played = ScaleKind::None; // the kind asked for, or the nearest one the catalogue has
    int scale = -1; // its catalogue index; −1: the catalogue has none, play StepsOf(played)
};

// The catalogue's scales by the notes they play, whatever their names and step spellings ("2122212" and
// "WHWWWHW" are one scale). Made once per read of scale.txt.
class ScaleFinder {
public:
    explicit ScaleFinder(const Catalogue& catalogue);
    // The first catalogue entry that plays the kind, else the first that plays a near kind keeping the
    // chord's tones (altered for Phrygian dominant …), else −1 with the kind itself.
    ScaleChoice find(ScaleKind wanted) const;

private:
    std::array<int, static_cast<std::size_t>(ScaleKind::Count)> index_{};
};

struct ChordScale {
    ChordPlace place;
    ScaleKind wanted = ScaleKind::None;
    ScaleChoice choice;
    GuideTones guide;
};

// One entry per analysis.chords entry, in the same order.
std::vector<ChordScale> ChooseScales(const Tune& tune, const TuneAnalysis& analysis,
                                     const ScaleFinder& finder);

} // namespace orbel
