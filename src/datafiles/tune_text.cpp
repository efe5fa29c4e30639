#include "datafiles/tune_text.h"

#include "datafiles/bounded_read.h"
#include "datafiles/text_encoding.h"
#include "theory/note_names.h"
#include "theory/sequence_text.h"
#include "theory/spelling.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace orbel {

namespace {

namespace chart_words {
static constexpr std::string_view Title = "Title";
static constexpr std::string_view Composer = "Composer";
static constexpr std::string_view Style = "Style";
static constexpr std::string_view Key = "Key";
static constexpr std::string_view Time = "Time";
static constexpr std::string_view Segno = "Segno";
static constexpr std::string_view SegnoSign = "𝄋";
static constexpr std::string_view Coda = "Coda";
static constexpr std::string_view CodaSign = "𝄌";
static constexpr std::string_view To = "To";
static constexpr std::string_view Fine = "Fine";
static constexpr std::string_view Al = "al";
static constexpr std::string_view DalSegno = "D.S.";
static constexpr std::string_view DaCapo = "D.C.";
static constexpr std::string_view RepeatPrevious = "%";
static constexpr std::string_view GoesOn = "/";
static constexpr std::string_view Beat = ".";
static constexpr std::string_view NoChord = "N.C.";
static constexpr std::string_view Minor = "minor";
static constexpr std::string_view Major = "major";
} // namespace chart_words

static constexpr int BarsPerLine = 4;

bool SameWord(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool EndsWithWord(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && SameWord(text.substr(text.size() - word.size()), word);
}

bool IsDigit(char ch) {
    return ch >= '0' && ch <= '9';
}

// The number text holds and nothing else; −1 when it is not one or has more than two digits.
int SmallNumber(std::string_view text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), IsDigit)) return -1;
    return std::stoi(std::string(text));
}

// "D.S." or "DS", "D.C." or "DC", in any case and with the dots or without.
TuneBar::Jump JumpWord(std::string_view word) {
    std::string letters;
    for (const char ch : word) {
        if (ch != '.') letters += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    }
    if (letters == "DS") return TuneBar::Jump::DalSegno;
    if (letters == "DC") return TuneBar::Jump::DaCapo;
    return TuneBar::Jump::None;
}

// "n/4", a metre over quarter notes; 0 for any other word.
int MetreWord(std::string_view word) {
    const std::size_t slash = word.find('/');
    if (slash == std::string_view::npos || word.substr(slash + 1) != "4") return 0;
    const int top = SmallNumber(word.substr(0, slash));
    return top >= 1 && top <= tune_text_limits::MaxMetre ? top : 0;
}

// "1." … "9."; 0 for any other word.
int EndingWord(std::string_view word) {
    if (word.size() != 2 || word[1] != '.' || !IsDigit(word[0])) return 0;
    return word[0] - '0';
}

std::vector<std::string_view> TextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// Appended piece by piece: a literal plus a new string trips a false -Wrestrict in GCC 12.
std::string Quoted(std::string_view text) {
    std::string quoted(1, '"');
    quoted += text;
    quoted += '"';
    return quoted;
}

// A bar line: ":|" ends a repeat (times in all), "|:" starts one.
struct BarLine {
    bool end = false;
    int times = 2;
    bool start = false;
};

// One piece of a line of bars.
struct Piece {
    enum class Kind { BarLine, Section, Word } kind = Kind::Word;
    BarLine barLine;
    std::string_view text;
};

// What is written between two bar lines: the marks as a bar holds them, and the chords with their dots.
struct Segment {
    TuneBar marks;
    std::vector<TuneChord> chords;
    int dots = 0;
    bool anyDot = false;
    bool repeatPrevious = false;
    bool goesOn = false;
    bool HasContent() const { return !chords.empty() || repeatPrevious || goesOn; }
};

// A jump's "al Coda" or "al Fine", checked once the whole chart is read.
struct JumpTarget {
    int line = 0;
    bool coda = false;
};

class ChartReader {
public:
    // A chart without a Key line is in C major, which spells with flats.
    ChartReader() { tune.flatKey = KeyUsesFlats(tune.key, 1); }

    TuneTextResult Read(std::string_view text) {
        if (text.starts_with(text_bytes::Utf8Bom)) text.remove_prefix(text_bytes::Utf8Bom.size());
        for (const std::string_view raw : TextLines(text)) {
            ++line;
            std::string prepared(raw);
            std::replace(prepared.begin(), prepared.end(), '\t', ' ');
            const std::string_view trimmed = TrimBlanks(prepared);
            if (trimmed.empty() || trimmed.front() == '#') continue;
            if (!ReadLine(trimmed)) return Failed();
        }
        if (hasPending) return Fail("marks after the last bar, with no bar for them");
        if (tune.bars.empty()) return Fail("the chart has no bars");
        for (const JumpTarget& target : targets) {
            line = target.line;
            if (target.coda && !tune.anyBar(&TuneBar::toCoda))
                return Fail("al Coda, but no bar says To Coda");
            if (!target.coda && !tune.anyBar(&TuneBar::fine)) return Fail("al Fine, but no bar says Fine");
        }
        std::string reason;
        if (PlayOrder(tune, &reason).empty()) {
            error = "the form cannot be played: " + reason;
            return Failed();
        }
        return {std::move(tune), {}};
    }

private:
    TuneTextResult Fail(std::string_view what) {
        error = "line " + std::to_string(line) + ": " + std::string(what);
        return Failed();
    }
    TuneTextResult Failed() const { return {std::nullopt, QString::fromStdString(error)}; }
    bool Refuse(std::string_view what) {
        Fail(what);
        return false;
    }

    bool ReadLine(std::string_view text) {
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos && colon > 0 &&
            (colon + 1 == text.size() || text[colon + 1] != '|')) {
            const std::string_view name = TrimBlanks(text.substr(0, colon));
            if (std::all_of(name.begin(), name.end(),
                            [](char ch) { return std::isalpha(static_cast<unsigned char>(ch)); }))
                return ReadField(name, TrimBlanks(text.substr(colon + 1)));
        }
        return ReadBars(text);
    }

    bool ReadField(std::string_view name, std::string_view value) {
        if (!tune.bars.empty() || hasPending)
            return Refuse("the fields (" + std::string(name) + ":) come before the bars");
        if (SameWord(name, chart_words::Title)) return KeepText(tune.title, value, "the title");
        if (SameWord(name, chart_words::Composer)) return KeepText(tune.composer, value, "the composer");
        if (SameWord(name, chart_words::Style)) return KeepText(tune.style, value, "the style");
        if (SameWord(name, chart_words::Key)) return ReadKey(value);
        if (SameWord(name, chart_words::Time)) {
            tune.timeTop = MetreWord(value);
            metre = tune.timeTop;
            return tune.timeTop > 0 ||
                   Refuse("the time is written n/4 (3/4, 4/4, 5/4 …), not " + Quoted(value));
        }
        return Refuse("unknown field " + Quoted(name) + " (Title, Composer, Style, Key, Time)");
    }

    bool KeepText(std::string& field, std::string_view value, std::string_view what) {
        if (SplitCharacters(value).size() > static_cast<std::size_t>(tune_limits::MaxTextChars)) {
            return Refuse(std::string(what) + " is longer than " + std::to_string(tune_limits::MaxTextChars) +
                          " characters");
        }
        field = std::string(value);
        return true;
    }

    bool ReadKey(std::string_view value) {
        bool minor = EndsWithWord(value, chart_words::Minor);
        std::string_view tonic = value;
        // "minor" and "major" are of one length.
        if (minor || EndsWithWord(value, chart_words::Major))
            tonic = TrimBlanks(value.substr(0, value.size() - chart_words::Minor.size()));
        const std::optional<ChordSymbol> key = ParseChordSymbol(tonic);
        if (!key || key->isNoChord() || key->bass >= 0 || (key->quality != "" && key->quality != "m"))
            return Refuse("the key is a note name with m for minor (F, Bb, F#m, Eb minor), not " +
                          Quoted(value));
        minor = minor || key->quality == "m";
        tune.key = key->root;
        tune.minorKey = minor;
        // A white key spells as the key asks (F with flats, G with sharps); a black one as it is written.
        tune.flatKey = IsBlackKey(key->root) ? key->flatRoot : KeyUsesFlats(key->root, minor ? 0 : 1);
        return true;
    }

    // Splits a line of bars into bar lines, section marks and words.
    bool Pieces(std::string_view text, std::vector<Piece>& pieces) {
        const auto endsRepeat = [&](std::size_t at) {
            return text[at] == ':' && at + 1 < text.size() && text[at + 1] == '|';
        };
        for (std::size_t at = 0; at < text.size();) {
            const char ch = text[at];
            if (ch == ' ') {
                ++at;
            } else if (endsRepeat(at) || ch == '|') {
                Piece piece{Piece::Kind::BarLine, {}, {}};
                piece.barLine.end = ch == ':';
                at += piece.barLine.end ? 2 : 1;
                while (!piece.barLine.end && at < text.size() && text[at] == '|')
                    ++at;
                if (piece.barLine.end && at + 1 < text.size() && (text[at] == 'x' || text[at] == 'X') &&
                    IsDigit(text[at + 1])) {
                    const std::size_t digits = at + 1;
                    for (at = digits; at < text.size() && IsDigit(text[at]);)
                        ++at;
                    piece.barLine.times = SmallNumber(text.substr(digits, at - digits));
                    if (piece.barLine.times < 2 || piece.barLine.times > tune_text_limits::MaxRepeatTimes) {
                        return Refuse("a repeat is played x2 to x" +
                                      std::to_string(tune_text_limits::MaxRepeatTimes) + " times, not " +
                                      Quoted(text.substr(digits - 1, at - digits + 1)));
                    }
                }
                if (at < text.size() && text[at] == ':') {
                    piece.barLine.start = true;
                    ++at;
                }
                pieces.push_back(piece);
            } else if (ch == '[') {
                // A mark stays within its bar.
                const std::size_t close = text.find_first_of("[]|", at + 1);
                if (close == std::string_view::npos || text[close] != ']')
                    return Refuse("a section mark [ without its ]");
                pieces.push_back({Piece::Kind::Section, {}, TrimBlanks(text.substr(at + 1, close - at - 1))});
                at = close + 1;
            } else {
                std::size_t end = at;
                while (end < text.size() && text[end] != ' ' && text[end] != '|' && text[end] != '[' &&
                       !endsRepeat(end))
                    ++end;
                pieces.push_back({Piece::Kind::Word, {}, text.substr(at, end - at)});
                at = end;
            }
        }
        return true;
    }

    bool ReadBars(std::string_view text) {
        std::vector<Piece> pieces;
        if (!Pieces(text, pieces)) return false;
        std::vector<Piece> segment;
        for (const Piece& piece : pieces) {
            if (piece.kind != Piece::Kind::BarLine) {
                segment.push_back(piece);
                continue;
            }
            if (!ReadSegment(segment)) return false;
            segment.clear();
            if (piece.barLine.end) {
                if (tune.bars.empty()) return Refuse(":| before the first bar");
                if (tune.bars.back().repeatTimes > 0) return Refuse("two :| after one bar");
                tune.bars.back().repeatTimes = piece.barLine.times;
            }
            if (piece.barLine.start) {
                pending.repeatStart = true;
                hasPending = true;
            }
        }
        return ReadSegment(segment);
    }

    // The words and marks between two bar lines: a bar, or marks for the bars around them.
    bool ReadSegment(const std::vector<Piece>& pieces) {
        Segment segment;
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (!ReadPiece(pieces, k, segment)) return false;
        }
        if (!segment.HasContent()) {
            TuneBar start;
            TuneBar end;
            SplitMarks(segment.marks, start, end);
            if (end != TuneBar{}) {
                if (tune.bars.empty()) return Refuse("Fine, To Coda, D.S. or D.C. before the first bar");
                if (!MergeMarks(tune.bars.back(), end)) return false;
            }
            if (start != TuneBar{}) {
                hasPending = true;
                return MergeMarks(pending, start);
            }
            return true;
        }
        return AddBar(segment);
    }

    // The piece at k, and the words after it that belong to it ("To Coda", "D.S. al Fine").
    bool ReadPiece(const std::vector<Piece>& pieces, std::size_t& k, Segment& segment) {
        const auto after = [&](std::size_t ahead) {
            return k + ahead < pieces.size() ? pieces[k + ahead].text : std::string_view();
        };
        TuneBar& marks = segment.marks;
        const std::string_view word = pieces[k].text;
        const std::string_view next = after(1);
        if (pieces[k].kind == Piece::Kind::Section) {
            if (word.empty()) return Refuse("an empty section mark []");
            if (!marks.section.empty()) return Refuse("two section marks for one bar");
            return KeepText(marks.section, word, "a section mark");
        }
        if (SameWord(word, chart_words::Segno) || word == chart_words::SegnoSign) {
            marks.segno = true;
        } else if (SameWord(word, chart_words::Coda) || word == chart_words::CodaSign) {
            marks.codaMark = true;
        } else if (SameWord(word, chart_words::To) &&
                   (SameWord(next, chart_words::Coda) || next == chart_words::CodaSign)) {
            marks.toCoda = true;
            ++k;
        } else if (SameWord(word, chart_words::Fine)) {
            marks.fine = true;
        } else if (JumpWord(word) != TuneBar::Jump::None) {
            if (marks.jump != TuneBar::Jump::None) return Refuse("two jumps in one bar");
            marks.jump = JumpWord(word);
            if (SameWord(next, chart_words::Al)) {
                const std::string_view target = after(2);
                if (!SameWord(target, chart_words::Coda) && !SameWord(target, chart_words::Fine))
                    return Refuse("a jump is al Coda or al Fine, not al " + Quoted(target));
                targets.push_back({line, SameWord(target, chart_words::Coda)});
                k += 2;
            }
        } else if (EndingWord(word) > 0) {
            if (marks.ending != 0) return Refuse("two endings in one bar");
            marks.ending = EndingWord(word);
        } else if (MetreWord(word) > 0) {
            marks.timeTop = MetreWord(word);
        } else if (word == chart_words::RepeatPrevious) {
            segment.repeatPrevious = true;
        } else if (word == chart_words::GoesOn) {
            segment.goesOn = true;
        } else if (word == chart_words::Beat) {
            if (segment.chords.empty()) return Refuse("a beat . with no chord before it");
            ++segment.chords.back().beats;
            segment.anyDot = true;
        } else if (word.size() > 2 && word.front() == '(' && word.back() == ')') {
            const std::optional<ChordSymbol> alternate = ParseChordSymbol(word.substr(1, word.size() - 2));
            if (!alternate) return Refuse("unknown chord " + Quoted(word));
            if (segment.chords.empty() || segment.chords.back().alternate || segment.chords.back().beats > 0)
                return Refuse("an alternate chord " + Quoted(word) + " comes right after its chord");
            segment.chords.back().alternate = alternate;
        } else {
            const std::optional<ChordSymbol> chord = ParseChordSymbol(word);
            if (!chord) return Refuse("unknown chord " + Quoted(word));
            segment.chords.push_back({*chord, std::nullopt, 0});
        }
        return true;
    }

    static void SplitMarks(const TuneBar& marks, TuneBar& start, TuneBar& end) {
        start.section = marks.section;
        start.timeTop = marks.timeTop;
        start.segno = marks.segno;
        start.codaMark = marks.codaMark;
        start.ending = marks.ending;
        start.repeatStart = marks.repeatStart;
        end.fine = marks.fine;
        end.toCoda = marks.toCoda;
        end.jump = marks.jump;
    }

    // Adds the marks of from to into; two of a kind that a bar holds once are refused.
    bool MergeMarks(TuneBar& into, const TuneBar& from) {
        if (!from.section.empty()) {
            if (!into.section.empty()) return Refuse("two section marks for one bar");
            into.section = from.section;
        }
        if (from.ending != 0) {
            if (into.ending != 0) return Refuse("two endings in one bar");
            into.ending = from.ending;
        }
        if (from.jump != TuneBar::Jump::None) {
            if (into.jump != TuneBar::Jump::None) return Refuse("two jumps in one bar");
            into.jump = from.jump;
        }
        if (from.timeTop != 0) into.timeTop = from.timeTop;
        into.repeatStart |= from.repeatStart;
        into.segno |= from.segno;
        into.codaMark |= from.codaMark;
        into.fine |= from.fine;
        into.toCoda |= from.toCoda;
        return true;
    }

    bool AddBar(Segment& segment) {
        if (static_cast<int>(tune.bars.size()) == tune_limits::MaxBars)
            return Refuse("more than " + std::to_string(tune_limits::MaxBars) + " bars");
        TuneBar bar = pending;
        pending = TuneBar{};
        hasPending = false;
        if (!MergeMarks(bar, segment.marks)) return false;
        if (bar.timeTop != 0) metre = bar.timeTop;

        const int alone = static_cast<int>(segment.repeatPrevious) + static_cast<int>(segment.goesOn);
        if (alone > 1 || (alone == 1 && !segment.chords.empty()))
            return Refuse("% and / stand alone in their bar");
        std::vector<TuneChord>& chords = segment.chords;
        if (segment.repeatPrevious) {
            if (tune.bars.empty()) return Refuse("% with no bar before it");
            bar.chords = tune.bars.back().chords;
            bar.noChord = tune.bars.back().noChord;
        } else if (chords.size() == 1 && chords[0].chord.isNoChord() && !segment.anyDot &&
                   !chords[0].alternate) {
            bar.noChord = true;
        } else {
            if (static_cast<int>(chords.size()) > tune_limits::MaxChordsPerBar)
                return Refuse("a bar holds at most " + std::to_string(tune_limits::MaxChordsPerBar) +
                              " chords");
            if (!CheckBeats(chords, segment.anyDot)) return false;
            bar.chords = std::move(chords);
        }
        tune.bars.push_back(std::move(bar));
        return true;
    }

    // With dots every chord lasts one beat and one a dot, and they fill the bar; without, they share it.
    bool CheckBeats(std::vector<TuneChord>& chords, bool anyDot) {
        if (!anyDot) {
            if (static_cast<int>(chords.size()) <= metre) return true;
            return Refuse(std::to_string(chords.size()) + " chords in a bar of " + std::to_string(metre) +
                          " beats");
        }
        int sum = 0;
        for (TuneChord& chord : chords) {
            ++chord.beats;
            sum += chord.beats;
        }
        if (sum == metre) return true;
        return Refuse("the chords' beats add up to " + std::to_string(sum) + ", but the bar has " +
                      std::to_string(metre));
    }

    Tune tune;
    TuneBar pending; // marks and ‖: for the next bar
    bool hasPending = false;
    int metre = 4;
    int line = 0;
    std::vector<JumpTarget> targets;
    std::string error;
};

// ---- writing ----

// A text from another reader as one line of a chart: its line ends (and, in a section mark, its brackets)
// would end the field or the mark early.
std::string OneLine(std::string_view text, bool inBrackets) {
    std::string line(text);
    for (char& ch : line) {
        if (ch == '\n' || ch == '\r' || ch == '\t') ch = ' ';
        if (inBrackets && ch == '[') ch = '(';
        if (inBrackets && ch == ']') ch = ')';
    }
    return line;
}

std::string FieldLine(std::string_view name, std::string_view value) {
    return std::string(name) + ": " + OneLine(value, false) + "\n";
}

std::string Spaced(std::string_view word) {
    std::string spaced;
    if (!word.empty()) spaced.append(1, ' ').append(word);
    return spaced;
}

// The chords of a bar as the reader reads them back; "%" for the chords of the bar before.
std::string BarContent(const TuneBar& bar, const TuneBar* previous, int metre) {
    if (bar.chords.empty()) return std::string(bar.noChord ? chart_words::NoChord : chart_words::GoesOn);
    // Not in an ending: one that repeats the bar before it reads better in full.
    if (previous && bar.ending == 0 && previous->chords == bar.chords && previous->noChord == bar.noChord)
        return std::string(chart_words::RepeatPrevious);
    std::vector<TuneChord> chords = bar.chords;
    const bool dotted =
        std::any_of(chords.begin(), chords.end(), [](const TuneChord& c) { return c.beats > 0; });
    if (dotted) ShareBeats(chords, metre);
    std::string words;
    for (const TuneChord& chord : chords) {
        words += Spaced(chord.chord.text());
        if (chord.alternate) words += " (" + chord.alternate->text() + ")";
        for (int beat = 1; dotted && beat < chord.beats; ++beat)
            words += Spaced(chart_words::Beat);
    }
    return words.substr(1);
}

std::string StartMarks(const TuneBar& bar) {
    std::string words;
    if (bar.ending > 0) words += Spaced(std::to_string(bar.ending) + ".");
    if (bar.segno) words += Spaced(chart_words::Segno);
    if (bar.codaMark) words += Spaced(chart_words::Coda);
    if (bar.timeTop > 0) words += Spaced(std::to_string(bar.timeTop) + "/4");
    return words;
}

std::string EndMarks(const TuneBar& bar, const Tune& tune) {
    std::string words;
    if (bar.fine) words += Spaced(chart_words::Fine);
    if (bar.toCoda) words += Spaced(std::string(chart_words::To) + " " + std::string(chart_words::Coda));
    if (bar.jump == TuneBar::Jump::None) return words;
    words += Spaced(bar.jump == TuneBar::Jump::DaCapo ? chart_words::DaCapo : chart_words::DalSegno);
    if (tune.anyBar(&TuneBar::toCoda)) {
        words += " al " + std::string(chart_words::Coda);
    } else if (tune.anyBar(&TuneBar::fine)) {
        words += " al " + std::string(chart_words::Fine);
    }
    return words;
}

std::string ClosingBarLine(const TuneBar& bar) {
    if (bar.repeatTimes <= 0) return "|";
    return bar.repeatTimes == 2 ? ":|" : ":|x" + std::to_string(bar.repeatTimes);
}

QString ReadFailureText(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::Missing:
        return QStringLiteral("no such file");
    case ReadFailure::NotRegularFile:
        return QStringLiteral("not a file");
    case ReadFailure::TooLarge:
        return QStringLiteral("larger than %1 bytes: not a chord chart").arg(tune_text_limits::MaxFileBytes);
    case ReadFailure::Unreadable:
        break;
    }
    return QStringLiteral("cannot be read");
}

} // namespace

TuneTextResult ParseTuneText(std::string_view text) {
    return ChartReader().Read(text);
}

TuneTextResult ReadTuneText(const QString& path) {
    const BoundedRead file = ReadRegularFile(path, tune_text_limits::MaxFileBytes);
    if (!file.bytes) return {std::nullopt, path + QStringLiteral(": ") + ReadFailureText(file.failure)};
    TuneTextResult result = ParseTuneText(DecodeText(*file.bytes).text.toStdString());
    if (!result.error.isEmpty()) result.error = path + QStringLiteral(": ") + result.error;
    return result;
}

std::string TuneToText(const Tune& tune) {
    std::string text;
    if (!tune.title.empty()) text += FieldLine(chart_words::Title, tune.title);
    if (!tune.composer.empty()) text += FieldLine(chart_words::Composer, tune.composer);
    if (!tune.style.empty()) text += FieldLine(chart_words::Style, tune.style);
    const std::string_view tonic =
        NoteNameCell(PitchClass(tune.key), tune.flatKey ? NameColumn::Flat : NameColumn::Sharp);
    text += FieldLine(chart_words::Key, std::string(tonic) + (tune.minorKey ? "m" : ""));
    text += FieldLine(chart_words::Time, std::to_string(tune.timeTop) + "/4");
    text += "\n";

    std::string line;
    int onLine = 0;
    int metre = tune.timeTop;
    for (std::size_t i = 0; i < tune.bars.size(); ++i) {
        const TuneBar& bar = tune.bars[i];
        if (onLine == BarsPerLine || (onLine > 0 && !bar.section.empty())) {
            text += line + "\n";
            line.clear();
            onLine = 0;
        }
        if (onLine == 0) {
            if (!bar.section.empty()) line.append("[").append(OneLine(bar.section, true)).append("] ");
            line += bar.repeatStart ? "|:" : "|";
        } else if (bar.repeatStart) {
            line += line.ends_with(" |") ? ":" : " |:";
        }
        if (bar.timeTop > 0) metre = bar.timeTop;
        line += StartMarks(bar) + " " + BarContent(bar, i > 0 ? &tune.bars[i - 1] : nullptr, metre) +
                EndMarks(bar, tune) + " " + ClosingBarLine(bar);
        ++onLine;
    }
    return text + line + "\n";
}

} // namespace orbel
