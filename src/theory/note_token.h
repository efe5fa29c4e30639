#pragma once
// The note token of the phrase files (3C4, =4Bb5, R5, 3E4. …) and the root of a chord symbol (Bb7, F#m7).
//
// A token is: optional "=" (tied from the previous note), octave digit "0".."6" (digit k starts at pitch
// 12 × (k − 1)), a letter C D E F G A B or R for a rest, optional "#" or "b", then the duration code.

#include <string_view>

namespace orbel {

namespace ticks {
static constexpr int Quarter = 24;
static constexpr int Bar = 96; // a bar of four beats
} // namespace ticks

// Reads the pitch part of a note token. Positions count from 1 in the token with its leading and trailing
// blanks removed; the duration code is the text after the returned position.
//
// The first of the letters C D E F G A B found anywhere in the token (in that order) gives the note; failing
// that an "R" makes it a rest. The character before the letter is the octave digit. The accidental is looked
// for at position 3, or at position 4 when the token holds "=" anywhere; when found, the returned position is
// that of the accidental, else that of the letter. A token without a letter or "R" gives pitch 0 and position
// 0.
int ParseNoteToken(std::string_view token, int& pitch, bool& isRest);

// Reads the root of a chord symbol: the first of C D E F G A B found anywhere (in that order), raised by a
// "#" or lowered by a "b" at position 2. Returns the length of the root part (2 with an accidental, else the
// letter's 1-based position), or 0 with rootClass 0 when there is no letter. The class may come out as −1
// (C♭) or 12 (B♯): PitchClass and NoteNameInKey fold it.
int ParseChordRoot(std::string_view symbol, int& rootClass);

// Ticks of a duration code: 2..7 for thirty-second … whole (3, 6, 12, 24, 48, 96), 302..305 for the triplet
// values (2, 4, 8, 16). Any other code gives 0.
int DurationTicks(int code);

// Ticks of the duration text of a note token. A "." anywhere makes the value dotted (1.5 times, halves to
// even): the dots are removed and the rest is read as a number. Otherwise a "T" makes it a triplet: the "T"
// is removed and 300 is added to the number. So "4." is 18, "2." is 4, "T4" is 8, and "T4." is 0 (the dot is
// handled first, and "T4" does not start with a number).
int ReadDurationCode(std::string_view text);

} // namespace orbel
