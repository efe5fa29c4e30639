#pragma once
// The musical vocabulary the builders and the accompaniment work from: the step rule of the scale and chord
// catalogues, the four-note chord shapes, the tones of a chord symbol, and the II–V–I tables (which scale to
// play over each chord of a II–V–I and the chord suffix to print).

#include <array>
#include <string>
#include <string_view>

namespace orbel {

// The interval in semitones that one character of a step string adds above the previous note: "1" or "H" 1,
// "2" or "W" 2, "3" 3, "4" 4. Any other character (lower-case "w" and "h" included) repeats previous, so a
// blank in "W W" keeps the whole tone; a string starts with previous = 0, so an unknown first character
// repeats the root.
int StepInterval(char ch, int previous);
// The same for one character of a step string as SplitCharacters gives it: a character of several bytes is
// none of the step characters, so it repeats previous.
int StepInterval(std::string_view character, int previous);

using ChordShape = std::array<int, 4>;

// Indexes into ChordShapes.
namespace chord_shape {
static constexpr int MajorSeventh = 0;
static constexpr int MinorSeventh = 1;
static constexpr int DominantSeventh = 2;
static constexpr int DiminishedSeventh = 3;
static constexpr int HalfDiminished = 4;
static constexpr int SeventhFlatFive = 5;
static constexpr int SeventhFlatNine = 6; // the root is replaced by the flat nine
static constexpr int AugmentedMajorSeventh = 7;
static constexpr int Count = 8;
} // namespace chord_shape

// Four intervals in semitones above a chord's root, one row per chord_shape index.
static constexpr std::array<ChordShape, chord_shape::Count> ChordShapes = {{
    {0, 4, 7, 11}, // major seventh
    {0, 3, 7, 10}, // minor seventh
    {0, 4, 7, 10}, // dominant seventh
    {0, 3, 6, 9},  // diminished seventh
    {0, 3, 6, 10}, // half-diminished
    {0, 4, 6, 10}, // seventh flat five
    {1, 4, 7, 10}, // seventh flat nine
    {0, 4, 8, 11}, // augmented major seventh
}};

namespace voicing_entry {
static constexpr int Count = 11;
static constexpr int FirstTone = 0; // entries 0..3 hold the four chord tones
static constexpr int ToneCount = 4;
static constexpr int RootCopy = 5;  // a copy of entry 0
static constexpr int FifthCopy = 6; // a copy of entry 2
} // namespace voicing_entry

using Voicing = std::array<int, voicing_entry::Count>;

// Writes the four tones of a chord symbol (such as Dm7, G7b9, Bb7) into entries 0..3 as root class plus
// interval (−1..23), then copies entry 0 to entry 5 and entry 2 to entry 6; the other entries keep their
// values. The root comes from ParseChordRoot; the chord is decided by the first of these texts found anywhere
// in the symbol (exact case), so the order settles overlaps: "mM7", "M7", "M", "m7b5", "m7", "7b5", "lt",
// "im", "7b9", "6", "7", "m", "#5". A symbol with none of them is a major triad with the root doubled; a
// blank symbol leaves entries 0..3 as they were.
void ChordVoicing(std::string_view symbol, Voicing& voicing);

// The layout of the II–V–I tables: index = 12 × position + 2 × treatment + mode.
namespace iivi {
static constexpr int Entries = 36;

// Position of a chord in the progression.
static constexpr int II = 0;
static constexpr int V = 1;
static constexpr int I = 2;
static constexpr int Positions = 3;

// Treatment of the V7 chord, as listed in the main window. Index 5 has no list item; its entries stay empty.
static constexpr int Mixolydian = 0;
static constexpr int CombinationOfDiminished = 1;
static constexpr int Altered = 2;
static constexpr int WholeTone = 3;
static constexpr int SubstituteDominant = 4; // the V chord a semitone above the key root
static constexpr int Treatments = 6;         // room per position, the unused index 5 included

// Key mode.
static constexpr int Major = 0;
static constexpr int Minor = 1;
static constexpr int Modes = 2;
} // namespace iivi

using IIVIColumn = std::array<std::string, iivi::Entries>;

// Scale digit strings (base-36 digits, eleven tones above the chord root over one and a half octaves) and the
// chord suffixes of the II–V–I exercises.
struct IIVITables {
    IIVIColumn IIVIScales;
    IIVIColumn IIVIChordSuffix;
};

// Fills both tables; the entries of treatment 5 are left empty.
void InitIIVITables(IIVITables& tables);

// Index of a chord's entry in the II–V–I tables. Only position 0..2, treatment 0..5 and mode 0..1 give an
// index inside the tables; IIVIEntry checks that for callers whose values come from outside.
constexpr int IIVIIndex(int position, int treatment, int mode) {
    return 12 * position + 2 * treatment + mode;
}

// The entry of a II–V–I table, or "" when position, treatment or mode is out of range.
const std::string& IIVIEntry(const IIVIColumn& column, int position, int treatment, int mode);

// How far a chord's root lies above the key root: II +2, V +7 (+1 with the substitute dominant), I 0. An
// unknown position gives 0.
int IIVIChordOffset(int position, int treatment);

} // namespace orbel
