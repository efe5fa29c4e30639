// orbel-export --score: performance files read and scored against the item as the trainer plays it.

#include "export/export_build.h"
#include "export/midi_render.h"
#include "export/performance_check.h"
#include "export/smf_reader.h"
#include "export/smf_writer.h"
#include "factory_build.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <string>

namespace orbel::exporter {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Header(int tracks, int division) {
    return {'M',
            'T',
            'h',
            'd',
            0,
            0,
            0,
            6,
            0,
            1,
            0,
            static_cast<std::uint8_t>(tracks),
            static_cast<std::uint8_t>(division >> 8),
            static_cast<std::uint8_t>(division & 0xFF)};
}

Bytes Track(const Bytes& body) {
    Bytes t = {'M', 'T', 'r', 'k'};
    const auto n = static_cast<std::uint32_t>(body.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        t.push_back(static_cast<std::uint8_t>(n >> shift));
    t.insert(t.end(), body.begin(), body.end());
    return t;
}

Bytes Join(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(SmfReader, DamagedOrHostileFilesGiveAReasonNotACrash) {
    Bytes manyNotes = {0x00, 0x90, 60, 100};
    manyNotes.reserve(3 * (smf_limits::MaxNotes + 2));
    for (std::size_t i = 0; i < smf_limits::MaxNotes; ++i)
        manyNotes.insert(manyNotes.end(), {0x00, 60, 100}); // running status
    Bytes manyTempi;
    manyTempi.reserve(7 * (smf_limits::MaxTempoChanges + 1));
    for (std::size_t i = 0; i <= smf_limits::MaxTempoChanges; ++i)
        manyTempi.insert(manyTempi.end(), {0x01, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20});
    const struct {
        std::string name;
        Bytes bytes;
        std::string error;
    } cases[] = {
        {"empty", {}, "not a MIDI file"},
        {"text", {'h', 'e', 'l', 'l', 'o'}, "not a MIDI file"},
        {"a header cut short", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0}, "the MIDI file is truncated"},
        {"a track longer than the file", Join(Header(1, 480), {'M', 'T', 'r', 'k', 0, 0, 1, 0, 0}),
         "the MIDI file is truncated"},
        {"data before any status", Join(Header(1, 480), Track({0x00, 60, 100})),
         "the MIDI file is truncated or damaged"},
        {"a status byte where data belongs", Join(Header(1, 480), Track({0x00, 0x90, 60, 0x80})),
         "the MIDI file is truncated or damaged"},
        {"an endless length", Join(Header(1, 480), Track({0xFF, 0xFF, 0xFF, 0xFF, 0x7F})),
         "the MIDI file is truncated or damaged"},
        {"a million notes and one", Join(Header(1, 480), Track(manyNotes)),
         "the MIDI file has more than 1000000 notes"},
        {"a tempo change on every tick past the limit", Join(Header(1, 480), Track(manyTempi)),
         "the MIDI file has more than 100000 tempo changes"},
        {"division zero", Header(0, 0), "the MIDI file's header is not one this program reads"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SmfReadResult result = ReadSmfNotes(c.bytes);
        EXPECT_FALSE(result.file);
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(SmfReader, NoteTimesFollowTheTempoMapAndSmpteDivisions) {
    // 480 a quarter: a quarter at 120, then the tempo doubles, a quarter more; a note on channel 10 too.
    const Bytes conductor = Track({0x00, 0xFF, 0x51, 3, 0x07, 0xA1, 0x20, 0x83, 0x60, 0xFF, 0x51, 3, 0x03,
                                   0xD0, 0x90, 0x00, 0xFF, 0x2F, 0x00});
    const Bytes notes = Track({0x00, 0xFF, 0x03, 3,    'M', 'e', 'l',  0x83, 0x60, 0x90, 60,
                               90,   0x83, 0x60, 0x99, 42,  80,  0x00, 0x80, 60,   0});
    const SmfReadResult read = ReadSmfNotes(Join(Join(Header(2, 480), conductor), notes));
    ASSERT_TRUE(read.file) << read.error;
    ASSERT_EQ(read.file->notes.size(), 2U);
    EXPECT_DOUBLE_EQ(read.file->notes[0].ms, 500.0);
    EXPECT_DOUBLE_EQ(read.file->notes[1].ms, 750.0);
    EXPECT_EQ(read.file->notes[1].channel, 9);
    EXPECT_EQ(read.file->trackNames[1], "Mel");

    // 25 frames of 40 ticks: a tick a millisecond.
    const SmfReadResult smpte = ReadSmfNotes(Join(Header(1, 0xE728), Track({0x83, 0x74, 0x90, 60, 90})));
    ASSERT_TRUE(smpte.file) << smpte.error;
    EXPECT_DOUBLE_EQ(smpte.file->notes.at(0).ms, 500.0);
}

// The notes scored: those of the first track named Melody that holds any, else every channel's but the
// drums'.
TEST(PlayedOf, TheFirstMelodyTrackWithNotesCounts) {
    const struct {
        std::string name;
        std::vector<std::string> tracks;
        std::vector<SmfNote> notes; // track, channel, key
        std::vector<int> keys;
    } cases[] = {
        {"an empty Melody track before the played one", {"Melody", "Melody"}, {{1, 0, 62, 90, 0}}, {62}},
        {"two played Melody tracks", {"Melody", "Melody"}, {{0, 0, 60, 90, 0}, {1, 0, 62, 90, 10}}, {60}},
        {"only an empty Melody track: the accompaniment is not the melody",
         {"Melody", "Chords"},
         {{1, 1, 40, 90, 0}},
         {}},
        {"no Melody track",
         {"", "Bass"},
         {{0, 0, 60, 90, 0}, {1, 9, 42, 90, 5}, {1, 1, 40, 90, 10}},
         {60, 40}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int> keys;
        for (const NoteOnset& note : PlayedOf({c.notes, c.tracks}, 0.0))
            keys.push_back(note.key);
        EXPECT_EQ(keys, c.keys);
    }
}

class ScoreFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        build_ = FactoryBuild(home_, 1, {"Tempo=160", "CountInOn=1", "RepeatOn=1", "RootProgression=0"});
        ASSERT_FALSE(build_.refusal);
        midi_.repeats = 3;
    }

    QString write(const QByteArray& bytes, const char* name) {
        QFile file(home_.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }

    // The melody as a file of a tick a millisecond, shifted and transposed.
    QString playedMelody(double lateMs, int transpose) {
        const Performance performance = RecordPerformance(build_, PlaySettings(build_), midi_);
        SmfTrack track;
        track.events.push_back(TempoEvent(0, 1'000'000));
        const double start = static_cast<double>(performance.playStart) / 1000.0;
        for (const MelodyRepetition& repetition : MelodyOf(performance))
            for (const NoteOnset& note : repetition.notes) {
                const auto at = static_cast<std::uint32_t>(start + note.ms + lateMs);
                track.events.push_back(NoteOnEvent(at, 0, note.key + transpose, 100));
                track.events.push_back(NoteOffEvent(at + 100, 0, note.key + transpose));
            }
        const std::vector<std::uint8_t> bytes = WriteSmf(1000, {track});
        return write(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
            "played.mid");
    }

    QJsonArray scores(const QString& path, ScoreOptions options = {}) {
        const ScoreReport report = ScoreFile(build_, midi_, false, path, options);
        EXPECT_TRUE(report.json) << report.error.toStdString();
        return QJsonDocument::fromJson(report.json.value_or(QByteArray())).object()["repetitions"].toArray();
    }

    QTemporaryDir home_;
    ExportBuild build_;
    MidiOptions midi_;
};

TEST_F(ScoreFileTest, OurOwnFileAndShiftedPerformancesScoreAsPlayed) {
    const QJsonArray own = scores(write(MidiFileBytes(RenderPlay(build_, midi_)), "own.mid"));
    ASSERT_EQ(own.size(), 3);
    for (const QJsonValue& v : own) {
        const QJsonObject r = v.toObject();
        EXPECT_EQ(r["right"].toInt(), r["total"].toInt());
        EXPECT_GT(r["total"].toInt(), 0);
        EXPECT_EQ(r["extra"].toInt(), 0);
        EXPECT_NEAR(r["mean_offset_ms"].toDouble(), 0.0, 1.0);
    }
    for (const QJsonValue& v : scores(playedMelody(30, 0))) {
        const QJsonObject r = v.toObject();
        EXPECT_EQ(r["right"].toInt(), r["total"].toInt());
        EXPECT_NEAR(r["mean_offset_ms"].toDouble(), 30.0, 1.0);
    }
    const QString octave = playedMelody(0, 12);
    EXPECT_EQ(scores(octave).at(0).toObject()["right"].toInt(), 0);
    ScoreOptions anyOctave;
    anyOctave.anyOctave = true;
    const QJsonObject first = scores(octave, anyOctave).at(0).toObject();
    EXPECT_EQ(first["right"].toInt(), first["total"].toInt());
}

TEST_F(ScoreFileTest, AFileWithoutNotesOrNotAFileIsRefusedInOneLine) {
    const SmfTrack empty;
    const std::vector<std::uint8_t> bytes = WriteSmf(480, {empty});
    const QString path =
        write(QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())),
              "empty.mid");
    for (const QString& bad : {path, home_.path(), home_.filePath("missing.mid")}) {
        const ScoreReport report = ScoreFile(build_, midi_, false, bad, {});
        EXPECT_FALSE(report.json);
        EXPECT_FALSE(report.error.isEmpty());
        EXPECT_FALSE(report.error.contains('\n'));
    }
}

} // namespace
} // namespace orbel::exporter
