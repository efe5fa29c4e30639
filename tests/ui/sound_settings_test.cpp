// The sound settings window driven as a user would: what acts at once, what waits for OK, and Cancel.

#include "support/trainer_fixture.h"
#include "theory/prepare_build.h"
#include "ui/range_preview_box.h"
#include "ui/settei.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using testing::Sent;

class SoundSettingsTest : public testing::TrainerFixture {
protected:
    void SetUp() override {
        copyFiles({"ZEPHMUSIC.ttf", "scale.txt", "code.txt", "ptn.txt", "ric.txt", "AUX1.txt"});
        settings.Tempo = 120;
        settings.PitchBaseC = 36;
        settings.MelodyProgram = 1;
        settings.ChordProgram = 1;
        settings.MelodyVolume = 100;
        settings.SwingLevel = 1;
        settings.RangeLow = 9;
        settings.RangeHigh = 60;
    }
    const Settings& live() { return trainer->state.settings; }
    settei& open() {
        trainer->window->findChild<QAction*>(QStringLiteral("mnu_settei_sound"))->trigger();
        form = trainer->window->findChild<settei*>(QStringLiteral("settei"));
        EXPECT_NE(form, nullptr);
        form->setAttribute(Qt::WA_DeleteOnClose, false); // looked at after it closes
        return *form;
    }
    template <typename T> T* in(const char* name) {
        T* widget = form->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void choose(const char* list, int index) {
        auto* combo = in<QComboBox>(list);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    QByteArray cfg() const {
        QFile f(path("cfg.infdat"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // The melody test's first note: the key that a written pitch 30 sounds as.
    std::optional<int> melodyTestKey() {
        const std::size_t from = sent().size();
        in<QPushButton>("Command3")->click();
        const std::vector<Sent> all = sent();
        for (std::size_t i = from; i < all.size(); ++i)
            if (testing::IsNoteOn(all[i], 0)) return all[i].data1;
        return std::nullopt;
    }
    std::optional<int> lastMelodyProgram() const {
        const std::vector<Sent> all = sent();
        for (auto m = all.rbegin(); m != all.rend(); ++m)
            if (m->status == midi_bytes::ProgramChange) return m->data1 + 1;
        return std::nullopt;
    }
    settei* form = nullptr;
};

// Lists, volume sliders and swing change the settings at once; Cancel puts every one back and writes
// nothing, while the main window's own changes stay; the window opened again shows them so.
TEST_F(SoundSettingsTest, CancelTakesBackWhatTheWindowChangedAtOnce) {
    start();
    const QByteArray before = cfg();
    open();
    in<QSlider>("Slider1_0")->setValue(30);
    choose("Combo1", 34);
    choose("Combo3", 5);
    in<QRadioButton>("Option1_2")->click();
    EXPECT_EQ(live().MelodyVolume, 30);
    EXPECT_EQ(live().MelodyProgram, 35);
    EXPECT_EQ(live().BassSound, 5);
    EXPECT_EQ(live().SwingLevel, 2);
    EXPECT_EQ(melodyTestKey(), 30 + 36);
    EXPECT_EQ(lastMelodyProgram(), 59);

    trainer->window->findChild<QScrollBar*>(QStringLiteral("VScroll1"))->setValue(150); // the main tempo
    in<QPushButton>("Command2")->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(live().MelodyVolume, 100);
    EXPECT_EQ(live().MelodyProgram, 1);
    EXPECT_EQ(live().BassSound, 0);
    EXPECT_EQ(live().SwingLevel, 1);
    EXPECT_EQ(live().Tempo, 150);
    EXPECT_EQ(lastMelodyProgram(), 1); // the test's instrument is not left on the channel
    EXPECT_EQ(cfg(), before);

    // Shown again, the same window shows the settings as they are now.
    const settei* first = form;
    open();
    EXPECT_EQ(form, first);
    EXPECT_EQ(in<QSlider>("Slider1_0")->value(), 100);
    EXPECT_EQ(in<QComboBox>("Combo3")->currentIndex(), 0);
    EXPECT_TRUE(in<QRadioButton>("Option1_1")->isChecked());
    EXPECT_EQ(in<QLineEdit>("Text4")->text(), QStringLiteral("150"));
}

// OK reads the boxes (full-width digits count, a tempo is kept within the bar's range), saves, sends the
// instruments and rebuilds; the chosen instrument is the one heard after a restart as well.
TEST_F(SoundSettingsTest, OkAppliesTheBoxesAndTheInstrumentOutlivesARestart) {
    start();
    open();
    in<QLineEdit>("Text1")->setText(QStringLiteral("－２"));
    in<QLineEdit>("Text4")->setText(QStringLiteral("999"));
    choose("Combo1", 34);
    in<QPushButton>("Command1")->click();
    EXPECT_EQ(live().TransposeSemitones, -2);
    EXPECT_EQ(live().Tempo, 300);
    EXPECT_EQ(trainer->window->findChild<QLineEdit*>(QStringLiteral("Text1"))->text(), QStringLiteral("300"));
    EXPECT_EQ(lastMelodyProgram(), 59);
    open();
    EXPECT_EQ(melodyTestKey(), 30 + 36 - 2);

    const std::optional<Settings> saved = DecodeSettingsRecord(cfg());
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->MelodyProgram, 35);
    settings = *saved;
    form = nullptr;
    TearDown();
    start();
    EXPECT_EQ(lastMelodyProgram(), 59);
}

// A range switched on at OK moves the sequence into it at once; the bars keep each limit where the staff
// can show it.
TEST_F(SoundSettingsTest, RangeAppliesAtOkAndItsLimitsSnap) {
    settings.StudyType = study_type::Scale;
    settings.RootKey = 0;
    start();
    const PlaySequence& seq = trainer->state.sequence;
    // The lowest note as it sounds, its octave shift included.
    auto lowest = [&seq] {
        return *std::min_element(seq.SeqPitch.begin(), seq.SeqPitch.begin() + seq.SeqCount) +
               12 * seq.OctaveShift;
    };
    const int before = lowest();
    ASSERT_LT(before, 28);
    open();
    auto* low = in<QScrollBar>("VScroll1");
    auto* high = in<QScrollBar>("VScroll2");
    EXPECT_FALSE(low->isEnabled());
    in<QCheckBox>("Check2")->click();
    EXPECT_TRUE(low->isEnabled());
    low->setValue(3);
    high->setValue(70);
    EXPECT_EQ(low->value(), 9);
    EXPECT_EQ(high->value(), 60);
    low->setValue(28);
    EXPECT_DOUBLE_EQ(form->preview().picture().low.y, 700);
    in<QPushButton>("Command1")->click();
    EXPECT_EQ(live().RangeLow, 28);
    EXPECT_EQ(live().RangeHigh, 60);
    EXPECT_EQ(lowest(), before + 12);
}

// Whatever is typed into the number boxes ends in values the settings allow.
TEST_F(SoundSettingsTest, TypedNumbersEndInsideTheirRanges) {
    start();
    for (const QString& typed : {QStringLiteral("abc"), QString(), QStringLiteral("   "),
                                 QStringLiteral("99999999999"), QStringLiteral("-99999"),
                                 QStringLiteral("-5"), QStringLiteral("1e400"), QStringLiteral("２．５")}) {
        SCOPED_TRACE(typed.toStdString());
        open();
        for (const char* box : {"Text1", "Text3", "Text4"})
            in<QLineEdit>(box)->setText(typed);
        in<QPushButton>("Command1")->click();
        EXPECT_GE(live().TransposeSemitones, -20);
        EXPECT_LE(live().TransposeSemitones, 20);
        EXPECT_GE(live().PitchBaseC, 0);
        EXPECT_LE(live().PitchBaseC, 120);
        EXPECT_GE(live().Tempo, 50);
        EXPECT_LE(live().Tempo, 300);
    }
}

// A settings file that cannot be written is said at OK and at the reset; the settings stay in force.
TEST_F(SoundSettingsTest, AnUnwritableSettingsFileIsSaidAndTheSettingsStay) {
    start();
    ASSERT_TRUE(QFile::remove(path("cfg.infdat")));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("cfg.infdat")));
    open();
    in<QLineEdit>("Text3")->setText(QStringLiteral("48"));
    prompter.messages.clear();
    in<QPushButton>("Command1")->click();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages.front(), QString::fromUtf8(settings_file::UnexpectedError));
    EXPECT_EQ(live().PitchBaseC, 48);

    copyFiles({"cfg_org.infdat"});
    prompter.messages.clear();
    prompter.answers = {true};
    trainer->window->findChild<QAction*>(QStringLiteral("mmu_file_reset"))->trigger();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages.front(), QString::fromUtf8(settings_file::UnexpectedError));
    EXPECT_TRUE(trainer->window->isVisible());
    EXPECT_EQ(live().PitchBaseC, 48);
}

} // namespace
} // namespace orbel
