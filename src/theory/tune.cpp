#include "theory/tune.h"

#include "theory/note_names.h"
#include "theory/sequence_text.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace orbel {

namespace {

static constexpr std::string_view NoChordText = "N.C.";
// Every note letter at its pitch class; the blanks stand for the black keys and are never looked up.
static constexpr std::string_view LettersByPitchClass = "C D EF G A B";

// Signs that lead sheets print as symbols, and the letters the parser reads in their place.
struct SignSpelling {
    std::string_view symbol;
    std::string_view letters;
};
static constexpr std::array<SignSpelling, 9> SignSpellings = {{
    {"♭", "b"},
    {"♯", "#"},
    {"Δ", "^"},
    {"∆", "^"},
    {"ø", "h"},
    {"Ø", "h"},
    {"°", "o"},
    {"º", "o"},
    {"−", "-"},
}};

std::string WithAsciiSigns(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto sign =
            std::find_if(SignSpellings.begin(), SignSpellings.end(),
                         [&](const SignSpelling& s) { return text.substr(at).starts_with(s.symbol); });
        if (sign == SignSpellings.end()) {
            ascii += text[at++];
        } else {
            ascii += sign->letters;
            at += sign->symbol.size();
        }
    }
    return ascii;
}

bool IsBlackKey(int pitchClass) {
    return NoteNameCell(pitchClass, NameColumn::Sharp) != NoteNameCell(pitchClass, NameColumn::Flat);
}

std::string_view NoteName(int pitchClass, bool flat) {
    return NoteNameCell(pitchClass, flat ? NameColumn::Flat : NameColumn::Sharp);
}

struct WrittenNote {
    int pitchClass = 0;
    bool flat = false;
    std::size_t length = 0;
};

// A note name at the start of text: a letter A–G, then "#" or "b".
std::optional<WrittenNote> ReadNote(std::string_view text) {
    if (text.empty() || text[0] == ' ') return std::nullopt;
    const std::size_t letter = LettersByPitchClass.find(text[0]);
    if (letter == std::string_view::npos) return std::nullopt;
    WrittenNote note{static_cast<int>(letter), false, 1};
    if (text.size() > 1 && (text[1] == '#' || text[1] == 'b')) {
        note.flat = text[1] == 'b';
        note.pitchClass += note.flat ? -1 : 1;
        note.length = 2;
    }
    note.pitchClass = PitchClass(note.pitchClass);
    note.flat = note.flat && IsBlackKey(note.pitchClass);
    return note;
}

bool IsNoChord(std::string_view text) {
    std::string letters;
    for (const char ch : text) {
        if (ch != '.') letters += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    return letters == "NC";
}

// The quality after the root, read in any of the spellings the parser knows and written in ours: minor,
// major seventh, the number of the chord, then its tensions in the order written.
class QualityReader {
public:
    explicit QualityReader(std::string_view text) : rest(text) {}

    std::optional<std::string> Read() {
        if (!ReadBase()) return std::nullopt;
        while (SkipSeparators(), !rest.empty()) {
            if (!ReadTension()) return std::nullopt;
        }
        return Written();
    }

private:
    static bool IsSeparator(char ch) { return ch == '(' || ch == ')' || ch == ',' || ch == ' ' || ch == '/'; }
    void SkipSeparators() {
        while (!rest.empty() && IsSeparator(rest.front()))
            rest.remove_prefix(1);
    }
    bool Eat(std::string_view word) {
        if (!rest.starts_with(word)) return false;
        rest.remove_prefix(word.size());
        return true;
    }
    // A word of letters in any case ("maj", "Maj", "MAJ").
    bool EatWord(std::string_view word) {
        if (rest.size() < word.size()) return false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (std::tolower(static_cast<unsigned char>(rest[i])) != word[i]) return false;
        }
        rest.remove_prefix(word.size());
        return true;
    }
    bool AtDigit() const { return !rest.empty() && rest.front() >= '0' && rest.front() <= '9'; }
    // The digits at the start, 0 when there are none; a long run gives a number no rule accepts.
    int EatNumber() {
        int number = 0;
        while (AtDigit()) {
            number = std::min(number * 10 + (rest.front() - '0'), 1000);
            rest.remove_prefix(1);
        }
        return number;
    }
    static bool OneOf(int value, std::initializer_list<int> allowed) {
        return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
    }
    // A short word only where no letter follows: "ma7" is a major seventh, "madd9" a minor triad.
    bool EatShortWord(std::string_view word) {
        if (rest.size() > word.size() && std::isalpha(static_cast<unsigned char>(rest[word.size()]))) {
            return false;
        }
        return EatWord(word);
    }
    bool EatMajorMark() {
        if (Eat("^")) {
            caret = true;
            return true;
        }
        return EatWord("maj") || EatShortWord("ma") || Eat("M");
    }

    bool ReadBase() {
        if (EatWord("alt")) {
            number = 7;
            tensions = "alt";
            return true;
        }
        if (rest.starts_with("o") && !rest.starts_with("omit")) {
            rest.remove_prefix(1);
            return ReadDiminished();
        }
        if (EatWord("dim")) return ReadDiminished();
        if (Eat("h")) {
            minor = true;
            number = AtDigit() ? EatNumber() : 7;
            tensions = "b5";
            return OneOf(number, {7, 9, 11});
        }
        if (EatWord("aug") || Eat("+")) augmented = true;

        if (!augmented) {
            if (EatMajorMark()) {
                major = true;
            } else if (EatWord("min") || EatShortWord("mi") || Eat("m") || Eat("-")) {
                minor = true;
                // "m(maj7)": the major seventh may follow in brackets.
                const std::string_view before = rest;
                SkipSeparators();
                if (EatMajorMark()) {
                    major = true;
                } else {
                    rest = before;
                }
            }
        } else if (EatMajorMark()) {
            major = true;
        }
        number = EatNumber();
        if (major) {
            if (number == 0 && (caret || minor || augmented)) number = 7;
            if (number == 0 || OneOf(number, {6, 69}))
                major = false;
            else if (!OneOf(number, {7, 9, 11, 13}))
                return false;
        }
        if (minor) return OneOf(number, {0, 6, 7, 9, 11, 13, 69});
        if (augmented) return OneOf(number, {0, 7, 9, 11, 13});
        return OneOf(number, {0, 2, 4, 5, 6, 7, 9, 11, 13, 69});
    }

    bool ReadDiminished() {
        diminished = true;
        number = EatNumber();
        return OneOf(number, {0, 7});
    }

    bool ReadTension() {
        if (EatWord("sus")) {
            if (Eat("2")) {
                tensions += "sus2";
            } else {
                Eat("4");
                tensions += "sus4";
            }
            return true;
        }
        if (EatWord("alt")) {
            tensions += "alt";
            return OneOf(number, {7, 9, 11, 13}) && !minor && !major;
        }
        if (EatWord("add")) return AddNumber("add", {2, 4, 6, 9, 11, 13});
        if (EatWord("omit") || EatWord("no")) return AddNumber("no", {1, 3, 5});
        if (!rest.empty() &&
            (rest.front() == '#' || rest.front() == '+' || rest.front() == 'b' || rest.front() == '-')) {
            const bool sharp = rest.front() == '#' || rest.front() == '+';
            const bool plus = rest.front() == '+';
            rest.remove_prefix(1);
            // "C7+" is the augmented fifth.
            if (plus && !AtDigit()) return AddTension("#", 5);
            return AddNumber(sharp ? "#" : "b", {5, 6, 9, 11, 13});
        }
        if (!AtDigit()) return false;
        // A bare number in brackets raises the seventh ("7(9)" is a ninth chord) or adds the note.
        const int added = EatNumber();
        if (!OneOf(added, {9, 11, 13})) return false;
        if (!diminished && OneOf(number, {7, 9, 11}) && added > number) {
            number = added;
        } else if (!diminished && number == 6 && added == 9) {
            number = 69;
        } else {
            return AddTension("add", added);
        }
        return true;
    }

    bool AddNumber(std::string_view prefix, std::initializer_list<int> allowed) {
        const int value = EatNumber();
        if (!OneOf(value, allowed)) return false;
        return AddTension(prefix, value);
    }
    bool AddTension(std::string_view prefix, int value) {
        tensions += prefix;
        tensions += std::to_string(value);
        return true;
    }

    std::string Written() const {
        std::string quality;
        if (diminished) {
            quality = number == 7 ? "dim7" : "dim";
        } else if (augmented && number == 0) {
            quality = "aug";
        } else {
            if (minor) quality += "m";
            if (major) quality += "M";
            if (number != 0) quality += std::to_string(number);
            if (augmented) quality += "#5";
        }
        return quality + tensions;
    }

    std::string_view rest;
    bool minor = false;
    bool major = false;
    bool caret = false;
    bool diminished = false;
    bool augmented = false;
    int number = 0; // 6, 7, 9, 11, 13, 69 …; 0 for a triad
    std::string tensions;
};

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

// The nearest quality among those ChordVoicing's rules know.
std::string_view VoicingQuality(std::string_view quality) {
    if (quality.starts_with("mM")) return "mM7";
    if (quality.starts_with("dim")) return "dim";
    // No rule plays a minor sixth or a minor triad: both take the minor seventh, as the rules voice "m".
    if (quality.starts_with("m")) return Contains(quality, "b5") ? "m7b5" : "m7";
    if (quality.starts_with("M")) return "M7";
    // The augmented major seventh of the "alt" rule holds the augmented triad whole.
    if (quality == "aug") return "alt";
    if (quality.starts_with("7") || quality.starts_with("9") || quality.starts_with("1")) {
        if (Contains(quality, "alt")) return "7alt";
        if (Contains(quality, "b9")) return "7b9";
        if (Contains(quality, "b5")) return "7b5";
        return "7";
    }
    if (quality.starts_with("6")) return "6";
    return "";
}

int BarsMetre(int timeTop) {
    return timeTop > 0 ? timeTop : 4;
}

std::string BarError(int bar, std::string_view what) {
    return "bar " + std::to_string(bar + 1) + ": " + std::string(what);
}

// Where the ending starting at bar start stops: at its :‖ (closed), or before the next ending, repeat start
// or section mark, or at the last bar.
struct EndingSpan {
    int last = 0;
    bool closed = false;
};

EndingSpan SpanOfEnding(const std::vector<TuneBar>& bars, int start) {
    const int count = static_cast<int>(bars.size());
    for (int j = start; j < count; ++j) {
        const TuneBar& bar = bars[static_cast<std::size_t>(j)];
        if (j > start && (bar.ending != 0 || bar.repeatStart || !bar.section.empty())) return {j - 1, false};
        if (bar.repeatTimes > 0) return {j, true};
    }
    return {count - 1, false};
}

// The ending that follows a closed ending, or −1.
int NextEnding(const std::vector<TuneBar>& bars, int ending) {
    const EndingSpan span = SpanOfEnding(bars, ending);
    const auto next = static_cast<std::size_t>(span.last + 1);
    if (!span.closed || next >= bars.size()) return -1;
    return bars[next].ending > bars[static_cast<std::size_t>(ending)].ending ? span.last + 1 : -1;
}

// Marks that no play order can follow, whatever the passes.
std::string MissingTarget(const std::vector<TuneBar>& bars) {
    const auto has = [&](bool TuneBar::*mark) {
        return std::any_of(bars.begin(), bars.end(), [&](const TuneBar& bar) { return bar.*mark; });
    };
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int bar = static_cast<int>(i);
        if (bars[i].jump == TuneBar::Jump::DalSegno && !has(&TuneBar::segno))
            return BarError(bar, "D.S. but no bar has a segno");
        if (bars[i].toCoda && !has(&TuneBar::codaMark))
            return BarError(bar, "To Coda but no bar has a coda mark");
        if (bars[i].ending < 0 || bars[i].repeatTimes < 0)
            return BarError(bar, "a negative ending or repeat");
    }
    return {};
}

// Walks the written bars as a player reads them.
class FormWalk {
public:
    explicit FormWalk(const std::vector<TuneBar>& bars) : bars(bars), count(static_cast<int>(bars.size())) {}

    std::vector<int> Walk(std::string& error) {
        error = MissingTarget(bars);
        while (error.empty() && at < count) {
            if (!Step(error)) break;
        }
        if (!error.empty()) order.clear();
        return order;
    }

private:
    const TuneBar& Bar(int index) const { return bars[static_cast<std::size_t>(index)]; }

    // Plays the bar at `at` (or the ending to play in its place) and moves on; false when the form ends.
    bool Step(std::string& error) {
        if (Bar(at).repeatStart && !returning && !jumped) {
            repeatFrom = at;
            pass = 1;
            inEnding = 0;
        }
        returning = false;
        if (Bar(at).ending != 0 && !ChooseEnding(error)) return false;

        order.push_back(at);
        if (static_cast<int>(order.size()) > tune_limits::MaxPlayedBars) {
            error = "the form plays more than " + std::to_string(tune_limits::MaxPlayedBars) +
                    " bars: repeats or jumps that do not end";
            return false;
        }
        const TuneBar& bar = Bar(at);
        if (bar.repeatTimes > 0 && !jumped && Repeat()) return true;
        if (jumped) {
            if (bar.fine) return false;
            if (bar.toCoda && !codaTaken) {
                codaTaken = true;
                at = CodaAfter(at);
                return true;
            }
        } else if (bar.jump != TuneBar::Jump::None) {
            jumped = true;
            at = bar.jump == TuneBar::Jump::DaCapo ? 0 : FirstSegno();
            return true;
        }
        ++at;
        return true;
    }

    // At an ending: the one this pass plays (after a jump, the last one). False with the reason when the
    // pass has no ending.
    bool ChooseEnding(std::string& error) {
        if (jumped) {
            for (int next = NextEnding(bars, at); next >= 0; next = NextEnding(bars, at))
                at = next;
            return true;
        }
        while (Bar(at).ending < pass) {
            const int next = NextEnding(bars, at);
            if (next < 0) {
                error = BarError(at, "no ending follows for pass " + std::to_string(pass));
                return false;
            }
            at = next;
        }
        const int ending = Bar(at).ending;
        if (ending > pass) {
            error = BarError(at, "the " + std::to_string(ending) + ". ending is reached on pass " +
                                     std::to_string(pass));
            return false;
        }
        if (SpanOfEnding(bars, at).closed) {
            if (NextEnding(bars, at) < 0) {
                error = BarError(at, "the " + std::to_string(ending) +
                                         ". ending ends in :| but no later ending follows");
                return false;
            }
            inEnding = ending;
        } else if (ending == 1) {
            error = BarError(at, "the 1. ending is not closed by a :|");
            return false;
        } else {
            // The last ending: the repeat is over.
            inEnding = 0;
            pass = 1;
            repeatFrom = at + 1;
        }
        return true;
    }

    // At a :‖: true when it sends the walk back. Within endings the endings decide; elsewhere the count.
    bool Repeat() {
        const int times = Bar(at).repeatTimes;
        const bool back = inEnding > 0 ? at + 1 < count && Bar(at + 1).ending > inEnding : pass < times;
        inEnding = 0;
        if (!back) {
            pass = 1;
            repeatFrom = at + 1;
            return false;
        }
        ++pass;
        returning = true;
        at = repeatFrom;
        return true;
    }

    int FirstSegno() const {
        const auto segno = std::find_if(bars.begin(), bars.end(), [](const TuneBar& b) { return b.segno; });
        return static_cast<int>(segno - bars.begin());
    }

    // The first coda mark after bar, else the first of all (MissingTarget made sure there is one).
    int CodaAfter(int bar) const {
        for (int j = bar + 1; j < count; ++j) {
            if (Bar(j).codaMark) return j;
        }
        const auto coda = std::find_if(bars.begin(), bars.end(), [](const TuneBar& b) { return b.codaMark; });
        return static_cast<int>(coda - bars.begin());
    }

    const std::vector<TuneBar>& bars;
    const int count;
    std::vector<int> order;
    int at = 0;
    int repeatFrom = 0; // where a :‖ goes back to
    int pass = 1;       // the pass through the current repeat, from 1
    int inEnding = 0;   // the closed ending being played, 0 outside one
    bool returning = false;
    bool jumped = false;
    bool codaTaken = false;
};

} // namespace

std::string ChordSymbol::text() const {
    if (isNoChord()) return std::string(NoChordText);
    std::string written(NoteName(root, flatRoot));
    written += quality;
    if (bass >= 0) {
        written += '/';
        written += NoteName(bass, flatBass);
    }
    return written;
}

ChordSymbol ChordSymbol::transposed(int semitones, bool flatKey) const {
    const int shift = PitchClass(semitones);
    if (shift == 0 || isNoChord()) return *this;
    ChordSymbol moved = *this;
    moved.root = PitchClass(root + shift);
    moved.flatRoot = flatKey && IsBlackKey(moved.root);
    if (bass >= 0) {
        moved.bass = PitchClass(bass + shift);
        moved.flatBass = flatKey && IsBlackKey(moved.bass);
    }
    return moved;
}

std::string ChordSymbol::voicingText() const {
    if (isNoChord()) return {};
    return std::string(NoteName(root, flatRoot)) + std::string(VoicingQuality(quality));
}

std::optional<ChordSymbol> ParseChordSymbol(std::string_view text) {
    const std::string ascii = WithAsciiSigns(TrimBlanks(text));
    std::string_view rest = ascii;
    if (IsNoChord(rest)) return ChordSymbol{};
    const std::optional<WrittenNote> root = ReadNote(rest);
    if (!root) return std::nullopt;
    rest.remove_prefix(root->length);

    ChordSymbol chord;
    chord.root = root->pitchClass;
    chord.flatRoot = root->flat;
    // A slash bass ends the symbol; any other "/" belongs to the quality ("6/9").
    const std::size_t slash = rest.rfind('/');
    if (slash != std::string_view::npos) {
        const std::string_view after = rest.substr(slash + 1);
        const std::optional<WrittenNote> bass = ReadNote(after);
        if (bass && bass->length == after.size()) {
            if (bass->pitchClass != chord.root) {
                chord.bass = bass->pitchClass;
                chord.flatBass = bass->flat;
            }
            rest = rest.substr(0, slash);
        }
    }
    std::optional<std::string> quality = QualityReader(rest).Read();
    if (!quality) return std::nullopt;
    chord.quality = std::move(*quality);
    return chord;
}

std::vector<int> PlayOrder(const Tune& tune, std::string* error) {
    std::string reason;
    std::vector<int> order = FormWalk(tune.bars).Walk(reason);
    if (error) *error = std::move(reason);
    return order;
}

void ShareBeats(std::vector<TuneChord>& chords, int barBeats) {
    int given = 0;
    int unset = 0;
    for (const TuneChord& chord : chords) {
        if (chord.beats > 0) {
            given += chord.beats;
        } else {
            ++unset;
        }
    }
    if (unset == 0) return;
    const int left = std::max(0, barBeats - given);
    int share = 0;
    for (TuneChord& chord : chords) {
        if (chord.beats > 0) continue;
        chord.beats = left / unset + (share < left % unset ? 1 : 0);
        ++share;
    }
}

std::vector<PlayedBar> PlayedForm(const Tune& tune, const std::vector<int>& order) {
    // The metre of each written bar, as the time signatures before it leave it.
    std::vector<int> metre(tune.bars.size());
    int beats = BarsMetre(tune.timeTop);
    for (std::size_t i = 0; i < tune.bars.size(); ++i) {
        if (tune.bars[i].timeTop > 0) beats = tune.bars[i].timeTop;
        metre[i] = beats;
    }

    std::vector<PlayedBar> form;
    std::optional<TuneChord> sounding;
    for (const int index : order) {
        if (index < 0 || static_cast<std::size_t>(index) >= tune.bars.size()) continue;
        const TuneBar& bar = tune.bars[static_cast<std::size_t>(index)];
        PlayedBar played{index, metre[static_cast<std::size_t>(index)], {}};
        if (bar.noChord) {
            sounding = TuneChord{};
        } else if (!bar.chords.empty()) {
            std::vector<TuneChord> chords = bar.chords;
            ShareBeats(chords, played.beats);
            for (TuneChord& chord : chords) {
                if (chord.beats <= 0) continue;
                played.chords.push_back(chord);
                sounding = std::move(chord);
            }
        }
        if (played.chords.empty() && sounding) {
            played.chords.push_back(*sounding);
            played.chords.back().beats = played.beats;
        }
        form.push_back(std::move(played));
    }
    return form;
}

Tune TransposedTune(const Tune& tune, int semitones) {
    const int shift = PitchClass(semitones);
    if (shift == 0) return tune;
    Tune moved = tune;
    moved.key = PitchClass(tune.key + shift);
    moved.flatKey = KeyUsesFlats(moved.key, tune.minorKey ? 0 : 1);
    for (TuneBar& bar : moved.bars) {
        for (TuneChord& chord : bar.chords) {
            chord.chord = chord.chord.transposed(shift, moved.flatKey);
            if (chord.alternate) chord.alternate = chord.alternate->transposed(shift, moved.flatKey);
        }
    }
    return moved;
}

} // namespace orbel
