#include "sound/midi_backend.h"

#include "sound/alsa_port_output.h"
#include "sound/fallback_output.h"
#include "sound/recording_output.h"
#include "sound/soundfont_locator.h"
#include "sound/synth_output.h"
#include "sound_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using testing::ScopedEnv;

struct ChoiceCase {
    const char* name;
    std::string_view text;
    MidiBackendChoice expected;
    bool problem;
};

class MidiBackendParseTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(MidiBackendParseTest, FirstMeaningfulLineDecides) {
    const ChoiceCase c = GetParam();
    std::string problem;
    EXPECT_EQ(ParseMidiBackendChoice(c.text, &problem), c.expected);
    EXPECT_EQ(!problem.empty(), c.problem) << problem;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, MidiBackendParseTest,
    ::testing::Values(
        ChoiceCase{"Empty", "", {}, false},
        ChoiceCase{"OnlyComments", "; a\r\n# b\r\n' c\r\n\r\n", {}, false},
        ChoiceCase{"SynthWithPathWithBlanks",
                   "# chosen by the selector\r\nSYNTH   /home/me/My Fonts/a b.sf2  \r\n",
                   {MidiBackend::Synthesizer, "/home/me/My Fonts/a b.sf2"},
                   false},
        ChoiceCase{"AlsaByName",
                   "alsa Midi Through Port-0\n",
                   {MidiBackend::AlsaPort, "Midi Through Port-0"},
                   false},
        ChoiceCase{"AlsaByNumber", "\talsa\t1", {MidiBackend::AlsaPort, "1"}, false},
        ChoiceCase{"AlsaFirstPort", "alsa", {MidiBackend::AlsaPort, ""}, false},
        ChoiceCase{"RecorderAfterBom", "\xEF\xBB\xBFrecorder\r\n", {MidiBackend::Recorder, ""}, false},
        ChoiceCase{"OnlyTheFirstLineCounts", "recorder\nalsa 1\n", {MidiBackend::Recorder, ""}, false},
        ChoiceCase{"UnknownLineFallsBackToTheSynthesizer", "synthesizer\nrecorder\n", {}, true},
        ChoiceCase{"NotText", std::string_view("\0\x01\x02", 3), {}, true}),
    [](const ::testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name); });

TEST(MidiBackendFormat, ReadsBackAsTheSameChoice) {
    for (const MidiBackendChoice& choice :
         {MidiBackendChoice{}, MidiBackendChoice{MidiBackend::Synthesizer, "/x/Fluid R3.sf2"},
          MidiBackendChoice{MidiBackend::AlsaPort, "128:0"}, MidiBackendChoice{MidiBackend::AlsaPort, ""},
          MidiBackendChoice{MidiBackend::Recorder, ""}}) {
        EXPECT_EQ(ParseMidiBackendChoice(FormatMidiBackendChoice(choice) + "\r\n"), choice)
            << FormatMidiBackendChoice(choice);
    }
}

class MidiBackendReadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void writeChoice(const QByteArray& text) const {
        QFile file(dir.filePath(QString::fromLatin1(midi_backend::ChoiceFileName)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(text), text.size());
    }
    QTemporaryDir dir;
    ScopedEnv noOverride{midi_backend::OverrideVariable, std::nullopt};
};

TEST_F(MidiBackendReadTest, MissingFileMeansTheBuiltInSynthesizer) {
    EXPECT_EQ(ReadMidiBackendChoice(dir.path()), MidiBackendChoice{});
}

TEST_F(MidiBackendReadTest, RelativeSoundFontIsTakenFromTheProgramFolder) {
    writeChoice("synth fonts/mine.sf2\r\n");
    const MidiBackendChoice choice = ReadMidiBackendChoice(dir.path());
    EXPECT_EQ(choice.backend, MidiBackend::Synthesizer);
    EXPECT_EQ(choice.argument, dir.filePath(QStringLiteral("fonts/mine.sf2")).toStdString());

    writeChoice("synth /usr/share/sounds/sf2/TimGM6mb.sf2\n");
    EXPECT_EQ(ReadMidiBackendChoice(dir.path()).argument, "/usr/share/sounds/sf2/TimGM6mb.sf2");
}

// A file that names no output is told in words, quoting a short, printable start of its line.
TEST_F(MidiBackendReadTest, GarbageIsToldInWordsAndPlaysTheSynthesizer) {
    const QByteArray control("\x01\x02\xFF\x80\x1B[2J");
    for (const int length : {1000, 100000}) { // within the file's limit, and past it
        writeChoice(control + QByteArray(length, 'x') + "\r\nalsa 1\r\n");
        QString problem;
        EXPECT_EQ(ReadMidiBackendChoice(dir.path(), &problem), MidiBackendChoice{});
        EXPECT_TRUE(problem.startsWith(QStringLiteral("midiout.txt の「"))) << problem.toStdString();
        EXPECT_LT(problem.size(), 120);
        EXPECT_TRUE(std::all_of(problem.begin(), problem.end(), [](QChar c) { return c.isPrint(); }))
            << problem.toStdString();
    }
}

TEST_F(MidiBackendReadTest, EnvironmentOverridesTheFile) {
    writeChoice("alsa 0\n");
    EXPECT_EQ(ReadMidiBackendChoice(dir.path()).backend, MidiBackend::AlsaPort);
    ScopedEnv env(midi_backend::OverrideVariable, std::string("recorder"));
    EXPECT_EQ(ReadMidiBackendChoice(dir.path()).backend, MidiBackend::Recorder);
}

TEST(MidiBackendMake, EachChoiceGivesItsBackend) {
    EXPECT_NE(dynamic_cast<SynthOutput*>(MakeMidiOutput({}).get()), nullptr);
    EXPECT_NE(dynamic_cast<FallbackOutput*>(MakeMidiOutput({MidiBackend::AlsaPort, "0"}).get()), nullptr);
    EXPECT_NE(dynamic_cast<RecordingOutput*>(MakeMidiOutput({MidiBackend::Recorder, ""}).get()), nullptr);
}

TEST(RecordingOutputTest, StampsMessagesWithItsClockAndKeepsOnlyWhatAnOpenDeviceGets) {
    std::int64_t now = 1000;
    RecordingOutput recorder([&now] { return now; });
    recorder.send(0x90); // not open yet
    std::string error;
    ASSERT_TRUE(recorder.open(error));
    recorder.send(PackShortMessage(0x90, 60, 100));
    now = 1250;
    recorder.send(PackShortMessage(0xB0, 0x7B, 0));
    recorder.reset();
    recorder.close();
    recorder.send(0x80);
    recorder.reset();
    EXPECT_EQ(recorder.records(), (std::vector<RecordingOutput::Record>{{1000, 0x643C90, std::nullopt},
                                                                        {1250, 0x7BB0, std::nullopt}}));
    EXPECT_EQ(recorder.resetCount(), 1);
    EXPECT_EQ(recorder.closeCount(), 1);
}

// These machines have no ALSA sequencer; elsewhere the port name cannot exist. Either way the open
// fails with a reason, and the user sees the program's message once.
TEST(AlsaPortOutputTest, UnavailablePortFailsToOpenWithAReason) {
    AlsaPortOutput port("no such port \xE2\x99\xAD");
    std::string error;
    EXPECT_FALSE(port.open(error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(port.isOpen());
    port.send(PackShortMessage(0x90, 60, 100)); // quietly lost
    port.reset();
    port.close();
}

class SoundFontLocatorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    void touch(const QString& name) const {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write("RIFF"), 4);
    }
    std::optional<std::string> found() const {
        const auto path = FindGeneralMidiSoundFont(dir.path().toStdString());
        if (!path) return std::nullopt;
        return path->filename().string();
    }
    QTemporaryDir dir;
};

TEST_F(SoundFontLocatorTest, PrefersTheFullSetThenTheSmallOneThenAnyOther) {
    EXPECT_EQ(found(), std::nullopt);
    touch(QStringLiteral("notes.txt"));
    EXPECT_EQ(found(), std::nullopt);
    touch(QStringLiteral("zeta.sf2"));
    touch(QStringLiteral("Alpha.SF2"));
    EXPECT_EQ(found(), "Alpha.SF2");
    touch(QStringLiteral("TimGM6mb.sf2"));
    EXPECT_EQ(found(), "TimGM6mb.sf2");
    touch(QStringLiteral("FluidR3_GM.sf2"));
    EXPECT_EQ(found(), "FluidR3_GM.sf2");
}

TEST_F(SoundFontLocatorTest, SkipsFoldersNamedLikeSoundFontsAndMissingFolders) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("FluidR3_GM.sf2")));
    EXPECT_EQ(found(), std::nullopt);
    touch(QStringLiteral("other.sf2"));
    EXPECT_EQ(found(), "other.sf2");
    EXPECT_FALSE(FindGeneralMidiSoundFont(dir.filePath(QStringLiteral("absent")).toStdString()).has_value());
}

} // namespace
} // namespace orbel
