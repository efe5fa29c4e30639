#include "sound/midi1.h"

#include "sound/instrument_tables.h"
#include "sound/recording_output.h"
#include "sound/sound_texts.h"
#include "sound_test_support.h"
#include "support/recording_prompter.h"
#include "theory/settings.h"

#include <QTemporaryDir>
#include <climits>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

namespace orbel {
namespace {

using testing::Bytes;
using testing::Unpacked;

class Midi1Test : public ::testing::Test {
protected:
    Midi1Test() {
        settings.PitchBaseC = 60;
        settings.MelodyProgram = 1;
        settings.ChordProgram = 1;
        settings.ClickVolume = 90;
        auto output = std::make_unique<RecordingOutput>();
        recorder = output.get();
        midi = std::make_unique<Midi1>(settings, prompter, std::move(output), std::nullopt);
    }

    void open() {
        midi->InitSoundTables();
        ASSERT_TRUE(midi->isOpen());
    }
    std::vector<Bytes> sent() const { return Unpacked(recorder->messages()); }

    Settings settings;
    testing::RecordingPrompter prompter;
    RecordingOutput* recorder = nullptr;
    std::unique_ptr<Midi1> midi;
};

TEST_F(Midi1Test, ClickEndsThePreviousClickThenSoundsTheChosenKey) {
    open();
    settings.ClickSound = 0;
    midi->MidiClick();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x99, 0x7B, 0x00}, {0x99, 33, 90}}));

    recorder->clearRecords();
    settings.ClickSound = 9;
    settings.ClickVolume = 127;
    midi->MidiClick();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x99, 0x7B, 0x00}, {0x99, 68, 127}}));
}

TEST_F(Midi1Test, FirstClickAndCountInIgnoreTheChosenSound) {
    open();
    settings.ClickSound = 5;
    midi->MidiClickFirst();
    midi->MidiCountInClick();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x99, 0x7B, 0x00}, {0x99, 33, 90}, {0x99, 0x44, 0x7F}}));
}

TEST_F(Midi1Test, ClickSoundOutsideTheTableSoundsNoKey) {
    open();
    for (int clickSound : {-1, 11, 300}) {
        recorder->clearRecords();
        settings.ClickSound = static_cast<std::int16_t>(clickSound);
        midi->MidiClick();
        EXPECT_EQ(sent(), (std::vector<Bytes>{{0x99, 0x7B, 0x00}})) << clickSound;
    }
}

TEST_F(Midi1Test, WrittenPitchIsTransposedAndConcertPitchIsNot) {
    open();
    settings.TransposeSemitones = -2;
    midi->MidiNoteOn(0, 0, 100);
    midi->MidiNoteOnConcert(0, 0, 100);
    midi->MidiNoteOffConcert(3, 34);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x90, 58, 100}, {0x90, 60, 100}, {0x93, 94, 0}}));
    // status + 256 x data1 + 65536 x data2
    EXPECT_EQ(recorder->messages().front(), 0x90U + 256U * 58U + 65536U * 100U);
}

struct PitchCase {
    int pitchBaseC;
    int transpose;
    int pitch;
    bool sent;
};

class Midi1PitchRangeTest : public Midi1Test, public ::testing::WithParamInterface<PitchCase> {};

// A key that leaves 0..127 is dropped, never folded into another key.
TEST_P(Midi1PitchRangeTest, OnlyKeysInsideTheMidiRangeAreSent) {
    const PitchCase c = GetParam();
    open();
    settings.PitchBaseC = static_cast<std::int16_t>(c.pitchBaseC);
    settings.TransposeSemitones = static_cast<std::int16_t>(c.transpose);
    midi->MidiNoteOn(0, c.pitch, 100);
    if (c.sent) {
        ASSERT_EQ(sent().size(), 1U);
        EXPECT_EQ(sent()[0], (Bytes{0x90, c.pitchBaseC + c.transpose + c.pitch, 100}));
    } else {
        EXPECT_TRUE(sent().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Edges, Midi1PitchRangeTest,
                         ::testing::Values(PitchCase{0, 0, 0, true}, PitchCase{120, 7, 0, true},
                                           PitchCase{120, 8, 0, false}, PitchCase{120, 20, 0, false},
                                           PitchCase{0, -1, 0, false}, PitchCase{60, -20, -40, true},
                                           PitchCase{60, 0, -61, false}, PitchCase{60, 0, 68, false},
                                           PitchCase{60, 0, INT_MAX, false},
                                           PitchCase{60, 0, INT_MIN, false}));

TEST_F(Midi1Test, ConcertPitchOutsideTheRangeIsNotSent) {
    open();
    settings.PitchBaseC = 120;
    settings.TransposeSemitones = -20; // would bring it back into range, but concert pitch ignores it
    midi->MidiNoteOnConcert(3, 8, 127);
    midi->MidiNoteOffConcert(3, 8);
    EXPECT_TRUE(sent().empty());
}

TEST_F(Midi1Test, VelocityIsBroughtIntoRangeAndBadChannelsAreNotSent) {
    open();
    midi->MidiNoteOn(1, 0, 200);
    midi->MidiNoteOn(2, 0, -5);
    midi->MidiNoteOn(16, 0, 100);
    midi->MidiNoteOn(-1, 0, 100);
    midi->MidiAllNotesOff(16);
    midi->MidiProgram(-1, 1);
    midi->MidiAllNotesOff(3);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0x91, 60, 127}, {0x92, 60, 0}, {0xB3, 0x7B, 0x00}}));
}

TEST_F(Midi1Test, ProgramChangeCarriesTheNumberLessOneAndOnlyValidNumbers) {
    open();
    for (int program : {1, 128, 0, 129, -1, 32767})
        midi->MidiProgram(0, program);
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xC0, 0, 0}, {0xC0, 127, 0}}));
}

// The settings hold the melody list entry; the entry's program is what is sent.
TEST_F(Midi1Test, MelodyListEntriesReachTheDeviceAsTheirPrograms) {
    open();
    settings.BassSound = 8; // no bass program, to keep the record short
    for (std::string_view name : {"S.Sax", "GtHarmonic", "Trombone2"}) {
        const auto it = std::find(MelodyInstruments.begin(), MelodyInstruments.end(), name);
        ASSERT_NE(it, MelodyInstruments.end());
        const int entry = int(it - MelodyInstruments.begin()) + 1;
        settings.MelodyProgram = static_cast<std::int16_t>(entry);
        recorder->clearRecords();
        midi->SendProgramChanges();
        ASSERT_FALSE(sent().empty());
        EXPECT_EQ(sent().front(), (Bytes{0xC0, *MelodyProgramAt(entry - 1) - 1, 0})) << name;
    }
}

TEST_F(Midi1Test, ProgramChangesGoToTheFourChannelsInOrder) {
    open();
    settings.BassSound = 0;
    midi->SendProgramChanges();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xC0, 0, 0}, {0xC1, 0, 0}, {0xC2, 32, 0}, {0xC3, 0, 0}}));

    recorder->clearRecords();
    settings.MelodyProgram = 38; // S.Sax
    settings.ChordProgram = 32;
    settings.BassSound = 7;
    midi->SendProgramChanges();
    EXPECT_EQ(sent(), (std::vector<Bytes>{{0xC0, 64, 0}, {0xC1, 31, 0}, {0xC2, 39, 0}, {0xC3, 0, 0}}));
}

// A first start's all-zero settings have chord program 0; a damaged file can hold any bass index.
TEST_F(Midi1Test, ProgramChangesSkipWhatNamesNoProgram) {
    open();
    settings.ChordProgram = 0;
    for (int bassSound : {8, 10, 11, -1}) {
        recorder->clearRecords();
        settings.BassSound = static_cast<std::int16_t>(bassSound);
        midi->SendProgramChanges();
        EXPECT_EQ(sent(), (std::vector<Bytes>{{0xC0, 0, 0}, {0xC3, 0, 0}})) << bassSound;
    }
}

TEST_F(Midi1Test, SecondInitSoundTablesClosesAndReopensQuietly) {
    open();
    midi->InitSoundTables();
    EXPECT_TRUE(midi->isOpen());
    EXPECT_EQ(recorder->openCount(), 2);
    EXPECT_EQ(recorder->closeCount(), 1);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(midi->openError().empty());
}

TEST_F(Midi1Test, ResetAndCloseReachTheOutput) {
    open();
    midi->MidiReset();
    midi->MidiClose();
    EXPECT_EQ(recorder->resetCount(), 1);
    EXPECT_EQ(recorder->closeCount(), 1);
    EXPECT_FALSE(midi->isOpen());
    midi->MidiNoteOn(0, 0, 100); // after close: lost quietly
    EXPECT_TRUE(sent().empty());
}

TEST_F(Midi1Test, OpenFailureIsToldOnceAndTheProgramPlaysOnSilently) {
    recorder->refuseOpen(true);
    EXPECT_FALSE(midi->MidiOpen());
    midi->InitSoundTables();
    midi->InitSoundTables();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.front().startsWith(sound_texts::MidiOpenFailed));
    EXPECT_EQ(prompter.icons.front(), PromptIcon::None);
    EXPECT_FALSE(midi->openError().empty());

    midi->SendProgramChanges();
    midi->MidiNoteOn(0, 0, 100);
    midi->MidiClick();
    EXPECT_TRUE(sent().empty());

    // Once the device is back, reopening works and still says nothing.
    recorder->refuseOpen(false);
    midi->InitSoundTables();
    EXPECT_TRUE(midi->isOpen());
    EXPECT_TRUE(midi->openError().empty());
    EXPECT_EQ(prompter.messages.size(), 1);
}

TEST(Midi1WithoutOutput, FailsToOpenLikeAMissingDevice) {
    Settings settings;
    testing::RecordingPrompter prompter;
    Midi1 midi(settings, prompter, nullptr, std::nullopt);
    midi.InitSoundTables();
    midi.SendProgramChanges();
    midi.MidiReset();
    EXPECT_FALSE(midi.isOpen());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.front().startsWith(sound_texts::MidiOpenFailed));
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Every line: microseconds since the trace began, status, data1, data2 in decimal. Each run starts its
// own count, so times only rise within one run.
void ExpectTraceLines(const std::vector<std::string>& lines, const std::vector<Bytes>& expected,
                      bool oneRun = true) {
    ASSERT_EQ(lines.size(), expected.size());
    const std::regex form(R"((\d+) (\d+) (\d+) (\d+))");
    long long previous = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i], m, form)) << lines[i];
        const long long micros = std::stoll(m[1]);
        if (oneRun) {
            EXPECT_GE(micros, previous);
        }
        previous = micros;
        EXPECT_EQ((Bytes{std::stoi(m[2]), std::stoi(m[3]), std::stoi(m[4])}), expected[i]) << lines[i];
    }
}

TEST(Midi1Trace, EveryMessageSentIsTracedEvenWithoutADevice) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("midi.log")).toStdString();
    Settings settings;
    settings.PitchBaseC = 60;
    settings.ClickVolume = 100;
    testing::RecordingPrompter prompter;
    auto output = std::make_unique<RecordingOutput>();
    output->refuseOpen(true);
    {
        Midi1 midi(settings, prompter, std::move(output), path);
        midi.InitSoundTables();
        midi.MidiClick();
        midi.MidiNoteOn(0, 100, 64); // key 160: not sent, so not traced
        midi.MidiAllNotesOff(2);
    }
    ExpectTraceLines(ReadLines(path), {{153, 123, 0}, {153, 33, 100}, {178, 123, 0}});
}

TEST(Midi1Trace, EnvironmentNamesTheTraceFileWhichIsAppendedTo) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("midi.log")).toStdString();
    testing::ScopedEnv env(midi_log::PathVariable, path);
    Settings settings;
    testing::RecordingPrompter prompter;
    for (int channel : {4, 5}) {
        Midi1 midi(settings, prompter, std::make_unique<RecordingOutput>());
        midi.InitSoundTables();
        midi.MidiAllNotesOff(channel);
    }
    ExpectTraceLines(ReadLines(path), {{180, 123, 0}, {181, 123, 0}}, false);
}

// A message the player scheduled carries a fifth field: when it is due, on the count of the first field.
TEST(Midi1Trace, ScheduledMessagesCarryTheirDueMicrosecond) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath(QStringLiteral("midi.log")).toStdString();
    Settings settings;
    testing::RecordingPrompter prompter;
    const auto before = MidiClock::now();
    {
        Midi1 midi(settings, prompter, std::make_unique<RecordingOutput>(), path);
        midi.InitSoundTables();
        midi.setDueTime(MidiClock::now() + std::chrono::milliseconds(250));
        midi.MidiCountInClick();
        midi.setDueTime(std::nullopt);
        midi.MidiAllNotesOff(0);
    }
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 2U);
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[0], m, std::regex(R"((\d+) 153 68 127 (\d+))"))) << lines[0];
    const long long dueAfterSent = std::stoll(m[2]) - std::stoll(m[1]);
    EXPECT_GT(dueAfterSent, 200000);
    EXPECT_LE(dueAfterSent,
              250000 +
                  std::chrono::duration_cast<std::chrono::microseconds>(MidiClock::now() - before).count());
    EXPECT_TRUE(std::regex_match(lines[1], std::regex(R"(\d+ 176 123 0)"))) << lines[1];
}

TEST(Midi1Trace, UnwritableTraceFileLeavesTheSoundAlone) {
    Settings settings;
    testing::RecordingPrompter prompter;
    auto output = std::make_unique<RecordingOutput>();
    RecordingOutput* recorder = output.get();
    Midi1 midi(settings, prompter, std::move(output), "/nonexistent-folder/midi.log");
    midi.InitSoundTables();
    midi.MidiCountInClick();
    EXPECT_EQ(Unpacked(recorder->messages()), (std::vector<Bytes>{{0x99, 0x44, 0x7F}}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

} // namespace
} // namespace orbel
