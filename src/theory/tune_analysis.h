#pragma once
// The cadences of a tune: every II–V and II–V–I (major, minor, back door, tritone substitute) and every V–I
// without its II, found in the chords as they are played.
//
// The analysis walks the played form (PlayOrder), not the written bars, so that a II–V at the end of a first
// ending resolves to the top of the repeat and a turnaround before a D.C. resolves to the first bar. The
// form is taken as played over and over, as the trainer plays choruses: its last chord leads to its first
// (and is one chord with it when they are the same, standing at the end).
// Results still name the written bar and chord, for the views, and the first time that chord is played; a
// cadence the form plays twice over the same written chords is reported once. A chart whose play order
// cannot be followed is read in its written order.
//
// The chords are read as the harmony moves: a chord held over bars (an empty bar, "%", the same root and
// family again, "G7sus4 G7") is one chord, standing where it starts; a slash chord counts by its root; an
// N.C. breaks any progression; alternates are not read.
//
// A V–I without its II is listed apart: it is no II–V, but its V's scale depends on where it goes.

#include "theory/tune.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace orbel {

// A chord of the chart: where it is written and where it is first played.
struct ChordPlace {
    int bar = -1;         // index into tune.bars
    int chord = -1;       // index into that bar's chords
    int playedBar = -1;   // index into the play order (and into PlayedForm's bars)
    int playedChord = -1; // index into that played bar's chords (PlayedForm leaves out chords of no beats)
    friend bool operator==(const ChordPlace&, const ChordPlace&) = default;
};

// major: m7 → 7 → a major tonic a fifth below. minor: m7b5 (or m7) → 7 → a minor tonic, or a m7b5 II
// whatever follows. backdoor: IVm7 → bVII7 → I (Fm7 Bb7 C). tritone: the V replaced by the dominant a
// semitone above the I (Dm7 Db7 C, and Abm7 Db7 C, the whole II–V moved).
enum class CadenceKind : std::uint8_t { Major, Minor, Backdoor, Tritone };

struct Cadence {
    CadenceKind kind = CadenceKind::Major;
    bool resolved = false;
    int tonic = 0;                 // pitch class of the key's tonic; where an unresolved II–V would go
    bool minorKey = false;         // the I is minor (a minor II–V's key when it does not resolve)
    std::optional<ChordPlace> two; // none for a V–I
    ChordPlace five;
    std::optional<ChordPlace> one; // none when it does not resolve
};

// What a chord does in the cadences it belongs to on one pass: a II, a V, a I (of one cadence and the II of
// the next, as Dm7 in A7 Dm7 G7).
struct ChordRole {
    bool two = false;
    bool five = false;
    bool one = false;
    // The cadence of its V or I role.
    CadenceKind kind = CadenceKind::Major;
    bool resolved = false;
    bool minorKey = false;
};

struct AnalysedChord {
    ChordPlace place;
    ChordRole role;
};

enum class FormEnd : std::uint8_t { Loops, Stops };

struct TuneAnalysis {
    std::vector<Cadence> twoFives;     // every II–V and II–V–I, in the order first played
    std::vector<Cadence> fiveOnes;     // every V–I whose V has no II before it; never counted as a II–V
    std::vector<AnalysedChord> chords; // every written chord as played, pass after pass
    bool writtenOrder = false;         // the play order could not be followed
};

// Resolution targets are major and minor tonic chords, never a dominant (see IsMajorTonic).
TuneAnalysis AnalyseTune(const Tune& tune, FormEnd end = FormEnd::Loops);

// The symbol written at place; N.C. for a place outside the chart.
const ChordSymbol& ChordAt(const Tune& tune, const ChordPlace& place);

} // namespace orbel
