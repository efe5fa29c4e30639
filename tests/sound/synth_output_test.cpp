#include "sound/synth_output.h"

#include "sound/midi1.h"
#include "sound/sound_texts.h"
#include "support/recording_prompter.h"
#include "theory/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace orbel {
namespace {

// The small General MIDI set keeps these tests quick.
const std::filesystem::path SmallSoundFont =
    std::filesystem::path(soundfonts::SystemFolder) / soundfonts::Fallback;

// A note at moderate velocity peaks far above this; the synthesizer's idle output stays far below it.
constexpr float Audible = 0.01F;
constexpr float Silent = 1e-4F;

class SynthOfflineTest : public ::testing::Test {
protected:
    SynthOfflineTest() {
        settings.PitchBaseC = 36;
        settings.MelodyProgram = 1;
        settings.ChordProgram = 1;
        settings.ClickVolume = 100;
        SynthOptions options;
        options.soundFont = SmallSoundFont;
        options.liveAudio = false;
        auto output = std::make_unique<SynthOutput>(options);
        synth = output.get();
        midi = std::make_unique<Midi1>(settings, prompter, std::move(output), std::nullopt);
    }

    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(SmallSoundFont)) << "timgm6mb-soundfont is not installed";
        midi->InitSoundTables();
        ASSERT_TRUE(midi->isOpen()) << midi->openError();
    }

    // Loudest sample of the next `seconds` of output.
    float peak(double seconds) {
        const auto frames = static_cast<std::size_t>(seconds * synth->sampleRate());
        std::vector<float> left(frames), right(frames);
        EXPECT_TRUE(synth->render(left, right));
        float loudest = 0.0F;
        for (std::size_t i = 0; i < frames; ++i)
            loudest = std::max({loudest, std::fabs(left[i]), std::fabs(right[i])});
        return loudest;
    }

    Settings settings;
    testing::RecordingPrompter prompter;
    SynthOutput* synth = nullptr;
    std::unique_ptr<Midi1> midi;
};

TEST_F(SynthOfflineTest, MelodyNoteSoundsAndAllNotesOffEndsIt) {
    EXPECT_EQ(synth->soundFontPath(), SmallSoundFont);
    EXPECT_TRUE(synth->audioDriverName().empty());
    midi->SendProgramChanges();
    EXPECT_LT(peak(0.1), Silent);
    midi->MidiNoteOn(0, 24, 100); // middle C
    EXPECT_GT(peak(0.3), Audible);
    midi->MidiAllNotesOff(0);
    peak(2.0); // release and reverb tail
    EXPECT_LT(peak(0.1), Silent);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(SynthOfflineTest, ClickAndCountInSoundOnThePercussionChannel) {
    settings.ClickSound = 0;
    midi->MidiClick();
    EXPECT_GT(peak(0.2), Audible);
    peak(2.0);
    midi->MidiCountInClick();
    EXPECT_GT(peak(0.2), Audible);
}

TEST_F(SynthOfflineTest, ResetSilencesAtOnce) {
    midi->MidiNoteOn(0, 24, 127);
    midi->MidiNoteOn(1, 28, 127);
    ASSERT_GT(peak(0.2), Audible);
    midi->MidiReset();
    peak(1.0); // the reverb's own tail
    EXPECT_LT(peak(0.1), Silent);
}

TEST_F(SynthOfflineTest, RenderRefusesBadBuffersAndAClosedSynthesizer) {
    std::vector<float> left(64), right(32);
    EXPECT_FALSE(synth->render(left, right));
    midi->MidiClose();
    right.resize(64);
    EXPECT_FALSE(synth->render(left, right));
    midi->MidiNoteOn(0, 24, 100); // closed: quietly lost
}

class SynthOpenFailureTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    std::string openOffline(SynthOptions options) {
        options.liveAudio = false;
        SynthOutput synth(options);
        std::string error;
        EXPECT_FALSE(synth.open(error));
        EXPECT_FALSE(synth.isOpen());
        return error;
    }
    QTemporaryDir dir;
};

TEST_F(SynthOpenFailureTest, MissingSoundFontIsNamed) {
    SynthOptions options;
    options.soundFont = dir.filePath(QStringLiteral("absent.sf2")).toStdString();
    EXPECT_NE(openOffline(options).find("absent.sf2"), std::string::npos);
}

TEST_F(SynthOpenFailureTest, FolderWithoutSoundFontIsNamed) {
    SynthOptions options;
    options.soundFontFolder = dir.path().toStdString();
    EXPECT_NE(openOffline(options).find(dir.path().toStdString()), std::string::npos);
}

TEST_F(SynthOpenFailureTest, FileThatIsNoSoundFontIsRefused) {
    const QString path = dir.filePath(QStringLiteral("broken.sf2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_GT(file.write("This is a text file, not a SoundFont.\n"), 0);
    file.close();
    SynthOptions options;
    options.soundFont = path.toStdString();
    EXPECT_NE(openOffline(options).find("could not be loaded"), std::string::npos);
}

TEST_F(SynthOpenFailureTest, UserIsToldOnceThroughTheMidiLayer) {
    SynthOptions options;
    options.soundFontFolder = dir.path().toStdString();
    Settings settings;
    testing::RecordingPrompter prompter;
    Midi1 midi(settings, prompter, std::make_unique<SynthOutput>(options), std::nullopt);
    midi.InitSoundTables();
    midi.InitSoundTables();
    midi.MidiClick();
    EXPECT_EQ(prompter.messages, QStringList{sound_texts::MidiOpenFailed});
    EXPECT_NE(midi.openError().find("SoundFont"), std::string::npos);
}

} // namespace
} // namespace orbel
