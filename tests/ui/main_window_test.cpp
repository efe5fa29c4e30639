// The main window driven as a user would, offscreen, with MIDI going to a recorder.

#include "app/settings_file.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "theory/prepare_build.h"
#include "ui/main_mod.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace orbel {
namespace {

using testing::RecordingPrompter;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        for (const char* name : {"ZEPHMUSIC.ttf", "scale.txt", "code.txt", "ptn.txt", "ric.txt", "AUX1.txt"})
            QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/") + QLatin1String(name), path(name));
        settings.Tempo = 120;
        settings.RepeatCount = 1;
        settings.ShowKeyboard = -1;
    }
    void TearDown() override {
        if (trainer) {
            prompter.defaultAnswer = true;
            trainer->window->close();
        }
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    void start() {
        QFile cfg(path("cfg.infdat"));
        ASSERT_TRUE(cfg.open(QIODevice::WriteOnly));
        StoreUserFilePath(settings);
        cfg.write(EncodeSettingsRecord(settings));
        cfg.close();
        auto output = std::make_unique<RecordingOutput>();
        midi = output.get();
        trainer = Main(folder.path(), prompter, std::move(output));
        ASSERT_TRUE(trainer);
    }
    frmMain& window() { return *trainer->window; }
    template <typename T> T* find(const char* name) {
        T* widget = window().findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    const Settings& live() { return trainer->state.settings; }
    const PlaySequence& seq() { return trainer->state.sequence; }
    void key(int k) { QTest::keyClick(find<QComboBox>("Combo1"), static_cast<Qt::Key>(k)); }

    QTemporaryDir folder;
    Settings settings;
    RecordingPrompter prompter;
    RecordingOutput* midi = nullptr;
    std::unique_ptr<Trainer> trainer;
};

TEST_F(MainWindowTest, StartsOnTheStoredStudyAndBuildsItsFirstItem) {
    settings.StudyType = study_type::IIVIPattern;
    settings.Tempo = 0;
    start();
    EXPECT_EQ(find<QComboBox>("Combo2")->currentIndex(), study_type::IIVIPattern);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_GT(seq().SeqCount, 0);
    EXPECT_EQ(live().Tempo, 100); // a stored tempo below the bar's range
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 100);
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "100");
    EXPECT_TRUE(find<QComboBox>("Combo4")->isVisibleTo(&window()));
    EXPECT_FALSE(find<QCheckBox>("Check9")->isVisibleTo(&window()));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('|').toStdString();
}

TEST_F(MainWindowTest, UserFileIsListedOrReplacedByThePhrasesWhenGone) {
    settings.StudyType = study_type::UserPhrase;
    settings.UserFilePath = path("AUX1.txt").toStdString();
    start();
    EXPECT_EQ(find<QComboBox>("Combo2")->itemText(4), "AUX1 ");
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 0);
    EXPECT_GT(seq().SeqCount, 0);
    EXPECT_TRUE(prompter.messages.isEmpty());
    window().close();
    trainer.reset();

    QFile::remove(path("AUX1.txt"));
    start();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith(path("AUX1.txt")));
    EXPECT_TRUE(
        prompter.messages[0].endsWith(" がありません。メニュー＞ユーザ定義ファイル読み込みを行ってください"));
    EXPECT_TRUE(find<QComboBox>("Combo1")->itemText(0).startsWith("HOT1"));
}

TEST_F(MainWindowTest, TreatmentChangeKeepsTheSelectedPattern) {
    settings.StudyType = study_type::IIVIPattern;
    start();
    find<QComboBox>("Combo1")->setCurrentIndex(5);
    find<QComboBox>("Combo4")->setCurrentIndex(4);
    EXPECT_EQ(find<QComboBox>("Combo1")->currentIndex(), 5);
    EXPECT_EQ(live().StudyItem[2], 5);
    EXPECT_EQ(live().IIVIMode[1], 4);
    // The V chord of the substitute dominant: Db7 in C.
    const int notesPerChord = seq().SeqCount / 4;
    EXPECT_EQ(seq().SeqChord[static_cast<std::size_t>(notesPerChord)], "Db7");
}

TEST_F(MainWindowTest, RootButtonsCarryIntoTheOctaveBothWays) {
    settings.RootKey = 11;
    start();
    ASSERT_EQ(seq().OctaveShift, 0);
    find<QPushButton>("Command3")->click();
    EXPECT_EQ(live().RootKey, 0);
    EXPECT_EQ(seq().OctaveShift, 1);
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(live().RootKey, 11);
    EXPECT_EQ(seq().OctaveShift, 0);
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(live().RootKey, 10);
    // Every rebuild from a root button sends the program changes first.
    EXPECT_GE(midi->messages().size(), 4U);
}

TEST_F(MainWindowTest, TypedTempoLeavesTheBarWhereItIs) {
    start();
    QLineEdit* text = find<QLineEdit>("Text1");
    text->selectAll();
    QTest::keyClicks(text, "132");
    EXPECT_EQ(live().Tempo, 132);
    EXPECT_EQ(find<QScrollBar>("VScroll1")->value(), 120);
}

TEST_F(MainWindowTest, TempoKeysStopAtTheEndsOfTheBar) {
    settings.Tempo = 300;
    start();
    key(Qt::Key_U);
    EXPECT_EQ(live().Tempo, 300);
    key(Qt::Key_D);
    EXPECT_EQ(live().Tempo, 299);
    EXPECT_EQ(find<QLineEdit>("Text1")->text(), "299");
    find<QScrollBar>("VScroll1")->setValue(50);
    key(Qt::Key_D);
    EXPECT_EQ(live().Tempo, 50);
    key(Qt::Key_U);
    EXPECT_EQ(live().Tempo, 51);
}

TEST_F(MainWindowTest, FourthKeyMovesTheRootWithoutAnOctaveCarry) {
    settings.RootKey = 8;
    start();
    const int shift = seq().OctaveShift;
    key(Qt::Key_F);
    EXPECT_EQ(live().RootKey, 1);
    EXPECT_EQ(seq().OctaveShift, shift);
    key(Qt::Key_P);
    EXPECT_EQ(live().RootKey, 2);
    key(Qt::Key_Q);
    EXPECT_EQ(live().RootKey, 1);
}

TEST_F(MainWindowTest, FavouritesGoBackIntoTheUserFileOnlyWhenChanged) {
    QFile::copy(path("AUX1.txt"), path("mine.txt"));
    settings.StudyType = study_type::UserPhrase;
    settings.UserFilePath = path("mine.txt").toStdString();
    start();
    auto bytes = [this] {
        QFile f(path("mine.txt"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    };
    const QByteArray before = bytes();
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Scale);
    EXPECT_EQ(bytes(), before); // nothing changed, nothing written

    find<QComboBox>("Combo2")->setCurrentIndex(study_type::UserPhrase);
    QCheckBox* favourite = find<QCheckBox>("Check8");
    ASSERT_TRUE(favourite->isVisibleTo(&window()));
    const bool was = favourite->isChecked();
    favourite->click();
    EXPECT_EQ(window().FavouritesChanged(), 1);
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Scale);
    EXPECT_NE(bytes(), before);
    const QString firstHeader =
        QString::fromUtf8(bytes()).section(QLatin1Char('$'), 1, 1).section('\r', 0, 0);
    EXPECT_EQ(firstHeader.trimmed().endsWith(QStringLiteral("★")), !was) << firstHeader.toStdString();
}

TEST_F(MainWindowTest, ControlKeysRestoreTheLocationFileAndOpenTheCredits) {
    QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/location_org.txt"), path("location_org.txt"));
    start();
    QTest::keyClick(find<QComboBox>("Combo1"), Qt::Key_F10, Qt::ControlModifier);
    QFile copy(path("location.txt"));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    QFile original(path("location_org.txt"));
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), original.readAll());

    QTest::keyClick(find<QComboBox>("Combo1"), Qt::Key_F8, Qt::ControlModifier);
    QWidget* about = window().findChild<QWidget*>("FrmAboutMe");
    ASSERT_TRUE(about);
    EXPECT_TRUE(about->isVisible());
}

TEST_F(MainWindowTest, SoundSwitchesActAtOnce) {
    settings.ClickOn = 1;
    settings.MelodyOn = 1;
    start();
    find<QPushButton>("Command10")->click();
    QWidget* switches = window().findChild<QWidget*>("MainSet");
    ASSERT_TRUE(switches);
    EXPECT_EQ(switches->windowTitle(), QStringLiteral("補足設定"));
    auto* click = switches->findChild<QCheckBox*>("Check7");
    auto* melody = switches->findChild<QCheckBox*>("Check10");
    ASSERT_TRUE(click && melody);
    EXPECT_TRUE(click->isChecked());
    click->click();
    melody->click();
    EXPECT_EQ(live().ClickOn, 0);
    EXPECT_EQ(live().MelodyOn, 0);
    switches->findChild<QCheckBox*>("Check9")->click();
    EXPECT_EQ(live().AccompanimentOn, 1);
}

TEST_F(MainWindowTest, PlayMenuServesOnlyThePhraseStudies) {
    start();
    QMenu* play = window().findChild<QMenu*>("mnu_Play");
    ASSERT_TRUE(play);
    EXPECT_FALSE(play->isEnabled());
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::IIVIPhrase);
    EXPECT_TRUE(play->isEnabled());
    EXPECT_TRUE(find<QCheckBox>("Check8")->isVisibleTo(&window()));
    find<QComboBox>("Combo2")->setCurrentIndex(study_type::Chord);
    EXPECT_FALSE(play->isEnabled());
}

} // namespace
} // namespace orbel
