#pragma once
// Spelling a pitch for the staff: the black keys of the piano, the letter, accidental and octave a pitch is
// written with in a key that uses sharps or flats (see KeyUsesFlats), its step on a treble staff, and the
// accidentals a bar has already set. The staff, the range preview, the keyboard and the MusicXML score all
// spell by these.

#include <map>
#include <optional>

namespace orbel {

// The treble staff of the note model's pitch numbers.
namespace treble_staff {
static constexpr int MiddleC = 24;
// The pitches the staff places; others sit on its bottom line without an accidental.
static constexpr int LowestPitch = 0;
static constexpr int HighestPitch = 71;
} // namespace treble_staff

// True for C♯, E♭, F♯, A♭ and B♭ in every octave, for any pitch number.
bool IsBlackKey(int pitch);

struct SpelledPitch {
    int letter = 0; // 0 = C, 1 = D … 6 = B
    int alter = 0;  // −1 flat, 0 natural, +1 sharp
    int octave = 0; // of the letter: the pitch numbers 12 × octave … 12 × octave + 11
    char letterName() const;
    // Diatonic steps above the C of pitch 0: one per letter.
    int step() const;
};

// A white key is its letter; a black key is the letter below with a sharp, or in a flat key the letter above
// with a flat.
SpelledPitch Spell(int pitch, bool flatKey);

// How far a spelled pitch's head sits above the bottom line of the treble staff (the E above middle C), in
// line spacings: half a spacing a step.
double SpacesAboveBottomLine(const SpelledPitch& pitch);

// The accidentals in force on each staff step since the last bar line.
class BarAccidentals {
public:
    // The alteration to write before a note so spelled (0: a natural), or nothing when the bar has already
    // set it; remembered for the rest of the bar.
    std::optional<int> toWrite(const SpelledPitch& pitch);
    void reset() { inForce_.clear(); }

private:
    std::map<int, int> inForce_; // alteration per step; a step not set is natural
};

} // namespace orbel
