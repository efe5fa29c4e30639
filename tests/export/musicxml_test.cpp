// orbel-export --format musicxml: every factory item in three keys, read back by a reader of the test's own
// that checks what notation programs rely on, and compared tick by tick with the item's sequence.

#include "export/musicxml_writer.h"
#include "factory_build.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace orbel::exporter {
namespace {

constexpr int Octave = 12;

// What sounds at every tick: a MIDI key, or nothing for a rest.
using Timeline = std::vector<std::optional<int>>;

struct ReadScore {
    Timeline sounding;
    std::vector<std::string> problems;
};

int NaturalKey(char step, int octave) {
    static const std::map<char, int> Offsets = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                                {'G', 7}, {'A', 9}, {'B', 11}};
    return (octave + 1) * Octave + Offsets.at(step);
}

// Reads the part; notes what breaks the rules: a bar that does not add up, unpaired tuplets or ties, beams
// that do not begin and end.
ReadScore Read(const QByteArray& bytes) {
    ReadScore score;
    QXmlStreamReader xml(bytes);
    int beats = 4;
    int measureTicks = 0;
    QString measureNumber;
    bool openTuplet = false;
    std::optional<int> tiedKey;
    int openBeam = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("measure")) {
            measureTicks = 0;
            measureNumber = xml.attributes().value("number").toString();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("measure")) {
            if (measureTicks != beats * 24)
                score.problems.push_back("bar " + measureNumber.toStdString() + " holds " +
                                         std::to_string(measureTicks) + " ticks");
        } else if (xml.isStartElement() && xml.name() == QLatin1String("beats")) {
            beats = xml.readElementText().toInt();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("note")) {
            std::optional<int> key;
            int duration = 0;
            char step = 'C';
            int alter = 0;
            int octave = 4;
            bool tieStart = false;
            bool tieStop = false;
            while (!(xml.isEndElement() && xml.name() == QLatin1String("note")) && !xml.atEnd()) {
                xml.readNext();
                if (!xml.isStartElement()) continue;
                const auto name = xml.name();
                if (name == QLatin1String("step")) step = xml.readElementText().toLatin1().at(0);
                if (name == QLatin1String("alter")) alter = xml.readElementText().toInt();
                if (name == QLatin1String("octave")) {
                    octave = xml.readElementText().toInt();
                    key = NaturalKey(step, octave) + alter;
                }
                if (name == QLatin1String("duration")) duration = xml.readElementText().toInt();
                if (name == QLatin1String("tie")) {
                    const auto type = xml.attributes().value("type");
                    tieStart |= type == QLatin1String("start");
                    tieStop |= type == QLatin1String("stop");
                }
                if (name == QLatin1String("tuplet")) {
                    const auto type = xml.attributes().value("type");
                    if ((type == QLatin1String("start")) == openTuplet)
                        score.problems.push_back("tuplet unpaired");
                    openTuplet = type == QLatin1String("start");
                }
                if (name == QLatin1String("beam") && xml.attributes().value("number") == QLatin1String("1")) {
                    const QString kind = xml.readElementText();
                    if (kind == QLatin1String("begin")) {
                        if (openBeam++ != 0) score.problems.push_back("beam begun twice");
                    } else if (kind == QLatin1String("end")) {
                        if (--openBeam != 0) score.problems.push_back("beam ended without a beginning");
                        openBeam = 0;
                    } else if (openBeam != 1) {
                        score.problems.push_back("beam continued without a beginning");
                    }
                }
            }
            if (tieStop && (!tiedKey || tiedKey != key))
                score.problems.push_back("tie stopped on another note");
            if (!tieStop && tiedKey) score.problems.push_back("tie started and never stopped");
            tiedKey = tieStart ? key : std::nullopt;
            measureTicks += duration;
            score.sounding.insert(score.sounding.end(), static_cast<std::size_t>(duration), key);
        }
    }
    if (xml.hasError()) score.problems.push_back("not well-formed: " + xml.errorString().toStdString());
    if (openTuplet) score.problems.push_back("a tuplet left open");
    if (openBeam != 0) score.problems.push_back("a beam left open");
    return score;
}

// The sequence tick by tick, as the player sounds it: a tied entry goes on sounding the note before.
Timeline Expected(const ExportBuild& build) {
    const PlaySequence& seq = build.seq;
    Timeline timeline;
    std::optional<int> last;
    for (int i = 0; i < seq.SeqCount; ++i) {
        const auto n = static_cast<std::size_t>(i);
        std::optional<int> key;
        if (seq.SeqRest[n] != 1)
            key = seq.SeqTie[n] == 1 && last
                      ? *last
                      : seq.SeqPitch[n] + Octave * seq.OctaveShift + build.settings.PitchBaseC;
        last = key;
        timeline.insert(timeline.end(), static_cast<std::size_t>(std::max<int>(seq.SeqDur[n], 0)), key);
    }
    return timeline;
}

TEST(MusicXml, EveryFactoryItemInThreeKeysReadsBackAsItsSequence) {
    QTemporaryDir home;
    int checked = 0;
    for (int study = 0; study <= 3; ++study) {
        for (int item = 0;; ++item) {
            bool more = false;
            for (const int root : {0, 3, 8}) {
                ExportBuild build = FactoryBuild(home, study, {QStringLiteral("RootKey=%1").arg(root)}, item);
                ASSERT_FALSE(build.badSet);
                if (build.refusal) break;
                more = true;
                SCOPED_TRACE("study " + std::to_string(study) + " item " + std::to_string(item) + " root " +
                             std::to_string(root));
                const ReadScore score = Read(WriteMusicXml(build, false).bytes);
                EXPECT_TRUE(score.problems.empty()) << score.problems.front();
                const Timeline expected = Expected(build);
                ASSERT_GE(score.sounding.size(), expected.size());
                EXPECT_TRUE(std::equal(expected.begin(), expected.end(), score.sounding.begin()));
                // What follows the sequence only fills its last bar, with rests.
                EXPECT_TRUE(std::all_of(score.sounding.begin() + static_cast<std::ptrdiff_t>(expected.size()),
                                        score.sounding.end(), [](const auto& k) { return !k; }));
                ++checked;
            }
            if (!more) break;
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(MusicXml, AllKeysOpensEveryKeyWithItsRehearsalMark) {
    QTemporaryDir home;
    const ExportBuild build = FactoryBuild(home, 2, {}, 0);
    ASSERT_FALSE(build.refusal);
    const QByteArray bytes = WriteMusicXml(build, true).bytes;
    EXPECT_EQ(bytes.count("<rehearsal>"), 12);
    EXPECT_TRUE(Read(bytes).problems.empty());
}

} // namespace
} // namespace orbel::exporter
