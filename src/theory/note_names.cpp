#include "theory/note_names.h"

#include <cstddef>
#include <initializer_list>

namespace orbel {

namespace {

using note_name_limits::Columns;
using note_name_limits::Rows;

// Columns: sharp name, flat name, degree name.
static constexpr std::array<std::array<std::string_view, Columns>, Rows> FixedNames{{
    {"C", "C", "Ⅰ"},
    {"C#", "Db", "b９"},
    {"D", "D", "Ⅱ"},
    {"D#", "Eb", "bⅢ"},
    {"E", "E", "Ⅲ"},
    {"F", "F", "Ⅳ"},
    {"F#", "Gb", "bⅤ"},
    {"G", "G", "Ⅴ"},
    {"G#", "Ab", "bⅥ"},
    {"A", "A", "Ⅵ"},
    {"A#", "Bb", "bⅦ"},
    {"B", "B", "Ⅶ"},
    {"C", "C", ""},
}};

bool RowInTable(int row) {
    return row >= 0 && row < Rows;
}

bool OneOf(int value, std::initializer_list<int> candidates) {
    for (const int candidate : candidates) {
        if (value == candidate) return true;
    }
    return false;
}

} // namespace

const std::string& NoteNames::At(int row, NameColumn column) const {
    static const std::string none;
    if (!RowInTable(row)) return none;
    return Cells[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

void InitNoteNames(NoteNames& names) {
    for (std::size_t row = 0; row < FixedNames.size(); ++row) {
        for (std::size_t column = 0; column < FixedNames[row].size(); ++column) {
            names.Cells[row][column] = std::string(FixedNames[row][column]);
        }
    }
}

std::string_view NoteNameCell(int row, NameColumn column) {
    if (!RowInTable(row)) return {};
    return FixedNames[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

int PitchClass(int pitch) {
    if (pitch < 0) pitch += 24;
    const int folded = pitch % 12;
    // Only pitches below the model's range get here with a negative remainder.
    return folded < 0 ? folded + 12 : folded;
}

bool KeyUsesFlats(int rootKey, int majorSpelling) {
    if (majorSpelling == 1) return OneOf(rootKey, {0, 1, 3, 5, 8, 10});
    return OneOf(rootKey, {0, 2, 3, 5, 7, 10});
}

std::string NoteNameInKey(int pitch, int rootKey, int majorSpelling) {
    const NameColumn column = KeyUsesFlats(rootKey, majorSpelling) ? NameColumn::Flat : NameColumn::Sharp;
    return std::string(NoteNameCell(PitchClass(pitch), column));
}

std::string KeyRootName(int root, int majorSpelling) {
    const int rootClass = PitchClass(root);
    // F# major rather than Gb major, C# and G# minor rather than Db and Ab minor: the keys players read most.
    const bool sharp =
        majorSpelling == 1 ? OneOf(rootClass, {2, 4, 6, 7, 9}) : OneOf(rootClass, {1, 4, 6, 8, 9});
    return std::string(NoteNameCell(rootClass, sharp ? NameColumn::Sharp : NameColumn::Flat));
}

} // namespace orbel
