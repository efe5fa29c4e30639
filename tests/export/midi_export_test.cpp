// orbel-export --format mid: the bytes of the writer, and files of the real companion read back with a
// small reader of their own.

#include "export/smf_writer.h"
#include "export_options.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <utility>

namespace orbel::exporter {
namespace {

// --- A reader for what the tests get back

struct ReadEvent {
    std::uint32_t time = 0;
    int status = 0; // 0xFF for a meta event
    int data1 = 0;  // the meta type for a meta event
    int data2 = 0;
    QByteArray meta;
    int channel() const { return status & 0x0F; }
    int kind() const { return status & 0xF0; }
    bool noteOn() const { return kind() == 0x90 && data2 > 0; }
    bool noteOff() const { return kind() == 0x80 || (kind() == 0x90 && data2 == 0); }
};

struct ReadFile {
    int format = 0;
    int division = 0;
    std::vector<std::vector<ReadEvent>> tracks;
};

bool ReadLength(const QByteArray& d, int& i, int end, std::uint32_t& value) {
    value = 0;
    for (int n = 0; n < 4; ++n) {
        if (i >= end) return false;
        const auto byte = static_cast<std::uint8_t>(d[i++]);
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

std::uint32_t BigEndian(const QByteArray& d, int at, int bytes) {
    std::uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | static_cast<std::uint8_t>(d[at + i]);
    return value;
}

// The file, or nothing when it breaks any rule the writer must keep (chunk lengths, no running status,
// each track closed by exactly one end-of-track).
std::optional<ReadFile> ReadMidi(const QByteArray& d) {
    if (d.size() < 14 || !d.startsWith("MThd") || BigEndian(d, 4, 4) != 6) return std::nullopt;
    ReadFile file;
    file.format = static_cast<int>(BigEndian(d, 8, 2));
    const int trackCount = static_cast<int>(BigEndian(d, 10, 2));
    file.division = static_cast<int>(BigEndian(d, 12, 2));
    int i = 14;
    for (int t = 0; t < trackCount; ++t) {
        if (i + 8 > d.size() || d.mid(i, 4) != "MTrk") return std::nullopt;
        const int end = i + 8 + static_cast<int>(BigEndian(d, i + 4, 4));
        if (end > d.size()) return std::nullopt;
        i += 8;
        std::vector<ReadEvent> events;
        std::uint32_t now = 0;
        bool closed = false;
        while (i < end) {
            if (closed) return std::nullopt; // something after the end of the track
            std::uint32_t delta = 0;
            if (!ReadLength(d, i, end, delta) || i >= end) return std::nullopt;
            now += delta;
            ReadEvent e;
            e.time = now;
            e.status = static_cast<std::uint8_t>(d[i++]);
            if (e.status < 0x80) return std::nullopt;
            if (e.status == 0xFF) {
                std::uint32_t length = 0;
                if (i >= end) return std::nullopt;
                e.data1 = static_cast<std::uint8_t>(d[i++]);
                if (!ReadLength(d, i, end, length) || i + static_cast<int>(length) > end) return std::nullopt;
                e.meta = d.mid(i, static_cast<int>(length));
                i += static_cast<int>(length);
                closed = e.data1 == 0x2F;
            } else {
                const int dataBytes = (e.kind() == 0xC0 || e.kind() == 0xD0) ? 1 : 2;
                if (i + dataBytes > end) return std::nullopt;
                e.data1 = static_cast<std::uint8_t>(d[i++]);
                if (dataBytes == 2) e.data2 = static_cast<std::uint8_t>(d[i++]);
            }
            events.push_back(e);
        }
        if (!closed) return std::nullopt;
        file.tracks.push_back(std::move(events));
    }
    return i == d.size() ? std::optional<ReadFile>(file) : std::nullopt;
}

struct Note {
    std::uint32_t on = 0;
    std::uint32_t off = 0;
    int key = 0;
    int velocity = 0;
    bool operator==(const Note&) const = default;
};

// The notes of a channel (every track), in order of their start; a note-off that ends no note, a key
// struck while it sounds or a note that never ends is a failure.
std::vector<Note> NotesOf(const ReadFile& file, int channel) {
    std::vector<Note> done;
    for (const auto& track : file.tracks) {
        std::map<int, Note> sounding;
        for (const ReadEvent& e : track) {
            if (e.status == 0xFF || e.channel() != channel) continue;
            if (e.noteOn()) {
                EXPECT_FALSE(sounding.contains(e.data1))
                    << "key " << e.data1 << " struck again at " << e.time;
                sounding[e.data1] = {e.time, 0, e.data1, e.data2};
            } else if (e.noteOff()) {
                auto it = sounding.find(e.data1);
                EXPECT_NE(it, sounding.end()) << "note-off of silent key " << e.data1 << " at " << e.time;
                if (it == sounding.end()) continue;
                it->second.off = e.time;
                EXPECT_LT(it->second.on, e.time) << "key " << e.data1;
                done.push_back(it->second);
                sounding.erase(it);
            }
        }
        EXPECT_TRUE(sounding.empty()) << sounding.size() << " notes never end on channel " << channel;
    }
    std::stable_sort(done.begin(), done.end(), [](const Note& a, const Note& b) { return a.on < b.on; });
    return done;
}

std::vector<std::uint32_t> Starts(const std::vector<Note>& notes) {
    std::vector<std::uint32_t> times;
    for (const Note& n : notes)
        times.push_back(n.on);
    return times;
}

std::vector<int> Keys(const std::vector<Note>& notes) {
    std::vector<int> keys;
    for (const Note& n : notes)
        keys.push_back(n.key);
    return keys;
}

std::vector<ReadEvent> Metas(const ReadFile& file, int type) {
    std::vector<ReadEvent> found;
    for (const ReadEvent& e : file.tracks.front())
        if (e.status == 0xFF && e.data1 == type) found.push_back(e);
    return found;
}

std::uint32_t TempoOf(const ReadEvent& e) {
    return BigEndian(e.meta, 0, 3);
}

// Every channel message of a track sits on the track's one channel.
std::vector<int> ChannelsOf(const std::vector<ReadEvent>& track) {
    std::vector<int> channels;
    for (const ReadEvent& e : track)
        if (e.status != 0xFF && std::find(channels.begin(), channels.end(), e.channel()) == channels.end())
            channels.push_back(e.channel());
    return channels;
}

// --- The writer

TEST(SmfWriter, VariableLengthQuantities) {
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> cases{
        {0, {0x00}},
        {0x40, {0x40}},
        {0x7F, {0x7F}},
        {0x80, {0x81, 0x00}},
        {0x2000, {0xC0, 0x00}},
        {0x3FFF, {0xFF, 0x7F}},
        {0x4000, {0x81, 0x80, 0x00}},
        {0x1FFFFF, {0xFF, 0xFF, 0x7F}},
        {0x200000, {0x81, 0x80, 0x80, 0x00}},
        {0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}},
        {0xFFFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}}, // beyond the format: the largest it can say
    };
    for (const auto& [value, bytes] : cases) {
        std::vector<std::uint8_t> out;
        AppendVariableLength(out, value);
        EXPECT_EQ(out, bytes) << value;
    }
}

TEST(SmfWriter, TracksAreOrderedInTimeAndClosed) {
    SmfTrack track;
    track.events.push_back(NoteOnEvent(200, 1, 60, 100));
    track.events.push_back(NoteOffEvent(300, 1, 60));
    track.events.push_back(NoteOffEvent(200, 1, 64)); // same time as the first: stays after it
    track.events.push_back(ProgramChangeEvent(0, 1, 33));
    track.end = 1000;
    SmfTrack conductor;
    conductor.events.push_back(TempoEvent(0, 504000));
    conductor.events.push_back(TimeSignatureEvent(0, 3));
    conductor.events.push_back(TrackNameEvent(0, "C 1-3-5-7"));
    const std::vector<std::uint8_t> bytes = WriteSmf(504, {conductor, track});
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));

    const auto file = ReadMidi(data);
    ASSERT_TRUE(file);
    EXPECT_EQ(file->format, 1);
    EXPECT_EQ(file->division, 504);
    ASSERT_EQ(file->tracks.size(), 2U);
    EXPECT_EQ(TempoOf(file->tracks[0][0]), 504000U);
    EXPECT_EQ(file->tracks[0][1].meta, QByteArray("\x03\x02\x18\x08", 4));
    EXPECT_EQ(file->tracks[0][2].meta, "C 1-3-5-7");
    const auto& t = file->tracks[1];
    ASSERT_EQ(t.size(), 5U);
    EXPECT_EQ((std::vector<int>{t[0].status, t[0].data1}), (std::vector<int>{0xC1, 32}));
    EXPECT_EQ((std::vector<int>{t[1].status, t[1].data1, static_cast<int>(t[1].time)}),
              (std::vector<int>{0x91, 60, 200}));
    EXPECT_EQ((std::vector<int>{t[2].status, t[2].data1, static_cast<int>(t[2].time)}),
              (std::vector<int>{0x81, 64, 200}));
    EXPECT_EQ(t[3].time, 300U);
    EXPECT_EQ(t[4].time, 1000U); // the end of the track where it was asked for
    EXPECT_EQ(t[4].data1, 0x2F);
}

// --- The command line

TEST(ExportOptionsMidi, FormatRepeatsAndSeed) {
    const QString program = QStringLiteral("orbel-export");
    const ParsedOptions plain = ParseExportOptions({program, "--study", "2", "--format", "mid"});
    ASSERT_TRUE(plain.options);
    EXPECT_EQ(plain.options->format, Format::Midi);
    EXPECT_EQ(plain.options->midi.repeats, 1);
    EXPECT_EQ(plain.options->midi.seed, midi_defaults::Seed);

    const ParsedOptions full = ParseExportOptions(
        {program, "--study", "2", "--format", "mid", "--repeats", "100", "--seed", "4294967295"});
    ASSERT_TRUE(full.options);
    EXPECT_EQ(full.options->midi.repeats, 100);
    EXPECT_EQ(full.options->midi.seed, 4294967295U);

    for (const QStringList& bad :
         {QStringList{"--format", "mid", "--repeats", "0"},
          QStringList{"--format", "mid", "--repeats", "101"},
          QStringList{"--format", "mid", "--repeats", "two"}, QStringList{"--format", "mid", "--seed", "-1"},
          QStringList{"--format", "mid", "--seed", "4294967296"}, QStringList{"--repeats", "2"},
          QStringList{"--format", "json", "--seed", "3"}, QStringList{"--format", "midi"}}) {
        const ParsedOptions parsed = ParseExportOptions(QStringList{program, "--study", "2"} + bad);
        EXPECT_FALSE(parsed.options) << bad.join(' ').toStdString();
        EXPECT_FALSE(parsed.error.isEmpty());
    }
}

// --- Files of the real companion

constexpr int Beat120 = 504; // ms: tick 21 at tempo 120
constexpr int PatternLength = 16 * Beat120;

class ExportMidi : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(home.isValid());
        for (const char* name : {"ptn.txt", "scale.txt"})
            ASSERT_TRUE(QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + QString::fromLatin1(name),
                                    home.filePath(QString::fromLatin1(name))));
    }
    void writePhrases(const QByteArray& text) {
        QFile phrases(home.filePath("ric.txt"));
        ASSERT_TRUE(phrases.open(QIODevice::WriteOnly));
        phrases.write(text);
    }
    // The companion with sounding volumes at tempo 120 and C = key 36, then extra.
    int exec(const QStringList& extra) {
        QStringList arguments{"--home", home.path(), "--format", "mid"};
        for (const char* set : {"MelodyOn=1", "MelodyVolume=100", "ChordVolume=80", "BassVolume=90",
                                "ClickVolume=70", "Tempo=120", "PitchBaseC=36"})
            arguments << "--set" << set;
        QProcess process;
        process.start(QStringLiteral(ORBEL_PROGRAM_DIR "/orbel-export"), arguments + extra);
        EXPECT_TRUE(process.waitForFinished(20000));
        out = process.readAllStandardOutput();
        err = QString::fromUtf8(process.readAllStandardError());
        return process.exitCode();
    }
    // As exec; the file must read back and every note must end.
    ReadFile run(const QStringList& extra) {
        EXPECT_EQ(exec(extra), 0) << err.toStdString();
        const auto file = ReadMidi(out);
        EXPECT_TRUE(file) << "unreadable file of " << out.size() << " bytes";
        if (!file) return {};
        for (int channel = 0; channel < 16; ++channel)
            NotesOf(*file, channel);
        return *file;
    }
    ReadFile pattern(const QStringList& extra = {}) {
        return run(QStringList{"--study", "2", "--item", "2", "--root", "0"} + extra);
    }
    QTemporaryDir home;
    QByteArray out;
    QString err;
};

TEST_F(ExportMidi, PatternInCAtTempo120) {
    const ReadFile file = pattern();
    EXPECT_EQ(file.format, 1);
    ASSERT_EQ(file.tracks.size(), 2U); // conductor and melody: no accompaniment, click or count-in
    EXPECT_EQ(file.division, 24 * 21);
    const auto tempos = Metas(file, 0x51);
    ASSERT_EQ(tempos.size(), 1U);
    EXPECT_EQ(TempoOf(tempos[0]), 504000U); // one MIDI tick is one millisecond
    const auto signatures = Metas(file, 0x58);
    ASSERT_EQ(signatures.size(), 1U);
    EXPECT_EQ(signatures[0].meta.at(0), 4);
    ASSERT_FALSE(Metas(file, 0x03).empty());
    EXPECT_TRUE(Metas(file, 0x03)[0].meta.startsWith("C ")) << Metas(file, 0x03)[0].meta.toStdString();
    EXPECT_EQ(ChannelsOf(file.tracks[1]), std::vector<int>{0});
    EXPECT_EQ(file.tracks[1][1].status, 0xC0); // MelodyProgram 1, after the track's name
    EXPECT_EQ(file.tracks[1][1].data1, 0);

    const std::vector<Note> melody = NotesOf(file, 0);
    ASSERT_EQ(melody.size(), 16U);
    std::vector<std::uint32_t> beats;
    for (std::uint32_t n = 0; n < 16; ++n)
        beats.push_back(n * Beat120);
    EXPECT_EQ(Starts(melody), beats);
    EXPECT_EQ(Keys(melody),
              (std::vector<int>{62, 65, 69, 72, 67, 71, 74, 77, 60, 64, 67, 71, 60, 64, 67, 71}));
    EXPECT_EQ(melody[0].velocity, 100);
    // The notes of the first 100 ticks ring on until the first melody event after them (tick 120); later
    // each note ends where the next begins, the last at the end of the play-through.
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(melody[static_cast<std::size_t>(n)].off, 5U * Beat120) << n;
    EXPECT_EQ(melody[5].off, 6U * Beat120);
    EXPECT_EQ(melody[15].off, static_cast<std::uint32_t>(PatternLength));
    EXPECT_EQ(file.tracks[0].back().time, static_cast<std::uint32_t>(PatternLength));
}

TEST_F(ExportMidi, AccompanimentOnChannelsOneAndTwo) {
    const ReadFile file =
        pattern({"--set", "AccompanimentOn=1", "--set", "ChordProgram=5", "--set", "BassSound=1"});
    ASSERT_EQ(file.tracks.size(), 4U);
    EXPECT_EQ(ChannelsOf(file.tracks[2]), std::vector<int>{1});
    EXPECT_EQ(ChannelsOf(file.tracks[3]), std::vector<int>{2});
    EXPECT_EQ(file.tracks[2][1].status, 0xC1);
    EXPECT_EQ(file.tracks[2][1].data1, 4);
    EXPECT_EQ(file.tracks[3][1].data1, 33); // "Fingered Bs", program 34

    const std::vector<Note> bass = NotesOf(file, 2);
    ASSERT_EQ(bass.size(), 16U); // one a beat, each until the next
    for (std::size_t n = 0; n + 1 < bass.size(); ++n)
        EXPECT_EQ(bass[n].off, bass[n + 1].on);
    EXPECT_EQ(bass[0].velocity, 90);
    const std::vector<Note> chords = NotesOf(file, 1);
    ASSERT_FALSE(chords.empty());
    EXPECT_EQ(chords[0].on, 0U);
    EXPECT_EQ(chords[0].velocity, 80);
    for (const Note& n : chords)
        EXPECT_EQ(n.on % (Beat120 / 2), 0U); // struck on the beats and the eighths between

    // The same seed writes the same file; the trainer's own draws vary from run to run.
    const QByteArray first = out;
    pattern({"--set", "AccompanimentOn=1", "--set", "ChordProgram=5", "--set", "BassSound=1"});
    EXPECT_EQ(out, first);

    // A scale is never accompanied.
    const ReadFile scale = run({"--study", "0", "--item", "0", "--set", "AccompanimentOn=1"});
    EXPECT_EQ(scale.tracks.size(), 2U);
}

TEST_F(ExportMidi, ClickOncePerBeatOnlyWhenSwitchedOn) {
    const ReadFile clicking = pattern({"--set", "ClickOn=1", "--set", "ClickSound=1"});
    ASSERT_EQ(clicking.tracks.size(), 3U);
    EXPECT_EQ(ChannelsOf(clicking.tracks[2]), std::vector<int>{9});
    const std::vector<Note> clicks = NotesOf(clicking, 9);
    ASSERT_EQ(clicks.size(), 16U);
    for (std::size_t n = 0; n < clicks.size(); ++n) {
        EXPECT_EQ(clicks[n].on, n * Beat120);
        EXPECT_EQ(clicks[n].key, 38); // "スネア"
        EXPECT_EQ(clicks[n].velocity, 70);
    }

    const ReadFile silent = pattern({"--set", "ClickOn=0"});
    EXPECT_EQ(silent.tracks.size(), 2U);
    EXPECT_TRUE(NotesOf(silent, 9).empty());
}

TEST_F(ExportMidi, CountInTwoBarsBeforeThePlay) {
    const ReadFile file = pattern({"--set", "CountInOn=1"});
    const std::vector<Note> clicks = NotesOf(file, 9);
    ASSERT_EQ(clicks.size(), 6U);
    // Two half notes and four quarter notes in quarters of the file, each a beat of the plain tempo.
    EXPECT_EQ(Starts(clicks), (std::vector<std::uint32_t>{0, 1008, 2016, 2520, 3024, 3528}));
    for (const Note& n : clicks) {
        EXPECT_EQ(n.key, 68);
        EXPECT_EQ(n.velocity, 127);
    }
    const auto tempos = Metas(file, 0x51);
    ASSERT_EQ(tempos.size(), 2U);
    EXPECT_EQ(tempos[0].time, 0U);
    EXPECT_EQ(TempoOf(tempos[0]), 500000U); // the count-in waits whole beats of 60000 / 120 ms
    EXPECT_EQ(tempos[1].time, 8U * Beat120);
    EXPECT_EQ(TempoOf(tempos[1]), 504000U);
    EXPECT_EQ(NotesOf(file, 0).front().on, 8U * Beat120);

    // A phrase in 3/4 keeps the count-in's two bars of 4/4, then changes its metre.
    writePhrases("$WALTZ\r\n/3\r\n*CM7\r\n3C5\r\n3E5\r\n3G5\r\n");
    const ReadFile waltz = run({"--study", "3", "--item", "0", "--set", "CountInOn=1"});
    const auto signatures = Metas(waltz, 0x58);
    ASSERT_EQ(signatures.size(), 2U);
    EXPECT_EQ((std::vector<int>{signatures[0].meta.at(0), static_cast<int>(signatures[0].time)}),
              (std::vector<int>{4, 0}));
    EXPECT_EQ((std::vector<int>{signatures[1].meta.at(0), static_cast<int>(signatures[1].time)}),
              (std::vector<int>{3, 8 * Beat120}));
}

TEST_F(ExportMidi, SwingLongAndShortEighths) {
    // Tempo 100, level 1: tick 25 ms, long 35, short 15 — eighths of 420 and 180 ms.
    const ReadFile file = run(
        {"--study", "0", "--item", "0", "--set", "Tempo=100", "--set", "SwingOn=1", "--set", "SwingLevel=1"});
    EXPECT_EQ(file.division, 600);
    EXPECT_EQ(TempoOf(Metas(file, 0x51).at(0)), 600000U);
    EXPECT_EQ(Starts(NotesOf(file, 0)),
              (std::vector<std::uint32_t>{0, 420, 600, 1020, 1200, 1620, 1800, 2220}));
    EXPECT_EQ(file.tracks[0].back().time, 2400U);

    const ReadFile straight = run({"--study", "0", "--item", "0", "--set", "Tempo=100"});
    EXPECT_EQ(Starts(NotesOf(straight, 0)),
              (std::vector<std::uint32_t>{0, 300, 600, 900, 1200, 1500, 1800, 2100}));
}

TEST_F(ExportMidi, RepeatsFollowTheRootProgression) {
    const QStringList repeat{"--set", "RepeatOn=1", "--set", "RepeatCount=1", "--set", "RootProgression=2"};
    // A fourth up: the second pass is in F.
    const ReadFile fourth = pattern(repeat + QStringList{"--repeats", "2"});
    const std::vector<Note> melody = NotesOf(fourth, 0);
    ASSERT_EQ(melody.size(), 32U);
    EXPECT_EQ(melody[16].on, static_cast<std::uint32_t>(PatternLength));
    EXPECT_EQ(melody[16].key, 62 + 5);
    const auto markers = Metas(fourth, 0x06);
    ASSERT_EQ(markers.size(), 2U);
    EXPECT_TRUE(markers[0].meta.startsWith("C ")) << markers[0].meta.toStdString();
    EXPECT_TRUE(markers[1].meta.startsWith("F ")) << markers[1].meta.toStdString();
    EXPECT_EQ(markers[1].time, static_cast<std::uint32_t>(PatternLength));

    // From G the fourth carries an octave: C above, not below.
    const ReadFile carried =
        run(QStringList{"--study", "2", "--item", "2", "--root", "7", "--repeats", "2"} + repeat);
    const std::vector<Note> fromG = NotesOf(carried, 0);
    ASSERT_EQ(fromG.size(), 32U);
    EXPECT_EQ(fromG[16].key, fromG[0].key + 5);

    // RepeatCount repetitions on each root: C, C, F.
    const ReadFile twice = pattern(
        {"--set", "RepeatOn=1", "--set", "RepeatCount=2", "--set", "RootProgression=2", "--repeats", "3"});
    const std::vector<Note> cc = NotesOf(twice, 0);
    ASSERT_EQ(cc.size(), 48U);
    EXPECT_EQ((std::vector<int>{cc[0].key, cc[16].key, cc[32].key}), (std::vector<int>{62, 62, 67}));

    // Without repeat the play button has no progression: every repetition stays on the root.
    const ReadFile still = pattern({"--set", "RepeatOn=0", "--set", "RootProgression=2", "--repeats", "2"});
    const std::vector<Note> same = NotesOf(still, 0);
    ASSERT_EQ(same.size(), 32U);
    EXPECT_EQ(same[16].key, 62);
}

TEST_F(ExportMidi, AccompanimentVariantsAlternate) {
    const ReadFile file = pattern({"--set", "AccompanimentOn=1", "--set", "RepeatOn=1", "--set",
                                   "RootProgression=3", "--repeats", "3"});
    // The comping of each repetition, in time from its start.
    auto pass = [&](std::uint32_t number) {
        std::vector<Note> notes;
        for (Note n : NotesOf(file, 1)) {
            if (n.on / PatternLength != number) continue;
            n.on -= number * PatternLength;
            n.off -= number * PatternLength;
            notes.push_back(n);
        }
        for (Note n : NotesOf(file, 2)) {
            if (n.on / PatternLength != number) continue;
            n.on -= number * PatternLength;
            n.off -= number * PatternLength;
            notes.push_back(n);
        }
        return notes;
    };
    ASSERT_FALSE(pass(0).empty());
    EXPECT_EQ(pass(2), pass(0)); // variant 0 again
    EXPECT_NE(pass(1), pass(0)); // variant 1 in between
}

TEST_F(ExportMidi, SixteenthRestAfterAnOddScale) {
    // Seven eighths at tempo 120 end off the beat; the player rests nearest(500 / 4) = 125 ms.
    const ReadFile file = run({"--study", "0", "--item", "11", "--set", "RepeatOn=1", "--set",
                               "RepeatCount=2", "--set", "RootProgression=3", "--repeats", "2"});
    const std::vector<Note> melody = NotesOf(file, 0);
    ASSERT_EQ(melody.size(), 14U);
    EXPECT_EQ(melody[7].on, 7U * 252 + 125);
}

TEST_F(ExportMidi, TiesRestsAndRingingNotes) {
    writePhrases("$TIE\r\n*CM7\r\n3C5\r\n3D5\r\n3E5\r\n3F5\r\n3G5\r\n3A5\r\n=3A5\r\nR5\r\n3B5\r\n");
    const std::vector<Note> melody = NotesOf(run({"--study", "3", "--item", "0"}), 0);
    ASSERT_EQ(melody.size(), 7U);
    for (std::size_t n = 0; n < 5; ++n)
        EXPECT_EQ(melody[n].off, 5U * Beat120); // rung on past tick 100, ended by the A at tick 120
    EXPECT_EQ(melody[5], (Note{5 * Beat120, 7 * Beat120, 69, 100})); // the tie does not end it, the rest does
    EXPECT_EQ(melody[6], (Note{8 * Beat120, 9 * Beat120, 71, 100}));

    // The top note of a scale up and down is struck twice while the first still rings: the first ends
    // where the second begins, so each has its own note-off.
    const std::vector<Note> scale = NotesOf(run({"--study", "0", "--item", "0", "--set", "UpDown=1"}), 0);
    ASSERT_EQ(scale.size(), 16U);
    EXPECT_EQ(scale[7], (Note{7 * Beat120 / 2, 8 * Beat120 / 2, 72, 100}));
    EXPECT_EQ(scale[8].on, 8U * Beat120 / 2);
    EXPECT_EQ(scale[8].key, 72);
}

TEST_F(ExportMidi, KeysOutOfRangeAndSilentVelocities) {
    // C = 100: only the pitches up to 27 stay inside the MIDI keys.
    const std::vector<Note> high = NotesOf(pattern({"--set", "PitchBaseC=100"}), 0);
    EXPECT_EQ(Keys(high), (std::vector<int>{126, 124, 124}));
    // And below key 0: a range limit that takes the notes an octave down, C = 0 and 20 semitones down for a
    // transposing instrument.
    const std::vector<Note> low =
        NotesOf(pattern({"--set", "RangeLimitOn=1", "--set", "RangeHigh=30", "--set", "RangeLow=1", "--set",
                         "PitchBaseC=0", "--set", "TransposeSemitones=-20"}),
                0);
    EXPECT_EQ(Keys(low), (std::vector<int>{1, 4, 3, 6, 9, 3, 3}));

    EXPECT_EQ(NotesOf(pattern({"--set", "MelodyVolume=300"}), 0).front().velocity, 127);
    EXPECT_TRUE(NotesOf(pattern({"--set", "MelodyVolume=0"}), 0).empty());
    const ReadFile muted = pattern({"--set", "MelodyOn=0", "--set", "ClickOn=1"});
    EXPECT_TRUE(NotesOf(muted, 0).empty());
    EXPECT_EQ(NotesOf(muted, 9).size(), 16U); // the play-through still runs its full length
}

TEST_F(ExportMidi, WritesStandardOutputOrTheFileNamed) {
    pattern();
    const QByteArray toStdout = out;
    ASSERT_TRUE(toStdout.startsWith("MThd"));
    const QString target = home.filePath("out.mid");
    ASSERT_EQ(exec({"--study", "2", "--item", "2", "--root", "0", "-o", target}), 0) << err.toStdString();
    EXPECT_TRUE(out.isEmpty());
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), toStdout);
}

} // namespace
} // namespace orbel::exporter
