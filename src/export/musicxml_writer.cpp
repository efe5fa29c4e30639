#include "export/musicxml_writer.h"

#include "app/study_session.h"
#include "sound/instrument_tables.h"
#include "theory/beams.h"
#include "theory/note_names.h"
#include "theory/note_value.h"
#include "theory/prepare_build.h"
#include "theory/spelling.h"

#include <QXmlStreamWriter>
#include <array>
#include <optional>

namespace orbel::exporter {

namespace {

constexpr int TicksPerQuarter = musicxml::Divisions;
constexpr int KeysInCycle = 12;
constexpr int FourthUp = 5;
constexpr int Octave = 12;

// The note type MusicXML names a value by, in the order of NoteKind.
constexpr std::array<const char*, 6> Types{"whole", "half", "quarter", "eighth", "16th", "32nd"};

QString TypeOf(NoteKind kind) {
    return QString::fromLatin1(Types[static_cast<std::size_t>(kind)]);
}

// A chord symbol as MusicXML harmony: its root, the kind of chord and the text it is written with.
struct Harmony {
    char rootStep = 'C';
    int rootAlter = 0;
    QString kind;
    QString text; // what follows the root, as written
    std::optional<std::pair<char, int>> bass;
};

std::optional<Harmony> ReadChordSymbol(const std::string& symbol) {
    const QString s = QString::fromStdString(symbol).trimmed();
    if (s.isEmpty() || !QStringLiteral("ABCDEFG").contains(s[0])) return std::nullopt;
    Harmony h;
    h.rootStep = s[0].toLatin1();
    qsizetype at = 1;
    if (at < s.size() && (s[at] == QLatin1Char('#') || s[at] == QChar(0x266F))) {
        h.rootAlter = 1;
        ++at;
    } else if (at < s.size() && (s[at] == QLatin1Char('b') || s[at] == QChar(0x266D))) {
        h.rootAlter = -1;
        ++at;
    }
    QString rest = s.mid(at);
    if (const qsizetype slash = rest.indexOf(QLatin1Char('/')); slash >= 0) {
        const QString bass = rest.mid(slash + 1);
        if (!bass.isEmpty() && QStringLiteral("ABCDEFG").contains(bass[0])) {
            int alter = 0;
            if (bass.size() > 1 && bass[1] == QLatin1Char('#')) alter = 1;
            if (bass.size() > 1 && bass[1] == QLatin1Char('b')) alter = -1;
            h.bass = std::pair{bass[0].toLatin1(), alter};
            rest = rest.left(slash);
        }
    }
    h.text = rest;
    // The usual spellings of the chord kinds; anything else keeps its text over a kind of "other".
    static const std::vector<std::pair<QString, QString>> Kinds = {
        {"", "major"},
        {"M", "major"},
        {"6", "major-sixth"},
        {"M7", "major-seventh"},
        {"maj7", "major-seventh"},
        {"△7", "major-seventh"},
        {"m", "minor"},
        {"m6", "minor-sixth"},
        {"m7", "minor-seventh"},
        {"mM7", "major-minor"},
        {"m7-5", "half-diminished"},
        {"m7(b5)", "half-diminished"},
        {"φ", "half-diminished"},
        {"7", "dominant"},
        {"9", "dominant-ninth"},
        {"13", "dominant-13th"},
        {"dim", "diminished"},
        {"dim7", "diminished-seventh"},
        {"aug", "augmented"},
        {"+", "augmented"},
        {"7sus4", "suspended-fourth"},
        {"sus4", "suspended-fourth"},
    };
    h.kind = QStringLiteral("other");
    for (const auto& [written, kind] : Kinds)
        if (rest == written) h.kind = kind;
    if (h.kind == QLatin1String("other") && rest.startsWith(QLatin1Char('7')))
        h.kind = QStringLiteral("dominant");
    if (h.kind == QLatin1String("other") && rest.startsWith(QLatin1String("m7")))
        h.kind = QStringLiteral("minor-seventh");
    return h;
}

QString AccidentalName(int alter) {
    return alter > 0   ? QStringLiteral("sharp")
           : alter < 0 ? QStringLiteral("flat")
                       : QStringLiteral("natural");
}

class PartWriter {
public:
    PartWriter(QXmlStreamWriter& xml, const Settings& settings) : xml_(xml), settings_(settings) {}

    // One key's sequence, opening a new bar; rehearsal: the key's name, when the sheet has several.
    void writeSequence(const PlaySequence& seq, int rootKey, const QString& rehearsal) {
        if (inMeasure_) closeMeasure(true);
        beatsPerBar_ = std::max<int>(seq.BeatsPerBar, 1);
        flatKey_ = KeyUsesFlats(rootKey, seq.MajorSpelling);
        rehearsal_ = rehearsal;
        for (int i = 0; i < seq.SeqCount && i < sequence_limits::Notes; ++i) {
            const auto n = static_cast<std::size_t>(i);
            if (i > 0 && seq.SeqBarStart[n] == 1 && filled_ > 0) closeMeasure(true);
            if (!inMeasure_) openMeasure();
            writeEntry(seq, n);
        }
        if (inMeasure_) closeMeasure(true);
    }

    void finish() {
        if (inMeasure_) closeMeasure(true);
    }

private:
    int barTicks() const { return beatsPerBar_ * TicksPerQuarter; }

    void openMeasure() {
        xml_.writeStartElement(QStringLiteral("measure"));
        xml_.writeAttribute(QStringLiteral("number"), QString::number(++measure_));
        if (measure_ == 1 || beatsPerBar_ != writtenBeats_) writeAttributes();
        if (measure_ == 1) {
            // Played back at the tempo the trainer starts with.
            xml_.writeStartElement(QStringLiteral("direction"));
            xml_.writeStartElement(QStringLiteral("direction-type"));
            xml_.writeStartElement(QStringLiteral("metronome"));
            xml_.writeTextElement(QStringLiteral("beat-unit"), QStringLiteral("quarter"));
            xml_.writeTextElement(QStringLiteral("per-minute"),
                                  QString::number(StartingTempo(settings_.Tempo)));
            xml_.writeEndElement();
            xml_.writeEndElement();
            xml_.writeEmptyElement(QStringLiteral("sound"));
            xml_.writeAttribute(QStringLiteral("tempo"), QString::number(StartingTempo(settings_.Tempo)));
            xml_.writeEndElement();
        }
        if (!rehearsal_.isEmpty()) {
            xml_.writeStartElement(QStringLiteral("direction"));
            xml_.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
            xml_.writeStartElement(QStringLiteral("direction-type"));
            xml_.writeTextElement(QStringLiteral("rehearsal"), rehearsal_);
            xml_.writeEndElement();
            xml_.writeEndElement();
            rehearsal_.clear();
        }
        inMeasure_ = true;
        filled_ = 0;
        bar_.reset();
    }

    void writeAttributes() {
        xml_.writeStartElement(QStringLiteral("attributes"));
        if (measure_ == 1)
            xml_.writeTextElement(QStringLiteral("divisions"), QString::number(TicksPerQuarter));
        if (measure_ == 1) {
            // The staff writes every accidental beside its note: no key signature.
            xml_.writeStartElement(QStringLiteral("key"));
            xml_.writeTextElement(QStringLiteral("fifths"), QStringLiteral("0"));
            xml_.writeEndElement();
        }
        xml_.writeStartElement(QStringLiteral("time"));
        xml_.writeTextElement(QStringLiteral("beats"), QString::number(beatsPerBar_));
        xml_.writeTextElement(QStringLiteral("beat-type"), QStringLiteral("4"));
        xml_.writeEndElement();
        if (measure_ == 1) {
            xml_.writeStartElement(QStringLiteral("clef"));
            xml_.writeTextElement(QStringLiteral("sign"), QStringLiteral("G"));
            xml_.writeTextElement(QStringLiteral("line"), QStringLiteral("2"));
            xml_.writeEndElement();
            if (settings_.TransposeSemitones != 0) {
                // A transposing instrument's part: it sounds as the trainer plays it.
                xml_.writeStartElement(QStringLiteral("transpose"));
                const int chromatic = settings_.TransposeSemitones;
                xml_.writeTextElement(QStringLiteral("diatonic"), QString::number(DiatonicSteps(chromatic)));
                xml_.writeTextElement(QStringLiteral("chromatic"), QString::number(chromatic));
                xml_.writeEndElement();
            }
        }
        xml_.writeEndElement();
        writtenBeats_ = beatsPerBar_;
    }

    static int DiatonicSteps(int chromatic) {
        static constexpr std::array<int, Octave> Steps = {0, 1, 1, 2, 2, 3, 3, 4, 5, 5, 6, 6};
        const int octaves = chromatic >= 0 ? chromatic / Octave : -((-chromatic + Octave - 1) / Octave);
        return octaves * 7 + Steps[static_cast<std::size_t>(chromatic - octaves * Octave)];
    }

    // A bar that is not full is filled with rests, so that every bar adds up to its time signature.
    void closeMeasure(bool fill) {
        if (fill && filled_ < barTicks()) writeRests(barTicks() - filled_);
        xml_.writeEndElement();
        inMeasure_ = false;
    }

    void writeRests(int ticks) {
        for (const NoteValue& v : SplitIntoPlainValues(ticks)) {
            Piece rest;
            rest.value = v;
            rest.rest = true;
            writeNote(rest);
        }
    }

    struct Piece {
        NoteValue value;
        bool rest = false;
        std::optional<int> midiKey;
        bool tieStart = false;
        bool tieStop = false;
        QString tuplet; // "start", "stop" or empty
        std::vector<std::pair<int, QString>> beams;
    };

    void writeEntry(const PlaySequence& seq, std::size_t n) {
        const int ticks = seq.SeqDur[n];
        if (ticks <= 0) return;
        if (const auto h = ReadChordSymbol(seq.SeqChord[n])) writeHarmony(*h);
        Piece piece;
        piece.rest = seq.SeqRest[n] == 1;
        if (!piece.rest) piece.midiKey = seq.SeqPitch[n] + Octave * seq.OctaveShift + settings_.PitchBaseC;
        // A tie joins this entry to the note before, or on to the next.
        piece.tieStop = seq.SeqTie[n] == 1 && !piece.rest;
        const bool tiedOn =
            n + 1 < static_cast<std::size_t>(seq.SeqCount) && seq.SeqTie[n + 1] == 1 && !piece.rest;
        const int code = seq.SeqBeam[n];
        const int place = beam_code::PlaceOf(code);
        const bool tripletGroup = beam_code::GroupOf(code) >= beam_code::QuarterTriplet;
        if (tripletGroup && place == beam_code::First) piece.tuplet = QStringLiteral("start");
        if (tripletGroup && place == beam_code::Last) piece.tuplet = QStringLiteral("stop");
        if (const auto value = NoteValueOf(ticks)) {
            piece.value = *value;
            piece.tieStart = tiedOn;
            piece.beams = beamsFor(seq, n, *value);
            writeNote(piece);
            return;
        }
        // A length no single note has: tied notes of the lengths there are (rests side by side).
        int left = ticks;
        bool first = true;
        for (const NoteValue& v : SplitIntoPlainValues(ticks)) {
            Piece part = piece;
            part.value = v;
            part.tuplet.clear();
            part.tieStop = first ? piece.tieStop : !piece.rest;
            left -= v.ticks;
            part.tieStart = left > 0 ? !piece.rest : tiedOn;
            writeNote(part);
            first = false;
        }
    }

    // Beams from the sequence's beam codes: the first level from the group, more levels where neighbours
    // in the group are as short.
    std::vector<std::pair<int, QString>> beamsFor(const PlaySequence& seq, std::size_t n,
                                                  const NoteValue& value) {
        std::vector<std::pair<int, QString>> beams;
        const int code = seq.SeqBeam[n];
        const int place = beam_code::PlaceOf(code);
        if (code == beam_code::None || beam_code::GroupOf(code) == beam_code::QuarterTriplet) return beams;
        const int levels = FlagsOf(value.kind);
        if (levels == 0) return beams;
        const auto levelsAt = [&](std::size_t m) {
            if (m >= static_cast<std::size_t>(seq.SeqCount) || seq.SeqBeam[m] == beam_code::None) return 0;
            const auto v = NoteValueOf(seq.SeqDur[m]);
            return v ? FlagsOf(v->kind) : 0;
        };
        const bool hasBefore = place != beam_code::First;
        const bool hasAfter = place != beam_code::Last;
        for (int level = 1; level <= levels; ++level) {
            const bool before = hasBefore && n > 0 && levelsAt(n - 1) >= level;
            const bool after = hasAfter && levelsAt(n + 1) >= level;
            QString kind;
            if (level == 1) {
                kind = place == beam_code::First  ? QStringLiteral("begin")
                       : place == beam_code::Last ? QStringLiteral("end")
                                                  : QStringLiteral("continue");
            } else if (before && after) {
                kind = QStringLiteral("continue");
            } else if (after) {
                kind = QStringLiteral("begin");
            } else if (before) {
                kind = QStringLiteral("end");
            } else {
                kind = place == beam_code::First ? QStringLiteral("forward hook")
                                                 : QStringLiteral("backward hook");
            }
            beams.emplace_back(level, kind);
        }
        return beams;
    }

    void writeHarmony(const Harmony& h) {
        xml_.writeStartElement(QStringLiteral("harmony"));
        xml_.writeStartElement(QStringLiteral("root"));
        xml_.writeTextElement(QStringLiteral("root-step"), QString(QLatin1Char(h.rootStep)));
        if (h.rootAlter != 0)
            xml_.writeTextElement(QStringLiteral("root-alter"), QString::number(h.rootAlter));
        xml_.writeEndElement();
        xml_.writeStartElement(QStringLiteral("kind"));
        xml_.writeAttribute(QStringLiteral("text"), h.text);
        xml_.writeCharacters(h.kind);
        xml_.writeEndElement();
        if (h.bass) {
            xml_.writeStartElement(QStringLiteral("bass"));
            xml_.writeTextElement(QStringLiteral("bass-step"), QString(QLatin1Char(h.bass->first)));
            if (h.bass->second != 0)
                xml_.writeTextElement(QStringLiteral("bass-alter"), QString::number(h.bass->second));
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }

    void writeNote(const Piece& p) {
        if (filled_ + p.value.ticks > barTicks() && filled_ > 0) {
            closeMeasure(false);
            openMeasure();
        }
        xml_.writeStartElement(QStringLiteral("note"));
        std::optional<SpelledPitch> spelled;
        if (p.rest || !p.midiKey) {
            xml_.writeEmptyElement(QStringLiteral("rest"));
        } else {
            spelled = Spell(*p.midiKey, flatKey_);
            xml_.writeStartElement(QStringLiteral("pitch"));
            xml_.writeTextElement(QStringLiteral("step"), QString(QLatin1Char(spelled->letterName())));
            if (spelled->alter != 0)
                xml_.writeTextElement(QStringLiteral("alter"), QString::number(spelled->alter));
            // MIDI key 60, middle C, begins octave 4.
            xml_.writeTextElement(QStringLiteral("octave"), QString::number(spelled->octave - 1));
            xml_.writeEndElement();
        }
        xml_.writeTextElement(QStringLiteral("duration"), QString::number(p.value.ticks));
        if (p.tieStop) writeTie(QStringLiteral("tie"), QStringLiteral("stop"));
        if (p.tieStart) writeTie(QStringLiteral("tie"), QStringLiteral("start"));
        xml_.writeTextElement(QStringLiteral("type"), TypeOf(p.value.kind));
        for (int d = 0; d < p.value.dots; ++d)
            xml_.writeEmptyElement(QStringLiteral("dot"));
        // The accidental where the staff draws one: where the bar has not already set this one.
        if (const std::optional<int> alter = spelled ? bar_.toWrite(*spelled) : std::nullopt)
            xml_.writeTextElement(QStringLiteral("accidental"), AccidentalName(*alter));
        if (p.value.triplet) {
            xml_.writeStartElement(QStringLiteral("time-modification"));
            xml_.writeTextElement(QStringLiteral("actual-notes"), QStringLiteral("3"));
            xml_.writeTextElement(QStringLiteral("normal-notes"), QStringLiteral("2"));
            xml_.writeEndElement();
        }
        for (const auto& [level, kind] : p.beams) {
            xml_.writeStartElement(QStringLiteral("beam"));
            xml_.writeAttribute(QStringLiteral("number"), QString::number(level));
            xml_.writeCharacters(kind);
            xml_.writeEndElement();
        }
        if (p.tieStart || p.tieStop || !p.tuplet.isEmpty()) {
            xml_.writeStartElement(QStringLiteral("notations"));
            if (p.tieStop) writeTie(QStringLiteral("tied"), QStringLiteral("stop"));
            if (p.tieStart) writeTie(QStringLiteral("tied"), QStringLiteral("start"));
            if (!p.tuplet.isEmpty()) {
                xml_.writeStartElement(QStringLiteral("tuplet"));
                xml_.writeAttribute(QStringLiteral("type"), p.tuplet);
                xml_.writeAttribute(QStringLiteral("number"), QStringLiteral("1"));
                if (p.tuplet == QLatin1String("start"))
                    xml_.writeAttribute(QStringLiteral("bracket"), QStringLiteral("yes"));
                xml_.writeEndElement();
            }
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
        filled_ += p.value.ticks;
    }

    void writeTie(const QString& element, const QString& type) {
        xml_.writeStartElement(element);
        xml_.writeAttribute(QStringLiteral("type"), type);
        xml_.writeEndElement();
    }

    QXmlStreamWriter& xml_;
    const Settings& settings_;
    int measure_ = 0;
    int beatsPerBar_ = 4;
    int writtenBeats_ = 0;
    int filled_ = 0;
    bool inMeasure_ = false;
    bool flatKey_ = false;
    QString rehearsal_;
    BarAccidentals bar_; // the alterations in force in the bar
};

} // namespace

MusicXml WriteMusicXml(const ExportBuild& build, bool allKeys) {
    MusicXml out;
    StudyState study = StudyOf(build);
    StudySession session(study);
    const int item = session.currentItem();
    const int firstRoot = study.settings.RootKey;

    QXmlStreamWriter xml(&out.bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDTD(
        QStringLiteral("<!DOCTYPE score-partwise PUBLIC \"-//Recordare//DTD MusicXML 4.0 Partwise//EN\" "
                       "\"http://www.musicxml.org/dtds/partwise.dtd\">"));
    xml.writeStartElement(QStringLiteral("score-partwise"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("4.0"));
    xml.writeStartElement(QStringLiteral("work"));
    xml.writeTextElement(QStringLiteral("work-title"),
                         QString::fromStdString(build.title).remove(QStringLiteral("★")).trimmed());
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("identification"));
    xml.writeStartElement(QStringLiteral("encoding"));
    xml.writeTextElement(QStringLiteral("software"), QStringLiteral("orbel-export"));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("part-list"));
    xml.writeStartElement(QStringLiteral("score-part"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));
    xml.writeTextElement(QStringLiteral("part-name"), QStringLiteral("Melody"));
    // The instrument the trainer plays the melody with, so that a notation program sounds it alike.
    xml.writeStartElement(QStringLiteral("score-instrument"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
    xml.writeTextElement(QStringLiteral("instrument-name"), QStringLiteral("Melody"));
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("midi-instrument"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1-I1"));
    xml.writeTextElement(QStringLiteral("midi-channel"), QStringLiteral("1"));
    xml.writeTextElement(QStringLiteral("midi-program"),
                         QString::number(MelodyProgramAt(build.settings.MelodyProgram - 1).value_or(0) + 1));
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeStartElement(QStringLiteral("part"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("P1"));

    PartWriter part(xml, study.settings);
    const int keys = allKeys ? KeysInCycle : 1;
    for (int k = 0; k < keys; ++k) {
        if (k > 0) {
            study.settings.RootKey = static_cast<std::int16_t>(MoveRoot(firstRoot, k * FourthUp).root);
            if (BuildMessage refused = session.build(true)) {
                out.notices << QString::fromStdString(*refused);
                continue;
            }
        }
        const Settings& s = study.settings;
        const QString name = allKeys ? QString::fromStdString(session.texts(item, s.RootKey).TitleText)
                                           .remove(QStringLiteral("★"))
                                           .trimmed()
                                     : QString();
        part.writeSequence(study.sequence, s.RootKey, name);
    }
    part.finish();
    xml.writeEndElement(); // part
    xml.writeEndElement(); // score-partwise
    xml.writeEndDocument();
    return out;
}

} // namespace orbel::exporter
