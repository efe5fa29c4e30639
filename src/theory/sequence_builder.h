#pragma once
// Builders of the play sequence for the catalogue study types: scales and chords from their step strings, and
// the II–V–I digital patterns from their degree digits and the II–V–I tables.
//
// A builder either builds its item or refuses it: a definition it cannot represent (a step string longer than
// the sequence, a pattern digit outside 1..9, a pattern of more or fewer digits than a bar can hold) gives
// the faulty-data message and an empty sequence. An item outside the catalogue gives an empty sequence and no
// message: there is nothing the user could fix.

#include "theory/build_result.h"
#include "theory/catalogue.h"
#include "theory/play_sequence.h"
#include "theory/settings.h"
#include "theory/vocabulary.h"

#include <string_view>

namespace orbel {

namespace iivi_chord_code {
// The four bars of a II–V–I pattern in playing order; the I chord is played twice.
static constexpr int II = 2;
static constexpr int V = 5;
static constexpr int I = 1;
static constexpr int IAgain = 0;
} // namespace iivi_chord_code

namespace pattern_limits {
// A bar of 96 ticks is divided among the digits of a pattern; beyond six there is no division.
static constexpr int MaxDigits = 6;
// Only this many characters of a II–V–I scale string are reachable by a digit; digits 8 and 9 play the root.
static constexpr int ScaleCharsUsed = 7;
} // namespace pattern_limits

// Empties the sequence: no notes, every per-note field blank or 0. The degree names and circle rings are
// left alone; every builder writes them for each note it uses.
void ClearSequence(PlaySequence& seq);

// Builds scale item (isScale) or chord item of the catalogue on root as eighth notes from root + 24 upwards,
// one note per step character and one for the root; with settings.UpDown on the same notes follow downwards,
// the top note played twice. A scale or chord whose name holds "ﾏｲﾅ" and "2" comes down as the melodic minor
// does (its sixth and seventh a semitone lower). The title goes into SeqChord(0), spelled with the
// MajorSpelling of the previous build; MajorSpelling then becomes 1.
BuildMessage BuildScaleOrChord(PlaySequence& seq, const Settings& settings, const Catalogue& catalogue,
                               bool isScale, int item, int root);

// Builds pattern item of the catalogue over II–V–I–I in the key root, one bar per chord, with the scales and
// chord suffixes of the mode and V7 treatment in settings.IIVIMode. Sets MajorSpelling from the mode.
BuildMessage BuildIIVIPattern(PlaySequence& seq, const Settings& settings, const Catalogue& catalogue,
                              const IIVITables& tables, int item, int root);

// Writes the bar of one chord of a II–V–I pattern from note counter on and advances counter: the chord
// symbol over the first note, then one note per digit of digits, digit d taking the tone of character d of
// scale (digits without a character, 8 and 9, play the chord root), with its degree name and its point on
// the ring of the diagram that belongs to the chord. Writes nothing past the end of the sequence.
void BuildIIVIChord(PlaySequence& seq, int& counter, const Settings& settings, const IIVITables& tables,
                    int code, std::string_view scale, std::string_view digits, int root);

} // namespace orbel
