#pragma once
// Naming notes: the pitch class of a pitch number, the table of note and degree names, and how a pitch or a
// key root is spelled in the current key.

#include <array>
#include <string>
#include <string_view>

namespace orbel {

namespace note_name_limits {
// Pitch classes 0..11 plus row 12, which repeats C so that a class one above B still finds a name.
static constexpr int Rows = 13;
static constexpr int Columns = 3;
// The lowest pitch the note model describes; PitchClass still folds lower pitches correctly.
static constexpr int LowestPitch = -24;
} // namespace note_name_limits

enum class NameColumn { Sharp = 0, Flat = 1, Degree = 2 };

// One row per pitch class (row 12 repeats C), one column per kind of name; UTF-8.
struct NoteNames {
    std::array<std::array<std::string, note_name_limits::Columns>, note_name_limits::Rows> Cells;

    // The name in row, column; a row outside 0..12 gives "" rather than reading past the table.
    const std::string& At(int row, NameColumn column) const;
};

// Fills names with the fixed table: sharp names, flat names, and degree names (the distance in semitones
// above a chord's root: "Ⅰ", "b９", "Ⅱ" …).
void InitNoteNames(NoteNames& names);

// The same fixed table without a copy; a row outside 0..12 gives "".
std::string_view NoteNameCell(int row, NameColumn column);

// Pitch class 0..11 (C = 0 … B = 11). A negative pitch is raised by 24 first, which is exact down to
// LowestPitch; below that the class is still folded into 0..11 so that no lookup can leave the table.
int PitchClass(int pitch);

// True when notes in this key are spelled with flats: C, D♭, E♭, F, A♭, B♭ major (majorSpelling = 1) and
// C, D, E♭, F, G, B♭ minor (any other majorSpelling). A rootKey outside 0..11 is a sharp key. The staff
// writes its accidentals by the same rule, so names and notes agree.
bool KeyUsesFlats(int rootKey, int majorSpelling);

// The name of pitch spelled for the key rootKey (0..11) in major (majorSpelling = 1) or minor (0): flat names
// in a flat key (KeyUsesFlats), sharp names otherwise. Pitch 30 is "Gb" in F major and "F#" in G major.
std::string NoteNameInKey(int pitch, int rootKey, int majorSpelling);

// The name of a key root as titles show it: major keys (majorSpelling = 1) read C Db D Eb E F F# G Ab A Bb B,
// minor keys (any other value) read C C# D Eb E F F# G G# A Bb B.
std::string KeyRootName(int root, int majorSpelling);

} // namespace orbel
