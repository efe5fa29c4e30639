#include "datafiles/musicxml_tune.h"

#include "datafiles/bounded_read.h"
#include "datafiles/lead_sheet_marks.h"
#include "theory/note_names.h"
#include "theory/note_token.h"

#include <QByteArray>
#include <QXmlStreamReader>
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbel {

namespace {

using namespace Qt::StringLiterals;

namespace reader_limits {
// Harmonies gathered in one measure before it is refused: enough for duplicates on several staves.
static constexpr std::size_t MostHarmoniesSeen = 4 * tune_limits::MaxChordsPerBar;
// Degrees read from one harmony; more add nothing a chord symbol of ours can say.
static constexpr int MostDegrees = 8;
// A position or duration past this many beats is a damaged file; clamping keeps the sums finite.
static constexpr double MostBeats = 1.0e6;
// An ending numbered past this is not a volta of a lead sheet.
static constexpr int MostEndingNumber = 9;
// The first bytes of a zip archive: a compressed .mxl file.
static constexpr std::string_view ZipSignature = "PK\x03\x04";
} // namespace reader_limits

// ---- chord symbols ----

// The chord a kind names, in our spelling; a dominant kind may bring an alteration with it.
struct KindQuality {
    std::u16string_view kind;
    std::string_view quality;
    std::string_view alteration;
};
static constexpr std::array<KindQuality, 33> KindQualities = {{
    {u"major", "", ""},
    {u"minor", "m", ""},
    {u"augmented", "aug", ""},
    {u"diminished", "dim", ""},
    {u"dominant", "7", ""},
    {u"major-seventh", "M7", ""},
    {u"minor-seventh", "m7", ""},
    {u"diminished-seventh", "dim7", ""},
    {u"augmented-seventh", "7", "#5"},
    {u"half-diminished", "m7b5", ""},
    {u"major-minor", "mM7", ""},
    {u"major-sixth", "6", ""},
    {u"minor-sixth", "m6", ""},
    {u"dominant-ninth", "9", ""},
    {u"major-ninth", "M9", ""},
    {u"minor-ninth", "m9", ""},
    {u"dominant-11th", "11", ""},
    {u"major-11th", "M11", ""},
    {u"minor-11th", "m11", ""},
    {u"dominant-13th", "13", ""},
    {u"major-13th", "M13", ""},
    {u"minor-13th", "m13", ""},
    {u"suspended-second", "sus2", ""},
    {u"suspended-fourth", "sus4", ""},
    {u"augmented-ninth", "9", "#5"},
    {u"power", "5", ""},
    {u"pedal", "", ""},
    // The functional sixths by the chord they sound as over their root.
    {u"Neapolitan", "", ""},
    {u"Italian", "7", ""},
    {u"French", "7b5", ""},
    {u"German", "7", ""},
    {u"Tristan", "m7b5", ""},
    {u"other", "", ""},
}};

// A degree that turns one quality into another: a natural 9 makes M7 into M9, a flat 5 makes m7 into m7b5.
// A degree's sign is relative to the dominant chord when added ("7" is the minor seventh, "#7" the major).
struct DegreeStep {
    std::string_view from;
    std::string_view degree;
    std::string_view to;
    std::string_view alteration; // an alteration the new quality carries
};
static constexpr std::array<DegreeStep, 27> DegreeSteps = {{
    {"", "9", "add9", ""},     {"m", "9", "madd9", ""},    {"6", "9", "69", ""},
    {"m6", "9", "m69", ""},    {"M7", "9", "M9", ""},      {"m7", "9", "m9", ""},
    {"m7", "11", "m11", ""},   {"m9", "11", "m11", ""},    {"7", "9", "9", ""},
    {"7", "13", "13", ""},     {"9", "13", "13", ""},      {"", "#5", "aug", ""},
    {"m", "b5", "dim", ""},    {"m7", "b5", "m7b5", ""},   {"", "7", "7", ""},
    {"", "#7", "M7", ""},      {"m", "7", "m7", ""},       {"m", "#7", "mM7", ""},
    {"dim", "b7", "dim7", ""}, {"dim", "7", "m7b5", ""},   {"aug", "7", "7", "#5"},
    {"aug", "#7", "M7#5", ""}, {"sus4", "7", "7sus4", ""}, {"7sus4", "9", "7sus4", ""},
    {"7", "4", "7sus4", ""},   {"9", "4", "7sus4", ""},    {"", "4", "sus4", ""},
}};

// Alterations in the order our symbols write them.
static constexpr std::array<std::string_view, 6> AlterationOrder = {"b5", "#5", "b9", "#9", "#11", "b13"};

bool IsDominant(std::string_view quality) {
    return quality == "7" || quality == "9" || quality == "11" || quality == "13";
}

struct Degree {
    int value = 0;
    int alter = 0;
    enum class Type { Add, Alter, Subtract } type = Type::Add;
};

// "b9", "#11", "7": the degree as a symbol writes it.
std::string DegreeText(const Degree& degree) {
    std::string text;
    for (int i = 0; i < std::abs(degree.alter); ++i)
        text += degree.alter < 0 ? 'b' : '#';
    return text + std::to_string(degree.value);
}

// The quality of a kind refined by its degrees and the text it is written with.
std::string QualityOf(const KindQuality& kind, const QString& kindText, const std::vector<Degree>& degrees) {
    const QString text = kindText.toLower();
    std::string quality(kind.quality);
    std::vector<std::string> alterations;
    if (!kind.alteration.empty()) alterations.emplace_back(kind.alteration);
    if (IsDominant(quality) && text.contains(u"alt")) return "7alt";
    if ((IsDominant(quality) && text.contains(u"sus")) || (quality == "sus4" && text.contains(u'7')))
        quality = "7sus4";

    for (const Degree& degree : degrees) {
        // An omitted tone leaves the symbol as it is; a degree past the thirteenth is no chord tone.
        if (degree.type == Degree::Type::Subtract || degree.value < 2 || degree.value > 13) continue;
        const std::string written = DegreeText(degree);
        const auto step = std::find_if(DegreeSteps.begin(), DegreeSteps.end(), [&](const DegreeStep& s) {
            return s.from == quality && s.degree == written;
        });
        if (step != DegreeSteps.end()) {
            quality = step->to;
            if (!step->alteration.empty()) alterations.emplace_back(step->alteration);
        } else if (degree.alter != 0 &&
                   std::find(alterations.begin(), alterations.end(), written) == alterations.end()) {
            alterations.push_back(written);
        }
    }
    if (alterations.empty()) return quality;

    const auto has = [&](std::string_view a) {
        return std::find(alterations.begin(), alterations.end(), a) != alterations.end();
    };
    std::vector<std::string> ordered;
    for (const std::string_view a : AlterationOrder)
        if (has(a)) ordered.emplace_back(a);
    for (const std::string& a : alterations)
        if (std::find(AlterationOrder.begin(), AlterationOrder.end(), a) == AlterationOrder.end())
            ordered.push_back(a);
    // An altered dominant keeps its seventh and names the alterations; the natural nine or thirteen of its
    // kind goes, as the voicing plays the altered tones. Flat and sharp nine together, or three alterations,
    // are the altered dominant.
    if (IsDominant(quality)) {
        if ((has("b9") && has("#9")) || ordered.size() >= 3) return "7alt";
        quality = "7";
    }
    for (const std::string& a : ordered)
        quality += a;
    return quality;
}

// ---- beats ----

// A harmony where it stands in its measure, in quarter-note beats.
struct PlacedChord {
    double position = 0.0;
    TuneChord chord;
};

// The chords of a bar of beats with their beats: each lasts to the next or to the bar's end. Starts are
// rounded to whole beats and kept one beat apart; a bar whose first chord comes late starts with the chord
// that sounds on from before when there is room for it. Chords that all stand at one place (a chart without
// notes) share the bar evenly, the first taking the odd beat. Nothing when they do not fit.
std::optional<std::vector<TuneChord>> ChordsWithBeats(std::vector<PlacedChord> placed, int beats,
                                                      const std::optional<ChordSymbol>& soundingBefore) {
    const int most = std::min(beats, tune_limits::MaxChordsPerBar);
    std::vector<TuneChord> chords;
    if (placed.empty()) return chords;
    std::stable_sort(placed.begin(), placed.end(),
                     [](const PlacedChord& a, const PlacedChord& b) { return a.position < b.position; });
    const bool oneplace = placed.size() > 1 && placed.front().position == placed.back().position;
    if (!oneplace) {
        // Two harmonies at one place are one chord written twice (on two staves, say).
        placed.erase(
            std::unique(placed.begin(), placed.end(),
                        [](const PlacedChord& a, const PlacedChord& b) { return a.position == b.position; }),
            placed.end());
    }
    const int count = static_cast<int>(placed.size());
    if (count > most) return std::nullopt;

    if (oneplace) {
        for (int i = 0; i < count; ++i) {
            placed[static_cast<std::size_t>(i)].chord.beats = beats / count + (i < beats % count ? 1 : 0);
            chords.push_back(std::move(placed[static_cast<std::size_t>(i)].chord));
        }
        return chords;
    }

    std::vector<int> starts;
    for (const PlacedChord& p : placed) {
        const int rounded = static_cast<int>(std::floor(p.position + 0.5));
        starts.push_back(std::clamp(rounded, 0, beats - 1));
    }
    for (std::size_t i = 1; i < starts.size(); ++i)
        starts[i] = std::max(starts[i], starts[i - 1] + 1);
    starts.back() = std::min(starts.back(), beats - 1);
    for (std::size_t i = starts.size() - 1; i > 0; --i)
        starts[i - 1] = std::min(starts[i - 1], starts[i] - 1);

    if (starts.front() > 0) {
        if (soundingBefore && *soundingBefore != placed.front().chord.chord && count < most) {
            placed.insert(placed.begin(), PlacedChord{0.0, TuneChord{*soundingBefore, std::nullopt, 0}});
            starts.insert(starts.begin(), 0);
        } else {
            starts.front() = 0;
        }
    }
    for (std::size_t i = 0; i < placed.size(); ++i) {
        const int end = i + 1 < starts.size() ? starts[i + 1] : beats;
        placed[i].chord.beats = end - starts[i];
        chords.push_back(std::move(placed[i].chord));
    }
    return chords;
}

// ---- marks ----

QString TooManyChords(int bar) {
    return QStringLiteral("Bar %1 has more than %2 chords, or more chords than beats.")
        .arg(bar)
        .arg(tune_limits::MaxChordsPerBar);
}

// The key of a part: its first key signature.
struct KeySignature {
    int key = 0;
    bool minor = false;
    bool flat = true; // C major, as the program names notes in it
};

// ---- the reader ----

class LeadSheetReader {
public:
    explicit LeadSheetReader(const QByteArray& bytes) : xml_(bytes) {}

    MusicXmlTuneResult read() {
        if (!xml_.readNextStartElement()) return refuse(QStringLiteral("The file is not XML."));
        if (xml_.name() == u"score-timewise")
            return refuse(
                QStringLiteral("The file is a time-wise MusicXML score; only part-wise scores can be "
                               "read. Export it again as ordinary (part-wise) MusicXML."));
        if (xml_.name() != u"score-partwise") return refuse(QStringLiteral("The file is not MusicXML."));

        QString workTitle;
        QString movementTitle;
        while (error_.isEmpty() && xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"work") {
                while (xml_.readNextStartElement())
                    if (xml_.name() == u"work-title")
                        workTitle = text();
                    else
                        xml_.skipCurrentElement();
            } else if (name == u"movement-title") {
                movementTitle = text();
            } else if (name == u"identification") {
                readIdentification();
            } else if (name == u"part" && !chosen_) {
                readInstrument();
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!error_.isEmpty()) return refuse(error_);
        if (xml_.hasError())
            return refuse(QStringLiteral("The file is not well-formed XML (line %1: %2).")
                              .arg(xml_.lineNumber())
                              .arg(xml_.errorString()));
        if (!chosen_)
            return refuse(QStringLiteral("The file has no chord symbols (MusicXML harmony) to read."));
        tune_.title = KeptText(workTitle.trimmed().isEmpty() ? movementTitle : workTitle);
        return {std::move(tune_), {}};
    }

private:
    MusicXmlTuneResult refuse(QString why) { return {std::nullopt, std::move(why)}; }

    QString text() { return xml_.readElementText(QXmlStreamReader::SkipChildElements); }

    // A number in an element's text; fallback when there is none or it is not finite.
    double number(double fallback) {
        bool ok = false;
        const double value = text().trimmed().toDouble(&ok);
        return ok && std::isfinite(value) ? value : fallback;
    }

    // A duration in quarter-note beats, never negative and never past the clamp.
    double beatsOf(double divisionsValue) const {
        return std::clamp(divisionsValue / divisions_, 0.0, reader_limits::MostBeats);
    }

    void readIdentification() {
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"creator" && xml_.attributes().value("type"_L1) == u"composer" &&
                tune_.composer.empty())
                tune_.composer = KeptText(text());
            else
                xml_.skipCurrentElement();
        }
    }

    // One part: kept as the tune when it is the first with chord symbols.
    void readInstrument() {
        bars_.clear();
        carried_ = {};
        sounding_.reset();
        instrumentHasChords_ = false;
        key_.reset();
        timeRead_ = false;
        divisions_ = 1.0;
        timeTop_ = 4;
        firstTimeTop_ = 4;
        while (error_.isEmpty() && xml_.readNextStartElement()) {
            if (xml_.name() != u"measure") {
                xml_.skipCurrentElement();
                continue;
            }
            if (bars_.size() >= static_cast<std::size_t>(tune_limits::MaxBars)) {
                error_ = QStringLiteral("The tune has more than %1 bars.").arg(tune_limits::MaxBars);
                return;
            }
            readMeasure();
        }
        if (!error_.isEmpty() || !instrumentHasChords_) return;
        ResolveCodaSigns(bars_);
        chosen_ = true;
        tune_.bars = std::move(bars_);
        tune_.timeTop = firstTimeTop_;
        const KeySignature key = key_.value_or(KeySignature{});
        tune_.key = key.key;
        tune_.minorKey = key.minor;
        tune_.flatKey = key.flat;
    }

    void readMeasure() {
        const bool implicit = xml_.attributes().value("implicit"_L1) == u"yes";
        TuneBar bar = std::exchange(carried_, {});
        CodaMarks marks;
        std::vector<PlacedChord> placed;
        double position = 0.0;
        std::size_t harmonies = 0;
        while (error_.isEmpty() && xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"note") {
                position = std::min(position + readNote(), reader_limits::MostBeats);
            } else if (name == u"backup") {
                position = std::max(0.0, position - readDuration());
            } else if (name == u"forward") {
                position = std::min(position + readDuration(), reader_limits::MostBeats);
            } else if (name == u"harmony") {
                readHarmony(position, placed, harmonies);
            } else if (name == u"attributes") {
                readAttributes(bar);
            } else if (name == u"direction") {
                readDirection(bar, marks);
            } else if (name == u"sound") {
                readSound(bar, marks);
                xml_.skipCurrentElement();
            } else if (name == u"barline") {
                readBarline(bar, marks);
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!error_.isEmpty()) return;
        const int number = static_cast<int>(bars_.size()) + 1;
        // A pickup before the first bar holds melody only: its marks go to the first bar.
        if (implicit && bars_.empty() && placed.empty()) {
            carried_ = std::move(bar);
            return;
        }
        ApplyCodaMarks(marks, bar);
        std::optional<std::vector<TuneChord>> chords =
            ChordsWithBeats(std::move(placed), timeTop_, sounding_);
        if (!chords) {
            error_ = TooManyChords(number);
            return;
        }
        bar.chords = std::move(*chords);
        if (!bar.chords.empty()) {
            instrumentHasChords_ = true;
            sounding_ = bar.chords.back().chord;
            bar.noChord = std::all_of(bar.chords.begin(), bar.chords.end(),
                                      [](const TuneChord& c) { return c.chord.isNoChord(); });
        }
        bars_.push_back(std::move(bar));
    }

    // How far a note moves the measure on: nothing for a grace note or a note of a chord.
    double readNote() {
        bool advances = true;
        double length = 0.0;
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"chord" || name == u"grace") advances = false;
            if (name == u"duration")
                length = beatsOf(number(0.0));
            else
                xml_.skipCurrentElement();
        }
        return advances ? length : 0.0;
    }

    double readDuration() {
        double length = 0.0;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"duration")
                length = beatsOf(number(0.0));
            else
                xml_.skipCurrentElement();
        }
        return length;
    }

    // A pitch class from a step letter and its alteration; nothing for anything but A..G.
    std::optional<int> readPitch(QStringView stepName, QStringView alterName, bool& flat) {
        std::optional<int> step;
        int alter = 0;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == stepName) {
                const QString letter = text().trimmed();
                int pitchClass = 0;
                if (letter.size() == 1 && letter[0] >= u'A' && letter[0] <= u'G' &&
                    ParseChordRoot(letter.toStdString(), pitchClass) > 0)
                    step = pitchClass;
            } else if (xml_.name() == alterName) {
                alter = static_cast<int>(std::lround(std::clamp(number(0.0), -2.0, 2.0)));
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!step) return std::nullopt;
        flat = alter < 0;
        return PitchClass(*step + alter);
    }

    Degree readDegree() {
        Degree degree;
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"degree-value") {
                degree.value = static_cast<int>(std::clamp(number(0.0), 0.0, 99.0));
            } else if (name == u"degree-alter") {
                degree.alter = static_cast<int>(std::lround(std::clamp(number(0.0), -2.0, 2.0)));
            } else if (name == u"degree-type") {
                const QString type = text().trimmed();
                degree.type = type == u"subtract" ? Degree::Type::Subtract
                              : type == u"alter"  ? Degree::Type::Alter
                                                  : Degree::Type::Add;
            } else {
                xml_.skipCurrentElement();
            }
        }
        return degree;
    }

    // A chord symbol where it stands; only its first chord is read (a polychord's lower chords are not ours).
    void readHarmony(double position, std::vector<PlacedChord>& placed, std::size_t& seen) {
        const bool alternate = xml_.attributes().value("type"_L1) == u"alternate";
        ChordSymbol chord;
        bool rooted = false;
        std::optional<KindQuality> kind;
        QString kindText;
        std::vector<Degree> degrees;
        double offset = 0.0;
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"root" && !rooted) {
                if (const auto root = readPitch(u"root-step", u"root-alter", chord.flatRoot)) {
                    chord.root = *root;
                    rooted = true;
                }
            } else if (name == u"kind" && !kind) {
                kindText = xml_.attributes().value("text"_L1).toString();
                const QString value = text().trimmed();
                const auto known =
                    std::find_if(KindQualities.begin(), KindQualities.end(),
                                 [&](const KindQuality& k) { return value == QStringView(k.kind); });
                kind = value == u"none"               ? KindQuality{u"none", "", ""}
                       : known != KindQualities.end() ? *known
                                                      : KindQualities.back();
            } else if (name == u"bass" && chord.bass < 0) {
                if (const auto bass = readPitch(u"bass-step", u"bass-alter", chord.flatBass))
                    chord.bass = *bass;
            } else if (name == u"degree" && static_cast<int>(degrees.size()) < reader_limits::MostDegrees) {
                degrees.push_back(readDegree());
            } else if (name == u"offset") {
                offset =
                    std::clamp(number(0.0) / divisions_, -reader_limits::MostBeats, reader_limits::MostBeats);
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (!kind) return;
        if (kind->kind == u"none") {
            chord = ChordSymbol{};
        } else {
            if (!rooted) return; // a numeral or function names no chord of a lead sheet
            chord.quality = QualityOf(*kind, kindText, degrees);
            if (chord.bass == chord.root) chord.bass = -1;
            if (chord.bass < 0) chord.flatBass = false;
        }
        if (alternate) {
            if (!placed.empty() && !placed.back().chord.alternate) placed.back().chord.alternate = chord;
            return;
        }
        if (++seen > reader_limits::MostHarmoniesSeen) {
            error_ = TooManyChords(static_cast<int>(bars_.size()) + 1);
            return;
        }
        placed.push_back({std::max(0.0, position + offset), TuneChord{std::move(chord), std::nullopt, 0}});
    }

    void readAttributes(TuneBar& bar) {
        while (error_.isEmpty() && xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"divisions") {
                const double value = number(0.0);
                if (value > 0.0) divisions_ = value;
            } else if (name == u"key" && !key_) {
                readKey();
            } else if (name == u"time") {
                readTime(bar);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // The tune's key is the part's first; a later change of key is not kept.
    void readKey() {
        std::optional<int> fifths;
        bool minor = false;
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"fifths")
                fifths = static_cast<int>(std::clamp(number(0.0), -7.0, 7.0));
            else if (xml_.name() == u"mode")
                minor = text().trimmed() == u"minor";
            else
                xml_.skipCurrentElement();
        }
        if (!fifths) return;
        // Each fifth up is seven semitones; a minor key is the relative minor, three semitones below.
        const int tonic = PitchClass(*fifths * 7 + (minor ? 9 : 0));
        // A key without accidentals names its notes as the rest of the program does in it.
        key_ =
            KeySignature{tonic, minor, *fifths < 0 || (*fifths == 0 && KeyUsesFlats(tonic, minor ? 0 : 1))};
    }

    void readTime(TuneBar& bar) {
        int beats = 0;
        int beatType = 0;
        QString written;
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if ((name == u"beats" || name == u"beat-type") && (name == u"beats" ? beats : beatType) == 0) {
                const QString value = text().trimmed();
                written += (written.isEmpty() ? QString() : QStringLiteral("/")) + value.left(12);
                (name == u"beats" ? beats : beatType) = value.toInt();
            } else {
                xml_.skipCurrentElement();
            }
        }
        int top = 0;
        if (beatType == 4 && beats >= 3 && beats <= 6) top = beats;
        if (beatType == 2 && beats == 2) top = 4; // cut time: two half notes are four beats
        if (top == 0) {
            error_ = QStringLiteral("Bar %1 is in %2 time; only 3/4, 4/4, 5/4, 6/4 and 2/2 can be read.")
                         .arg(bars_.size() + 1)
                         .arg(written.isEmpty() ? QStringLiteral("unmeasured") : written);
            return;
        }
        if (!timeRead_) {
            timeRead_ = true;
            if (bars_.empty()) {
                firstTimeTop_ = top;
                timeTop_ = top;
                return;
            }
        }
        if (top != timeTop_) bar.timeTop = top;
        timeTop_ = top;
    }

    void readDirection(TuneBar& bar, CodaMarks& marks) {
        while (xml_.readNextStartElement()) {
            if (xml_.name() == u"direction-type") {
                while (xml_.readNextStartElement()) {
                    const QStringView name = xml_.name();
                    if (name == u"rehearsal") {
                        const std::string section = KeptText(text());
                        if (bar.section.empty()) bar.section = section;
                    } else if (name == u"words") {
                        ReadJumpWords(text(), bar, marks);
                    } else {
                        if (name == u"segno") bar.segno = true;
                        if (name == u"coda") marks.codaSign = true;
                        xml_.skipCurrentElement();
                    }
                }
            } else if (xml_.name() == u"sound") {
                readSound(bar, marks);
                xml_.skipCurrentElement();
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    // The sound attributes of jumps; the element itself is skipped by the caller.
    void readSound(TuneBar& bar, CodaMarks& marks) {
        const QXmlStreamAttributes attributes = xml_.attributes();
        if (attributes.value("dacapo"_L1) == u"yes") bar.jump = TuneBar::Jump::DaCapo;
        if (attributes.hasAttribute("dalsegno"_L1)) bar.jump = TuneBar::Jump::DalSegno;
        if (attributes.hasAttribute("segno"_L1)) bar.segno = true;
        if (attributes.hasAttribute("fine"_L1)) bar.fine = true;
        if (attributes.hasAttribute("tocoda"_L1)) marks.toCoda = true;
        if (attributes.hasAttribute("coda"_L1)) marks.codaStart = true;
    }

    void readBarline(TuneBar& bar, CodaMarks& marks) {
        while (xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            const QXmlStreamAttributes attributes = xml_.attributes();
            if (name == u"repeat") {
                if (attributes.value("direction"_L1) == u"forward") bar.repeatStart = true;
                if (attributes.value("direction"_L1) == u"backward") {
                    const int times = attributes.value("times"_L1).toInt();
                    bar.repeatTimes = times >= 2 ? std::min(times, tune_limits::MaxPlayedBars) : 2;
                }
            } else if (name == u"ending" && attributes.value("type"_L1) == u"start" && bar.ending == 0) {
                // "1, 2" is one volta for the first two times: it starts as the first ending does.
                const QStringView numbers = attributes.value("number"_L1).trimmed();
                qsizetype digits = 0;
                while (digits < numbers.size() && numbers[digits] >= u'0' && numbers[digits] <= u'9')
                    ++digits;
                const int first = numbers.first(digits).toInt();
                if (first >= 1 && first <= reader_limits::MostEndingNumber) bar.ending = first;
            } else if (name == u"segno") {
                bar.segno = true;
            } else if (name == u"coda") {
                marks.codaSign = true;
            }
            xml_.skipCurrentElement();
        }
    }

    QXmlStreamReader xml_;
    Tune tune_;
    QString error_;
    bool chosen_ = false;

    // The part being read.
    std::vector<TuneBar> bars_;
    TuneBar carried_; // the marks of a pickup measure, for the first bar
    std::optional<ChordSymbol> sounding_;
    bool instrumentHasChords_ = false;
    std::optional<KeySignature> key_;
    bool timeRead_ = false;
    double divisions_ = 1.0; // per quarter note
    int timeTop_ = 4;
    int firstTimeTop_ = 4;
};

QString CompressedRefusal() {
    return QStringLiteral("The file is compressed MusicXML (.mxl); export the lead sheet as uncompressed "
                          "MusicXML (.musicxml or .xml) and open that.");
}

} // namespace

MusicXmlTuneResult ParseMusicXmlTune(QByteArrayView data) {
    if (data.size() > musicxml_limits::MaxFileBytes)
        return {std::nullopt, TooLargeRefusal(QStringLiteral("The file"), musicxml_limits::MaxFileBytes)};
    if (data.startsWith(QByteArrayView(reader_limits::ZipSignature.data(),
                                       static_cast<qsizetype>(reader_limits::ZipSignature.size()))))
        return {std::nullopt, CompressedRefusal()};
    // The reader keeps the bytes' place only while it reads them.
    const QByteArray bytes = QByteArray::fromRawData(data.data(), data.size());
    return LeadSheetReader(bytes).read();
}

MusicXmlTuneResult ReadMusicXmlTune(const QString& path) {
    if (path.endsWith(QStringLiteral(".mxl"), Qt::CaseInsensitive))
        return {std::nullopt, CompressedRefusal()};
    const BoundedRead read = ReadRegularFile(path, musicxml_limits::MaxFileBytes);
    if (read.bytes) return ParseMusicXmlTune(*read.bytes);
    return {std::nullopt, LeadSheetFileRefusal(path, read.failure, musicxml_limits::MaxFileBytes)};
}

} // namespace orbel
