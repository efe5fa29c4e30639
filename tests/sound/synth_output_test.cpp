#include "sound/soundfont_check.h"
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

// A damaged SoundFont is named when the synthesizer opens, before it could play silently: each kind of
// damage is made from a good font, which itself passes.
TEST_F(SynthOpenFailureTest, DamagedSoundFontsAreNamedWhenOpened) {
    QFile good(QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly)) << "Debian's timgm6mb-soundfont is missing";
    const QByteArray font = good.readAll();
    for (const char* installed :
         {"/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2"})
        EXPECT_EQ(SoundFontProblem(installed), std::nullopt) << installed;
    const qsizetype presets = font.indexOf("phdr");
    const qsizetype samples = font.indexOf("shdr");
    ASSERT_GT(presets, 0);
    ASSERT_GT(samples, 0);
    const auto flipped = [&font](qsizetype at) {
        QByteArray copy = font;
        copy[at] = static_cast<char>(~copy[at]);
        return copy;
    };
    QByteArray hole = font.left(12);
    hole.replace(4, 4, QByteArray("\xF8\xFF\xFF\x7F", 4)); // a RIFF of 2 GB, all zeros after its header
    const struct {
        const char* name;
        QByteArray bytes;
        qint64 size; // grown, sparse, to this size when given
        const char* reason;
    } cases[] = {
        {"good.sf2", font, 0, nullptr},
        {"text.sf2", "This is a text file, not a SoundFont.\n", 0, "SoundFont ではありません"},
        {"header.sf2", font.left(12), 0, "途中で切れています"},
        {"half.sf2", font.left(font.size() / 2), 0, "途中で切れています"},
        {"bag.sf2", flipped(presets + 8 + 25), 0, "プリセットのデータが壊れています"},
        {"sample.sf2", flipped(samples + 8 + 27), 0, "サンプルの位置"},
        {"hole.sf2", hole, 0x7FFFFFFF + 1LL, "チャンクの構造が壊れています"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromLatin1(c.name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(c.bytes), c.bytes.size());
        if (c.size > 0) {
            ASSERT_TRUE(file.resize(c.size));
        }
        file.close();
        const std::optional<std::string> problem = SoundFontProblem(path.toStdString());
        if (c.reason == nullptr) {
            EXPECT_EQ(problem, std::nullopt);
            continue;
        }
        ASSERT_TRUE(problem);
        EXPECT_NE(problem->find(c.reason), std::string::npos) << *problem;
        SynthOptions options;
        options.soundFont = path.toStdString();
        EXPECT_NE(openOffline(options).find(path.toStdString()), std::string::npos);
        file.remove();
    }
}

TEST_F(SynthOpenFailureTest, UserIsToldOnceWithTheReason) {
    const QString path = dir.filePath(QStringLiteral("broken.sf2"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF\x04\x00\x00\x00sfbk");
    file.close();
    SynthOptions options;
    options.soundFont = path.toStdString();
    Settings settings;
    testing::RecordingPrompter prompter;
    Midi1 midi(settings, prompter, std::make_unique<SynthOutput>(options), std::nullopt);
    midi.InitSoundTables();
    midi.InitSoundTables();
    midi.MidiClick();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages.front().startsWith(sound_texts::MidiOpenFailed));
    EXPECT_TRUE(prompter.messages.front().contains(path)) << prompter.messages.front().toStdString();
}

} // namespace
} // namespace orbel
