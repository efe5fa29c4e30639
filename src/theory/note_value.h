#pragma once
// Note values: which written note a length in ticks is (a quarter note is ticks::Quarter), with its dots,
// whether it is a triplet, how many flags or beams it carries, and how much room the staff gives it. The one
// place where the staff and the MusicXML score learn what a length is.

#include "theory/note_token.h"

#include <optional>
#include <vector>

namespace orbel {

enum class NoteKind { Whole, Half, Quarter, Eighth, Sixteenth, ThirtySecond };

// A length the staff writes with a single note or rest.
struct NoteValue {
    int ticks = 0;
    NoteKind kind = NoteKind::Quarter;
    int dots = 0;
    bool triplet = false; // three in the time of two
    // Width units the staff gives it as a note and as a rest.
    int noteUnits = 0;
    int restUnits = 0;
};

// The value of a length, or nothing when no single note has it.
std::optional<NoteValue> NoteValueOf(int ticks);

// A length as values that are no triplet side by side (whole, dotted half … thirty-second), as many of each
// as fit, longest first; what is left below the shortest (a tick or two) is dropped.
std::vector<NoteValue> SplitIntoPlainValues(int ticks);

// Flags of a lone note, or beams of a beamed one: 1 for an eighth, 2 for a sixteenth, 3 for a
// thirty-second, 0 for longer notes.
int FlagsOf(NoteKind kind);

// A rest that fills a bar of 3/4 is written as the whole-bar rest, without a dot.
bool IsWholeBarRest(int ticks, bool rest, int beatsPerBar);

// The width units an entry of the given ticks takes on the staff (a rest may take fewer), 0 for an unknown
// length.
int NoteWidthUnits(int ticks, bool rest, int beatsPerBar);

} // namespace orbel
