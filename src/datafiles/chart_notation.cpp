#include "datafiles/chart_notation.h"

#include "datafiles/lead_sheet_marks.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

namespace orbel {

namespace {

namespace chart_limits {
// A chord symbol of a chart is a root and a few tensions; a longer run of chord letters is no symbol.
static constexpr qsizetype MostChordChars = 24;
// "<8x>": a section played more often than this is not a form to practise.
static constexpr int MostRepeatTimes = 99;
} // namespace chart_limits

struct TimeToken {
    std::u16string_view digits;
    int top = 4; // beats of a bar in the tune model
};
// Cut time is two half notes, four beats.
static constexpr std::array<TimeToken, 5> Times = {
    {{u"44", 4}, {u"34", 3}, {u"54", 5}, {u"64", 6}, {u"22", 4}}};

struct SectionLetter {
    char16_t letter;
    std::string_view name;
};
static constexpr std::array<SectionLetter, 3> NamedSections = {
    {{u'V', "Verse"}, {u'v', "Verse"}, {u'i', "Intro"}}};

// Characters of a chord's quality after its root, as charts write them.
bool IsQualityChar(QChar ch) {
    static constexpr std::u16string_view Signs = u"0123456789^-+#bho\u00f8\u0394\u00b0";
    return Signs.find(ch.unicode()) != std::u16string_view::npos;
}
// Words of a quality; their letters would otherwise be read as marks ("s" small chords, "l" large, "n" N.C.).
static constexpr std::array<std::u16string_view, 7> QualityWords = {u"sus", u"add", u"alt", u"maj",
                                                                    u"min", u"dim", u"aug"};

bool IsRootLetter(QChar ch) {
    return ch >= u'A' && ch <= u'G';
}

QString BothChordsAndRepeat() {
    return QStringLiteral("the bar has both chords and a repeat sign.");
}

QString Quoted(QStringView text) {
    return QStringLiteral("\u201c%1\u201d").arg(text);
}

// Marks that belong to the end of a bar: they go to the bar before when written where no bar is.
void MoveClosingMarks(TuneBar& from, TuneBar& to) {
    if (from.repeatTimes > 0) to.repeatTimes = std::exchange(from.repeatTimes, 0);
    if (from.jump != TuneBar::Jump::None) to.jump = std::exchange(from.jump, TuneBar::Jump::None);
    to.fine = to.fine || std::exchange(from.fine, false);
    to.toCoda = to.toCoda || std::exchange(from.toCoda, false);
}

struct PlacedChord {
    TuneChord chord;
    int cell = 0; // counted from the bar's first chord
};

// Beats by cells when the bar's cells are a whole number of cells a beat and every chord starts on a beat;
// else even shares, the first chords taking the odd beat. Nothing when the chords do not fit.
std::optional<std::vector<TuneChord>> ChordsWithBeats(std::vector<PlacedChord> placed, int cells, int beats) {
    if (static_cast<int>(placed.size()) > std::min(beats, tune_limits::MaxChordsPerBar)) return std::nullopt;
    const int perBeat = cells >= beats && cells % beats == 0 ? cells / beats : 0;
    const bool onBeats = perBeat > 0 && std::all_of(placed.begin(), placed.end(), [&](const PlacedChord& p) {
                             return p.cell % perBeat == 0;
                         });
    std::vector<TuneChord> chords;
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const int end = i + 1 < placed.size() ? placed[i + 1].cell : cells;
        placed[i].chord.beats = onBeats ? (end - placed[i].cell) / perBeat : 0;
        chords.push_back(std::move(placed[i].chord));
    }
    ShareBeats(chords, beats);
    return chords;
}

// The bar being written: its marks, its chords on their cells, or the repeat sign standing for it.
struct OpenBar {
    TuneBar marks;
    CodaMarks coda;
    int timeTop = 0; // a time signature written for it
    std::vector<PlacedChord> chords;
    int cells = 0;       // cells from the first chord on
    int repeatsBars = 0; // 1 for the one-bar repeat sign, 2 for the two-bar sign
    bool hasContent() const { return !chords.empty() || repeatsBars > 0; }
};

class ChartReader {
public:
    explicit ChartReader(QStringView chart) : text_(chart) {}

    ChartBars read() {
        while (at_ < text_.size() && error_.isEmpty())
            readSymbol();
        if (error_.isEmpty()) closeBar(false);
        if (error_.isEmpty() && bars_.empty()) error_ = QStringLiteral("its chart has no chords.");
        if (!error_.isEmpty()) return {{}, 4, error_};
        ResolveCodaSigns(bars_);
        return {std::move(bars_), firstTimeTop_, {}};
    }

private:
    void refuse(const QString& why) {
        if (error_.isEmpty()) error_ = QStringLiteral("bar %1: %2").arg(bars_.size() + 1).arg(why);
    }
    QChar peek(qsizetype ahead) const { return at_ + ahead < text_.size() ? text_[at_ + ahead] : QChar(); }
    // The symbol at the reading place as written, for a refusal.
    QString symbol(qsizetype length) const {
        return Quoted(text_.sliced(at_, std::min(length, text_.size() - at_)));
    }

    void readSymbol() {
        const QChar ch = text_[at_];
        switch (ch.unicode()) {
        case u' ':
            if (!open_.chords.empty()) ++open_.cells;
            break;
        // Commas pack chords without a blank cell; line ends, spaces of the markup and size marks only lay
        // the chart out; the end mark, the fermata and vertical space have no place in the tune model.
        case u',':
        case u'\n':
        case u'\r':
        case u'\t':
        case u'\u00a0':
        case u's':
        case u'l':
        case u'U':
        case u'f':
        case u'Y':
            break;
        case u'|':
        case u']':
        case u'Z':
            closeBar(false);
            break;
        case u'}':
            closeBar(true);
            break;
        case u'[':
            openMark();
            break;
        case u'{':
            openMark();
            open_.marks.repeatStart = true;
            lastEnding_ = 0;
            break;
        case u'T':
            return readTime();
        case u'*':
            return readSection();
        case u'N':
            return readEnding();
        case u'S':
            openMark();
            open_.marks.segno = true;
            break;
        case u'Q':
            open_.coda.codaSign = true;
            break;
        case u'<':
            return readText();
        case u'(':
            return readAlternate();
        case u'x':
        case u'r':
            if (!open_.chords.empty()) return refuse(BothChordsAndRepeat());
            open_.repeatsBars = ch == u'x' ? 1 : 2;
            break;
        case u'n':
            place(ChordSymbol{});
            break;
        case u'p':
            readSlash();
            break;
        default:
            if (IsRootLetter(ch) || ch == u'W') return readChord();
            return refuse(QStringLiteral("%1 is not chord-chart notation.").arg(symbol(1)));
        }
        ++at_;
    }

    // A mark that starts a bar ends the bar before when that bar has chords and no bar line yet.
    void openMark() {
        if (open_.hasContent()) closeBar(false);
    }

    void readTime() {
        const QStringView digits = text_.sliced(at_ + 1, std::min<qsizetype>(2, text_.size() - at_ - 1));
        const auto time = std::find_if(Times.begin(), Times.end(),
                                       [&](const TimeToken& t) { return digits == QStringView(t.digits); });
        if (time == Times.end()) {
            const QString written = digits == u"12" ? QStringLiteral("12/8")
                                    : digits.size() == 2
                                        ? QStringLiteral("%1/%2").arg(digits[0]).arg(digits[1])
                                        : QStringLiteral("T") + digits.toString();
            return refuse(
                QStringLiteral("the time signature %1 cannot be read; only 3/4, 4/4, 5/4, 6/4 and 2/2 can.")
                    .arg(written));
        }
        openMark();
        open_.timeTop = time->top;
        at_ += 3;
    }

    void readSection() {
        const QChar letter = peek(1);
        const auto named = std::find_if(NamedSections.begin(), NamedSections.end(),
                                        [&](const SectionLetter& s) { return s.letter == letter.unicode(); });
        if (named == NamedSections.end() && !(letter >= u'A' && letter <= u'Z'))
            return refuse(QStringLiteral("%1 is not a section mark.").arg(symbol(2)));
        openMark();
        open_.marks.section = named != NamedSections.end()
                                  ? std::string(named->name)
                                  : std::string(1, static_cast<char>(letter.unicode()));
        at_ += 2;
    }

    // "N1", "N2", "N3"; "N0" is an ending without a number: the one after the last.
    void readEnding() {
        const QChar digit = peek(1);
        if (!digit.isDigit() || digit.unicode() > u'9')
            return refuse(QStringLiteral("%1 is not an ending.").arg(symbol(2)));
        openMark();
        const int number = digit.unicode() - u'0';
        lastEnding_ = number > 0 ? number : lastEnding_ + 1;
        open_.marks.ending = lastEnding_;
        at_ += 2;
    }

    // Texts under the chart: jumps, "Fine", "To Coda", or how often a repeat is played ("<3x>").
    void readText() {
        const qsizetype close = text_.indexOf(u'>', at_ + 1);
        if (close < 0)
            return refuse(QStringLiteral("a text starting with \u201c<\u201d has no closing \u201c>\u201d."));
        QStringView words = text_.sliced(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        // "*36": how high the text is drawn.
        if (words.size() >= 3 && words[0] == u'*' && words[1].isDigit() && words[2].isDigit())
            words = words.sliced(3);
        words = words.trimmed();
        if (words.size() >= 2 && words.back() == u'x') {
            bool number = false;
            const int times = words.chopped(1).trimmed().toInt(&number);
            if (number && times >= 2) {
                repeatTimes_ = std::min(times, chart_limits::MostRepeatTimes);
                return;
            }
        }
        ReadJumpWords(words, open_.marks, open_.coda);
    }

    // The extent of a chord symbol starting at from: root, quality, slash bass.
    qsizetype chordEnd(qsizetype from) const {
        qsizetype end = from + 1;
        const auto at = [&](qsizetype i) { return i < text_.size() ? text_[i] : QChar(); };
        if (at(end) == u'#' || at(end) == u'b') ++end;
        while (end < text_.size()) {
            const QChar ch = text_[end];
            const auto word =
                std::find_if(QualityWords.begin(), QualityWords.end(), [&](std::u16string_view w) {
                    return text_.sliced(end).startsWith(QStringView(w));
                });
            if (IsQualityChar(ch)) {
                ++end;
            } else if (word != QualityWords.end()) {
                end += static_cast<qsizetype>(word->size());
            } else if (ch == u'(' && !IsRootLetter(at(end + 1)) && at(end + 1) != u'W') {
                // "7(add13)", "7(b9)": a bracket inside the quality; one before a root is an alternate chord.
                const qsizetype close = text_.indexOf(u')', end);
                if (close < 0) return end;
                end = close + 1;
            } else if (ch == u'/' && at(end + 1).isDigit()) {
                end += 2;
            } else if (ch == u'/' && IsRootLetter(at(end + 1))) {
                end += 2;
                if (at(end) == u'#' || at(end) == u'b') ++end;
                return end;
            } else {
                return end;
            }
        }
        return end;
    }

    // A chord symbol, or "W/E": no chord of its own, the chord before over a new bass.
    std::optional<ChordSymbol> chordAt(qsizetype from, qsizetype end) {
        const QStringView written = text_.sliced(from, end - from);
        if (written.size() > chart_limits::MostChordChars) {
            refuse(QStringLiteral("%1 is not a chord symbol.").arg(Quoted(written)));
            return std::nullopt;
        }
        if (written[0] == u'W') {
            const std::optional<ChordSymbol> bass =
                ParseChordSymbol((QStringLiteral("C") + written.sliced(1).toString()).toStdString());
            if (!sounding_ || sounding_->isNoChord() || !bass) {
                refuse(
                    QStringLiteral("%1 has no chord before it to stand over its bass.").arg(Quoted(written)));
                return std::nullopt;
            }
            ChordSymbol chord = *sounding_;
            chord.bass = bass->bass == chord.root ? -1 : bass->bass;
            chord.flatBass = chord.bass >= 0 && bass->flatBass;
            return chord;
        }
        std::optional<ChordSymbol> chord = ParseChordSymbol(written.toString().toStdString());
        if (!chord) refuse(QStringLiteral("%1 is not a chord symbol.").arg(Quoted(written)));
        return chord;
    }

    void readChord() {
        const qsizetype end = chordEnd(at_);
        const std::optional<ChordSymbol> chord = chordAt(at_, end);
        at_ = end;
        if (chord) place(*chord);
    }

    // "(Db^7/F)": a second choice written small above the chord before it in the bar.
    void readAlternate() {
        const qsizetype close = text_.indexOf(u')', at_);
        if (close < 0) return refuse(QStringLiteral("an alternate chord has no closing bracket."));
        const qsizetype from = at_ + 1;
        at_ = close + 1;
        if (close == from) return;
        if (!IsRootLetter(text_[from]) && text_[from] != u'W')
            return refuse(
                QStringLiteral("%1 is not a chord symbol.").arg(Quoted(text_.sliced(from, close - from))));
        const qsizetype end = chordEnd(from);
        if (end != close)
            return refuse(
                QStringLiteral("%1 is not a chord symbol.").arg(Quoted(text_.sliced(from, close - from))));
        const std::optional<ChordSymbol> chord = chordAt(from, end);
        // One written over an empty bar has no chord to belong to; the tune model has no place for it.
        if (chord && !open_.chords.empty() && !open_.chords.back().chord.alternate)
            open_.chords.back().chord.alternate = *chord;
    }

    // A slash: the chord before sounds one more cell; at the start of a bar it is the last bar's chord.
    void readSlash() {
        if (!open_.chords.empty()) {
            ++open_.cells;
        } else if (sounding_) {
            place(*sounding_);
        } else {
            refuse(QStringLiteral("a slash (\u201cp\u201d) has no chord before it."));
        }
    }

    void place(const ChordSymbol& chord) {
        if (open_.repeatsBars > 0) return refuse(BothChordsAndRepeat());
        open_.chords.push_back({TuneChord{chord, std::nullopt, 0}, open_.cells++});
        sounding_ = chord;
    }

    // Ends the open bar at a bar line (a repeat's end when repeatEnd). Blanks between bar lines with nothing
    // else only align the chart's rows: their marks wait for the next bar, and the marks of a bar's end go to
    // the bar before.
    void closeBar(bool repeatEnd) {
        if (repeatEnd) open_.marks.repeatTimes = std::max(2, std::exchange(repeatTimes_, 0));
        if (!open_.hasContent()) {
            open_.marks.toCoda = std::exchange(open_.coda.toCoda, false);
            TuneBar before; // none: the marks are dropped, with no bar to end
            MoveClosingMarks(open_.marks, bars_.empty() ? before : bars_.back());
            open_.cells = 0;
            return;
        }
        OpenBar bar = std::exchange(open_, {});
        if (bars_.empty() && bar.timeTop > 0) firstTimeTop_ = bar.timeTop;
        const int before = bars_.empty() ? firstTimeTop_ : metres_.back();
        const int metre = bar.timeTop > 0 ? bar.timeTop : before;
        if (metre != before) bar.marks.timeTop = metre;
        ApplyCodaMarks(bar.coda, bar.marks);
        if (bar.repeatsBars > 0) return repeatBars(std::move(bar.marks), bar.repeatsBars, metre);
        std::optional<std::vector<TuneChord>> chords =
            ChordsWithBeats(std::move(bar.chords), bar.cells, metre);
        if (!chords)
            return refuse(QStringLiteral("more than %1 chords, or more chords than beats.")
                              .arg(tune_limits::MaxChordsPerBar));
        bar.marks.chords = std::move(*chords);
        push(std::move(bar.marks), metre);
    }

    // The one-bar or two-bar repeat sign: the bars before it, written again. The sign's marks that start a
    // bar go on the first copy, those that end one on the last.
    void repeatBars(TuneBar marks, int count, int metre) {
        if (bars_.size() < static_cast<std::size_t>(count))
            return refuse(QStringLiteral("a sign repeats %1 bars, but fewer come before it.").arg(count));
        const std::size_t first = bars_.size() - static_cast<std::size_t>(count);
        TuneBar closing;
        MoveClosingMarks(marks, closing);
        for (int k = 0; k < count && error_.isEmpty(); ++k) {
            const std::size_t source = first + static_cast<std::size_t>(k);
            TuneBar copy = k == 0 ? std::move(marks) : TuneBar{};
            if (k + 1 == count) MoveClosingMarks(closing, copy);
            copy.chords = bars_[source].chords;
            if (metres_[source] != metre) {
                if (copy.chords.size() > static_cast<std::size_t>(metre))
                    return refuse(
                        QStringLiteral("the bar repeated has more chords than this bar has beats."));
                for (TuneChord& chord : copy.chords)
                    chord.beats = 0;
                ShareBeats(copy.chords, metre);
            }
            sounding_ = copy.chords.back().chord;
            push(std::move(copy), metre);
        }
    }

    void push(TuneBar bar, int metre) {
        if (bars_.size() >= static_cast<std::size_t>(tune_limits::MaxBars))
            return refuse(QStringLiteral("the chart has more than %1 bars.").arg(tune_limits::MaxBars));
        bar.noChord = std::all_of(bar.chords.begin(), bar.chords.end(),
                                  [](const TuneChord& c) { return c.chord.isNoChord(); });
        bars_.push_back(std::move(bar));
        metres_.push_back(metre);
    }

    QStringView text_;
    qsizetype at_ = 0;
    QString error_;
    std::vector<TuneBar> bars_;
    std::vector<int> metres_; // the beats of each bar read
    int firstTimeTop_ = 4;
    OpenBar open_;
    std::optional<ChordSymbol> sounding_;
    int lastEnding_ = 0;
    int repeatTimes_ = 0; // "<3x>" for the next repeat's end
};

} // namespace

ChartBars ReadChartNotation(QStringView chart) {
    return ChartReader(chart).read();
}

} // namespace orbel
