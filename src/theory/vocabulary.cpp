#include "theory/vocabulary.h"

#include "theory/kihon.h"
#include "theory/note_token.h"

namespace orbel {

namespace {

// One rule of ChordVoicing: the text a symbol must contain and the intervals it then plays.
struct VoicingRule {
    std::string_view text;
    ChordShape intervals;
};

// Tried in this order; the first text found anywhere in the symbol wins.
constexpr std::array<VoicingRule, 13> VoicingRules = {{
    {"mM7", {0, 3, 7, 11}},
    {"M7", ChordShapes[chord_shape::MajorSeventh]},
    {"M", {0, 4, 7, 0}},
    {"m7b5", ChordShapes[chord_shape::HalfDiminished]},
    {"m7", ChordShapes[chord_shape::MinorSeventh]},
    {"7b5", ChordShapes[chord_shape::SeventhFlatFive]},
    {"lt", ChordShapes[chord_shape::AugmentedMajorSeventh]}, // "alt" plays the augmented major seventh
    {"im", ChordShapes[chord_shape::DiminishedSeventh]},     // "dim"
    {"7b9", ChordShapes[chord_shape::SeventhFlatNine]},
    {"6", {0, 4, 7, 9}},
    {"7", ChordShapes[chord_shape::DominantSeventh]},
    {"m", ChordShapes[chord_shape::MinorSeventh]}, // a minor triad is voiced as the minor seventh
    {"#5", {0, 4, 7, 8}},
}};

// A symbol that names a root and nothing else: the triad with the root doubled.
constexpr ChordShape PlainTriad = {0, 4, 7, 0};

const ChordShape& IntervalsOf(std::string_view symbol) {
    for (const VoicingRule& rule : VoicingRules) {
        if (symbol.find(rule.text) != std::string_view::npos) return rule.intervals;
    }
    return PlainTriad;
}

// Scale digit strings of the II–V–I exercises.
constexpr std::string_view Dorian = "023579ACEFH";
constexpr std::string_view Locrian = "013568ACDFH";
constexpr std::string_view MixolydianUpper = "024579ACEGI";
constexpr std::string_view CombinationOfDiminished = "0134679ACDF";
constexpr std::string_view Altered = "013468ACDFG";
constexpr std::string_view WholeTone = "02468ACEGIK";
constexpr std::string_view Ionian = "024579BCEGH";

// Scale over the V chord for each treatment 0..4, in major and in minor. Only the substitute dominant
// differs: in minor it takes the whole-tone scale.
struct DominantScales {
    std::string_view major;
    std::string_view minor;
};
constexpr std::array<DominantScales, 5> DominantScaleTable = {{
    {MixolydianUpper, MixolydianUpper},
    {CombinationOfDiminished, CombinationOfDiminished},
    {Altered, Altered},
    {WholeTone, WholeTone},
    {MixolydianUpper, WholeTone},
}};

constexpr int UsedTreatments = static_cast<int>(DominantScaleTable.size());

void SetEntry(IIVITables& tables, int position, int treatment, int mode, std::string_view scale,
              std::string_view suffix) {
    const int index = IIVIIndex(position, treatment, mode);
    // Built as new strings and moved in: assigning a view in place trips a false -Wrestrict in GCC 12.
    tables.IIVIScales[index] = std::string(scale);
    tables.IIVIChordSuffix[index] = std::string(suffix);
}

} // namespace

int StepInterval(char ch, int previous) {
    switch (ch) {
    case '1':
    case 'H':
        return 1;
    case '2':
    case 'W':
        return 2;
    case '3':
        return 3;
    case '4':
        return 4;
    default:
        return previous;
    }
}

int StepInterval(std::string_view character, int previous) {
    return StepInterval(character.size() == 1 ? character.front() : '\0', previous);
}

void ChordVoicing(std::string_view symbol, Voicing& voicing) {
    if (!CleanFixedText(symbol).empty()) {
        int root = 0;
        ParseChordRoot(symbol, root);
        const ChordShape& intervals = IntervalsOf(symbol);
        for (int i = 0; i < voicing_entry::ToneCount; ++i) {
            voicing[voicing_entry::FirstTone + i] = root + intervals[i];
        }
    }
    voicing[voicing_entry::RootCopy] = voicing[voicing_entry::FirstTone];
    voicing[voicing_entry::FifthCopy] = voicing[voicing_entry::FirstTone + 2];
}

void InitIIVITables(IIVITables& tables) {
    tables.IIVIScales.fill({});
    tables.IIVIChordSuffix.fill({});
    for (int treatment = 0; treatment < UsedTreatments; ++treatment) {
        SetEntry(tables, iivi::II, treatment, iivi::Major, Dorian, "m7");
        SetEntry(tables, iivi::II, treatment, iivi::Minor, Locrian, "m7b5");
        SetEntry(tables, iivi::V, treatment, iivi::Major, DominantScaleTable[treatment].major, "7");
        SetEntry(tables, iivi::V, treatment, iivi::Minor, DominantScaleTable[treatment].minor, "7");
        SetEntry(tables, iivi::I, treatment, iivi::Major, Ionian, "M7");
        SetEntry(tables, iivi::I, treatment, iivi::Minor, Dorian, "m7");
    }
}

const std::string& IIVIEntry(const IIVIColumn& column, int position, int treatment, int mode) {
    static const std::string none;
    if (position < 0 || position >= iivi::Positions || treatment < 0 || treatment >= iivi::Treatments ||
        mode < 0 || mode >= iivi::Modes) {
        return none;
    }
    return column[IIVIIndex(position, treatment, mode)];
}

int IIVIChordOffset(int position, int treatment) {
    switch (position) {
    case iivi::II:
        return 2;
    case iivi::V:
        return treatment == iivi::SubstituteDominant ? 1 : 7;
    default:
        return 0;
    }
}

} // namespace orbel
