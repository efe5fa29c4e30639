#include "theory/phrase_parser.h"

#include "theory/note_names.h"
#include "theory/note_token.h"
#include "theory/numbers.h"
#include "theory/sequence_builder.h"
#include "theory/sequence_text.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace orbel {

namespace {

static constexpr char ChordMark = '*';
static constexpr char RowBreakMark = '\\';
static constexpr char TieMark = '=';
static constexpr int TripletCodeOffset = 300;

std::string WithoutChar(std::string_view text, char removed) {
    std::string result;
    for (const char ch : text) {
        if (ch != removed) result.push_back(ch);
    }
    return result;
}

// True when the number of a duration code, as ReadDurationCode will take it, fits the 16 bits the program
// keeps it in. A larger number is a fault of the file, not an unknown duration.
bool DurationCodeFits(std::string_view code) {
    double number = 0.0;
    if (code.find('.') != std::string_view::npos) {
        number = LeadingNumber(WithoutChar(code, '.'));
    } else if (code.find('T') != std::string_view::npos) {
        number = LeadingNumber(WithoutChar(code, 'T')) + TripletCodeOffset;
    } else {
        number = LeadingNumber(code);
    }
    const int whole = RoundHalfEven(number);
    return whole >= std::numeric_limits<std::int16_t>::min() &&
           whole <= std::numeric_limits<std::int16_t>::max();
}

// Reads one note token into entry index. False when the token cannot be represented.
bool PutNote(PlaySequence& seq, int index, std::string_view token, std::string& pendingChord) {
    int pitch = 0;
    bool isRest = false;
    const std::string_view trimmed = TrimBlanks(token);
    const int pitchEnd = ParseNoteToken(trimmed, pitch, isRest);
    const std::string_view code = trimmed.substr(static_cast<std::size_t>(pitchEnd));
    if (!DurationCodeFits(code)) return false;

    const auto at = static_cast<std::size_t>(index);
    seq.SeqTie[at] = token.find(TieMark) != std::string_view::npos ? 1 : 0;
    seq.SeqRest[at] = isRest ? 1 : 0;
    seq.SeqPitch[at] = isRest ? sequence_limits::RestPitch : static_cast<std::int16_t>(pitch);
    seq.SeqDur[at] = static_cast<std::int16_t>(ReadDurationCode(code));
    seq.SeqChord[at] = SequenceChordText(pendingChord);
    pendingChord.clear();
    return true;
}

BuildMessage Refuse(PlaySequence& seq) {
    ClearSequence(seq);
    return FaultyDataMessage();
}

} // namespace

bool PhraseItemExists(const PhraseList& phrases, int item) {
    if (item < 0) return false;
    const auto at = static_cast<std::size_t>(item);
    return item < phrases.count() && at < phrases.PhraseLines.size() && at < phrases.PhraseBeats.size();
}

BuildMessage ParsePhrase(PlaySequence& seq, Settings& settings, const PhraseList& phrases, int item) {
    if (!PhraseItemExists(phrases, item)) {
        ClearSequence(seq);
        return {};
    }
    const auto& lines = phrases.PhraseLines[static_cast<std::size_t>(item)];
    seq.BeatsPerBar = phrases.PhraseBeats[static_cast<std::size_t>(item)];

    int index = 0;
    int lastRowMark = -1;
    std::string pendingChord;
    std::string lastChord;
    for (std::size_t lineNo = 0; lineNo < static_cast<std::size_t>(phrase_limits::ParseLines); ++lineNo) {
        // The end of the stored lines stands for the blank line that ends an item in the file.
        const std::string_view line = lineNo < lines.size() ? TrimBlanks(lines[lineNo]) : std::string_view{};
        if (line.empty()) {
            seq.SeqCount = static_cast<std::int16_t>(index);
            int rootClass = 0;
            ParseChordRoot(lastChord, rootClass);
            settings.RootKey = static_cast<std::int16_t>(PitchClass(rootClass));
            seq.MajorSpelling = lastChord.find('m') == std::string::npos ? 1 : 0;
            return {};
        }

        // index never passes MaxNotes, so this entry and the row break's below are inside the sequence.
        if (index > lastRowMark) seq.SeqBarStart[static_cast<std::size_t>(index)] = 0;
        if (line.front() == ChordMark) {
            pendingChord = std::string(TrimBlanks(line.substr(1)));
            lastChord = pendingChord;
        } else if (line.front() == RowBreakMark) {
            seq.SeqBarStart[static_cast<std::size_t>(index)] = 1;
            lastRowMark = index;
        } else {
            if (index >= phrase_parse_limits::MaxNotes) return Refuse(seq);
            if (!PutNote(seq, index, line, pendingChord)) return Refuse(seq);
            ++index;
        }
    }
    // Every line the parser looks at was filled: the item has no end.
    return Refuse(seq);
}

void TransposeSequence(PlaySequence& seq, const Settings& settings, int diff) {
    const int count = seq.SeqCount < sequence_limits::Notes ? seq.SeqCount : sequence_limits::Notes;
    for (int i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        seq.SeqPitch[at] = static_cast<std::int16_t>(seq.SeqPitch[at] + diff);

        const std::string chord(TrimBlanks(seq.SeqChord[at]));
        if (chord.empty()) continue;
        int rootClass = 0;
        const int rootLength = ParseChordRoot(chord, rootClass);
        // A chord text without a note letter (such as "%") has no root to rename.
        if (rootLength == 0) continue;
        seq.SeqChord[at] =
            SequenceChordText(NoteNameInKey(rootClass + diff, settings.RootKey, seq.MajorSpelling) +
                              chord.substr(static_cast<std::size_t>(rootLength)));
    }
}

} // namespace orbel
