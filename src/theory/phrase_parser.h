#pragma once
// Builders of the play sequence for the phrase study types: parsing a phrase item's data lines, and moving an
// already parsed phrase to a new root without parsing it again.
//
// Data lines: "*" followed by a chord symbol (written over the next note), "\" (the next note starts a new
// staff row), or a note token (3C4, =4Bb5, R5 …). The first blank line ends the item, as does the end of its
// lines.

#include "theory/build_result.h"
#include "theory/phrase_list.h"
#include "theory/play_sequence.h"
#include "theory/settings.h"

namespace orbel {

namespace phrase_parse_limits {
// Notes a phrase may hold; the last entry of the sequence stays free for a row break after the last note.
static constexpr int MaxNotes = sequence_limits::Notes - 1;
} // namespace phrase_parse_limits

// True when item is an entry of every list the parser reads.
bool PhraseItemExists(const PhraseList& phrases, int item);

// Parses phrase item into the sequence (expected to be cleared) and sets BeatsPerBar from the item. Once the
// item is read, settings.RootKey becomes the root of its last chord symbol (C without one) and MajorSpelling
// 1, or 0 when that symbol holds a lower-case "m". A faulty item (more than 400 lines without a blank one,
// more than MaxNotes notes, a duration number beyond 16 bits) gives the faulty-data message and an empty
// sequence, and leaves RootKey and MajorSpelling as they were; an item that does not exist gives an empty
// sequence and no message.
BuildMessage ParsePhrase(PlaySequence& seq, Settings& settings, const PhraseList& phrases, int item);

// Moves every note (rests included) by diff semitones and renames the root of every chord symbol, spelled for
// the key settings.RootKey with the MajorSpelling of the last parse. A chord text without a note letter is
// left as it is. Durations, ties, row breaks and beams stay.
void TransposeSequence(PlaySequence& seq, const Settings& settings, int diff);

} // namespace orbel
