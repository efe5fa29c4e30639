// II–V–I digital patterns: the same degree digits played over each chord of the progression.
#include "theory/note_names.h"
#include "theory/numbers.h"
#include "theory/sequence_builder.h"
#include "theory/sequence_text.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace orbel {

namespace {

static constexpr int FirstOctave = 24; // built notes start in the octave of digit 3

// How the 96 ticks of a bar are shared among the notes of a pattern of 1..6 digits.
static constexpr std::array<std::array<std::int16_t, pattern_limits::MaxDigits>, pattern_limits::MaxDigits>
    BarDivision{{
        {96, 0, 0, 0, 0, 0},
        {48, 48, 0, 0, 0, 0},
        {24, 24, 48, 0, 0, 0},
        {24, 24, 24, 24, 0, 0},
        {24, 24, 24, 12, 12, 0},
        {24, 24, 12, 12, 12, 12},
    }};

static constexpr std::array<int, 4> ChordsInOrder{iivi_chord_code::II, iivi_chord_code::V, iivi_chord_code::I,
                                                  iivi_chord_code::IAgain};

struct ChordPlace {
    int position;     // row of the II–V–I tables
    std::int8_t ring; // of the circle diagram
};

ChordPlace PlaceOf(int code) {
    switch (code) {
    case iivi_chord_code::II:
        return {iivi::II, circle_ring::Inner};
    case iivi_chord_code::V:
        return {iivi::V, circle_ring::Middle};
    default:
        return {iivi::I, circle_ring::Outer};
    }
}

// The value of a pattern digit: 1..9, or 0 for anything else (a "0", a letter, a sign, a blank).
int DigitOf(char ch) {
    return ch >= '1' && ch <= '9' ? ch - '0' : 0;
}

// A scale character read as a hexadecimal digit; anything else is 0.
int HexValue(char ch) {
    if (ch >= '0' && ch <= '9') return ch - '0';
    if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
    if (ch >= 'a' && ch <= 'f') return ch - 'a' + 10;
    return 0;
}

// Semitones above the chord root that digit d selects from the first seven characters of scale.
int ToneOf(std::string_view scale, int d) {
    if (d < 1 || d > pattern_limits::ScaleCharsUsed || static_cast<std::size_t>(d) > scale.size()) return 0;
    return HexValue(scale[static_cast<std::size_t>(d) - 1]);
}

// A pattern fills each bar with 1..6 notes, every digit selecting a tone; a digit of value 0 selects none.
bool PatternIsPlayable(std::string_view digits) {
    if (digits.empty() || digits.size() > static_cast<std::size_t>(pattern_limits::MaxDigits)) return false;
    for (const char ch : digits) {
        if (DigitOf(ch) == 0) return false;
    }
    return true;
}

} // namespace

void BuildIIVIChord(PlaySequence& seq, int& counter, const Settings& settings, const IIVITables& tables,
                    int code, std::string_view scale, std::string_view digits, int root) {
    if (counter < 0 || counter >= sequence_limits::Notes) return;
    const int mode = settings.IIVIMode[0];
    const int treatment = settings.IIVIMode[1];
    const ChordPlace place = PlaceOf(code);
    const int chordRoot = root + IIVIChordOffset(place.position, treatment);

    seq.SeqChord[static_cast<std::size_t>(counter)] =
        SequenceChordText(NoteNameInKey(chordRoot, root, seq.MajorSpelling) +
                          IIVIEntry(tables.IIVIChordSuffix, place.position, treatment, mode));

    const std::size_t noteCount = digits.size();
    for (std::size_t k = 0; k < noteCount && counter < sequence_limits::Notes; ++k) {
        const int s = ToneOf(scale, DigitOf(digits[k]));
        const int pitch = chordRoot + s + FirstOctave;
        const auto at = static_cast<std::size_t>(counter);
        seq.SeqPitch[at] = static_cast<std::int16_t>(pitch);
        // A pattern too long to share out a bar keeps the durations of the cleared sequence.
        seq.SeqDur[at] = noteCount <= BarDivision.size() ? BarDivision[noteCount - 1][k] : 0;
        seq.SeqDegree[at] = std::string(NoteNameCell(s, NameColumn::Degree));
        seq.SeqRing[at] = place.ring;
        ++counter;
    }
}

BuildMessage BuildIIVIPattern(PlaySequence& seq, const Settings& settings, const Catalogue& catalogue,
                              const IIVITables& tables, int item, int root) {
    if (item < 0 || item >= catalogue.PatternCount || item >= catalogue_limits::Slots) {
        ClearSequence(seq);
        return {};
    }
    const std::string& digits = catalogue.PatternDigits[static_cast<std::size_t>(item)];
    if (!PatternIsPlayable(digits)) {
        ClearSequence(seq);
        return FaultyDataMessage();
    }

    const int mode = settings.IIVIMode[0];
    const int treatment = settings.IIVIMode[1];
    seq.BeatsPerBar = 4;
    seq.MajorSpelling = mode == iivi::Minor ? 0 : 1;
    int counter = 0;
    for (const int code : ChordsInOrder) {
        const std::string& scale = IIVIEntry(tables.IIVIScales, PlaceOf(code).position, treatment, mode);
        BuildIIVIChord(seq, counter, settings, tables, code, scale, digits, root);
    }
    seq.SeqCount = static_cast<std::int16_t>(counter);
    return {};
}

} // namespace orbel
