// The chooser's list of outputs, the entry it marks as in use, and what O K and テスト do.

#include "output_list.h"
#include "selector_window.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"

#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using testing::RecordingPrompter;

const std::vector<std::string> Ports{"Port A 20:0", "Port B 24:0"};

// A SoundFont folder with two fonts and files that are not SoundFonts, and an empty program folder.
class SelectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        qunsetenv(midi_backend::OverrideVariable);
        ASSERT_TRUE(fonts.isValid() && home.isValid());
        for (const char* name : {"FluidR3_GM.sf2", "readme.txt", "old.sf2.bak"})
            std::ofstream(fontFolder() / name) << "RIFF";
        std::filesystem::copy_file("/usr/share/sounds/sf2/TimGM6mb.sf2", fontFolder() / "Small.sf2");
    }
    std::filesystem::path fontFolder() const { return fonts.path().toStdString(); }
    std::string font(const char* name) const { return (fontFolder() / name).string(); }
    OutputList listFor(const QByteArray& choiceFile) const {
        QFile file(home.path() + QStringLiteral("/midiout.txt"));
        if (!choiceFile.isNull() && (!file.open(QIODevice::WriteOnly) || file.write(choiceFile) < 0))
            ADD_FAILURE() << "cannot write midiout.txt";
        file.close();
        return BuildOutputList(fontFolder(), Ports, ReadMidiBackendChoice(home.path()));
    }

    QTemporaryDir fonts;
    QTemporaryDir home;
};

TEST_F(SelectorTest, ListsEverySoundFontThenEveryPort) {
    const OutputList list = listFor({});
    const std::vector<std::pair<QString, MidiBackendChoice>> expected{
        // A damaged font is listed, marked.
        {"内蔵シンセサイザー（FluidR3_GM.sf2）　（壊れています）",
         {MidiBackend::Synthesizer, font("FluidR3_GM.sf2")}},
        {"内蔵シンセサイザー（Small.sf2）", {MidiBackend::Synthesizer, font("Small.sf2")}},
        {"MIDIポート（Port A 20:0）", {MidiBackend::AlsaPort, "Port A 20:0"}},
        {"MIDIポート（Port B 24:0）", {MidiBackend::AlsaPort, "Port B 24:0"}}};
    ASSERT_EQ(list.entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.entries[i].label, expected[i].first);
        EXPECT_EQ(list.entries[i].choice, expected[i].second);
    }
}

TEST_F(SelectorTest, MarksTheOutputInUse) {
    const std::vector<std::pair<QByteArray, std::optional<std::size_t>>> cases{
        {{}, 0}, // no file: the SoundFont the synthesizer picks by itself
        {"synth\n", 0},
        {"synth " + QByteArray::fromStdString(font("Small.sf2")), 1},
        {"; chosen by hand\r\nSYNTH " + QByteArray::fromStdString(font("./Small.sf2")), 1},
        {"synth /nowhere/Other.sf2", std::nullopt},
        {"alsa", 2},
        {"alsa 1", 3},
        {"alsa Port B 24:0", 3},
        {"alsa B 24", 3},
        {"alsa 7", std::nullopt},
        {"alsa Unplugged", std::nullopt},
        {"recorder", std::nullopt},
        {"nonsense", 0}};
    for (const auto& [text, current] : cases) {
        EXPECT_EQ(listFor(text).current, current) << text.toStdString();
    }
}

// Debian's default-GM.sf2 is a link to one of the other fonts: one synthesizer, listed once under the
// font's own name, and marked when the trainer plays through the link.
TEST_F(SelectorTest, ALinkToAListedFontIsListedOnceAsThatFont) {
    std::filesystem::create_symlink(fontFolder() / "FluidR3_GM.sf2", fontFolder() / "default-GM.sf2");
    std::filesystem::create_symlink(fontFolder() / "Small.sf2", fontFolder() / "AAA-link.sf2");
    const OutputList list = listFor("synth " + QByteArray::fromStdString(font("default-GM.sf2")));
    ASSERT_EQ(list.entries.size(), 4U);
    EXPECT_EQ(list.entries[0].choice.argument, font("FluidR3_GM.sf2"));
    EXPECT_EQ(list.entries[1].choice.argument, font("Small.sf2"));
    EXPECT_EQ(list.current, 0U);
}

TEST_F(SelectorTest, OkWritesTheChoiceOrSaysWhyItCannot) {
    const QString missing = home.path() + QStringLiteral("/gone");
    for (const QString& folder : {home.path(), missing}) {
        RecordingPrompter prompter;
        SelectorWindow window(folder, listFor({}), prompter);
        window.show();
        window.findChild<QListWidget*>(QStringLiteral("entryList"))->setCurrentRow(3);
        window.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        const bool written = folder != missing;
        EXPECT_EQ(window.isVisible(), !written);
        EXPECT_EQ(prompter.messages.size(), written ? 0 : 1);
        EXPECT_EQ(ReadMidiBackendChoice(folder) == (MidiBackendChoice{MidiBackend::AlsaPort, Ports[1]}),
                  written);
    }
}

TEST_F(SelectorTest, NothingFoundLeavesNothingToChoose) {
    RecordingPrompter prompter;
    SelectorWindow window(home.path(), BuildOutputList(home.path().toStdString(), {}, {}), prompter);
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("okButton"))->isEnabled());
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("testButton"))->isEnabled());
}

TEST_F(SelectorTest, TestPlaysTheScaleOrSaysTheOutputWillNotOpen) {
    for (const bool refuse : {false, true}) {
        RecordingPrompter prompter;
        SelectorWindow window(home.path(), listFor({}), prompter, [refuse](const MidiBackendChoice&) {
            auto output = std::make_unique<RecordingOutput>();
            output->refuseOpen(refuse);
            return output;
        });
        window.findChild<QPushButton*>(QStringLiteral("testButton"))->click();
        EXPECT_EQ(prompter.messages.size(), refuse ? 1 : 0);
        EXPECT_EQ(window.findChild<ScalePlayer*>() != nullptr && window.findChild<ScalePlayer*>()->playing(),
                  !refuse);
    }
}

} // namespace
} // namespace orbel
