#include "app/settings_file.h"
#include "sound/recording_output.h"
#include "support/recording_prompter.h"
#include "ui/captions.h"
#include "ui/main_mod.h"
#include "ui/qt_japanese.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <utility>

namespace orbel {
namespace {

using testing::RecordingPrompter;

// A program folder with the generated music font, as the build lays it out.
class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/ZEPHMUSIC.ttf"), file("ZEPHMUSIC.ttf"));
    }
    QString file(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    QByteArray digestOfFolder() const {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const QDir dir(folder.path());
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            QFile f(dir.filePath(name));
            f.open(QIODevice::ReadOnly);
            hash.addData(name.toUtf8());
            hash.addData(f.readAll());
        }
        return hash.result();
    }
    QTemporaryDir folder;
    RecordingPrompter prompter;
};

TEST_F(StartupTest, FirstStartInAnEmptyFolderRunsAndQuittingSavesAWholeRecord) {
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    EXPECT_EQ(trainer->window->windowTitle(), captions::ProgramName);
    // Only that the chosen study's catalogue is not there.
    ASSERT_EQ(prompter.messages.size(), 1) << prompter.messages.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(prompter.messages.front().contains(QStringLiteral("ありません")));

    QFile::remove(file("cfg.infdat"));
    prompter.answers = {true};
    trainer->window->findChild<QAction*>(QStringLiteral("mnu_file_end"))->trigger();
    EXPECT_EQ(prompter.questions, QStringList{captions::QuitQuestion});
    EXPECT_EQ(QFileInfo(file("cfg.infdat")).size(), 316);
    EXPECT_FALSE(trainer->player->busy());
    EXPECT_FALSE(trainer->window->isVisible());
}

// The all-zero record sounds nothing and draws in black: a first start takes the factory record, or the
// factory settings where that is missing too, and writes them as the settings.
class FirstStartTest : public StartupTest, public ::testing::WithParamInterface<bool> {};

INSTANTIATE_TEST_SUITE_P(FactoryRecord, FirstStartTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Beside" : "Missing"; });

TEST_P(FirstStartTest, TakesTheFactorySettingsAndWritesThemAsTheSettings) {
    if (GetParam()) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(ORBEL_PROGRAM_DIR "/cfg_org.infdat"), file("cfg_org.infdat")));
    }
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    const Settings factory = FactorySettings();
    const Settings& s = trainer->state.settings;
    EXPECT_EQ(s.MelodyVolume, factory.MelodyVolume);
    EXPECT_GT(s.MelodyVolume, 0);
    EXPECT_EQ(s.ViewColour, factory.ViewColour);
    QFile cfg(file("cfg.infdat"));
    ASSERT_TRUE(cfg.open(QIODevice::ReadOnly));
    EXPECT_EQ(cfg.readAll(), EncodeSettingsRecord(factory));
    prompter.answers = {true};
    trainer->window->close();
}

// Qt's own dialogs speak the program's language whatever the desktop's: a question's buttons, the colour
// chooser.
TEST(QtJapanese, QuestionsAndChoosersSpeakJapanese) {
    QTranslator* japanese = InstallQtJapanese(*QCoreApplication::instance());
    ASSERT_TRUE(japanese) << "Debian's qt6-translations-l10n is missing";
    {
        QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
        EXPECT_TRUE(box.button(QMessageBox::Yes)->text().contains(QStringLiteral("はい")));
        EXPECT_TRUE(box.button(QMessageBox::No)->text().contains(QStringLiteral("いいえ")));
        const QColorDialog colours;
        EXPECT_EQ(colours.windowTitle(), QStringLiteral("色を選択"));
    }
    QCoreApplication::removeTranslator(japanese);
    delete japanese;
}

TEST_F(StartupTest, AnsweringNoKeepsEverythingAsItWas) {
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    trainer->state.settings.Tempo = 180;
    const QByteArray before = digestOfFolder();
    prompter.answers = {false};
    trainer->window->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_TRUE(trainer->window->isVisible());
    EXPECT_EQ(trainer->state.settings.Tempo, 180);
    EXPECT_EQ(digestOfFolder(), before);
    prompter.answers = {true};
    trainer->window->close();
}

TEST_F(StartupTest, SecondStartIsRefusedAndTouchesNothing) {
    std::unique_ptr<Trainer> first = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(first);
    QFile::remove(file("cfg.infdat"));
    QFile location(file("location.txt"));
    ASSERT_TRUE(location.open(QIODevice::WriteOnly));
    location.write("FILE=x.txt\r\n");
    location.close();
    QFile(file("x.txt")).open(QIODevice::WriteOnly);
    const QByteArray before = digestOfFolder();

    RecordingPrompter second;
    EXPECT_FALSE(Main(folder.path(), second, std::make_unique<RecordingOutput>()));
    EXPECT_EQ(second.messages, QStringList{captions::AlreadyRunning});
    EXPECT_EQ(digestOfFolder(), before);
    EXPECT_TRUE(first->window->isVisible());
    prompter.answers = {true};
    first->window->close();
}

// A file of the user's is written only when a favourite of it was toggled: a script that location.txt names,
// a phrase file the reader refused and a phrase file merely played from are all byte for byte what they were
// after a start and a quit, and location.txt stays when it was refused.
TEST_F(StartupTest, UserFilesAreUntouchedByAStartAndAQuit) {
    const struct {
        const char* name;
        QByteArray content;
        const char* message; // part of the message the start shows
    } cases[] = {
        {"script.sh", "#!/bin/sh\n    echo indented  \n", "フレーズファイル（.txt）ではない"},
        {"refused.txt", "  3C4  \n$a  \n", "より前にデータの行があります"},
        {"padded.txt", "  $★a  \r\n   3C4 \r\n\r\n$b\r\n", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("docs")));
        const QString user = home.filePath(QStringLiteral("docs/") + QLatin1String(c.name));
        const QByteArray location = QByteArray("FILE=docs/") + c.name + "\r\nSLCT=4\r\n";
        for (const auto& [path, bytes] :
             {std::pair{user, c.content},
              std::pair{home.filePath(QStringLiteral("location.txt")), location}}) {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        RecordingPrompter quiet;
        quiet.defaultAnswer = true;
        std::unique_ptr<Trainer> trainer = Main(home.path(), quiet, std::make_unique<RecordingOutput>());
        ASSERT_TRUE(trainer);
        if (c.message != nullptr) {
            EXPECT_TRUE(quiet.messages.join(QLatin1Char('|')).contains(QString::fromUtf8(c.message)))
                << quiet.messages.join(QLatin1Char('|')).toStdString();
        }
        trainer->window->findChild<QAction*>(QStringLiteral("mnu_file_end"))->trigger();
        trainer.reset();
        QFile f(user);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.content);
        EXPECT_EQ(QFileInfo::exists(home.filePath(QStringLiteral("location.txt"))),
                  c.name == std::string("script.sh"));
        EXPECT_EQ(QDir(home.filePath(QStringLiteral("docs"))).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QString::fromLatin1(c.name)});
    }
}

// Files beside the program's and the user's, whatever their names, are the user's: a hundred starts and
// quits, each with its clean-up of interrupted saves, leave every one as it was.
TEST_F(StartupTest, BackupsSurviveAHundredStarts) {
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("docs")));
    const QStringList backups{
        "ric.txt.backup",         "AUX1.txt.edited",      "cfg.infdat.backup",         "scale.txt.2024v1",
        "docs/thesis.txt.backup", "docs/todo.txt.old001", "docs/user.txt.orbel-saving"};
    const QStringList originals{"ric.txt",         "AUX1.txt",      "scale.txt",
                                "docs/thesis.txt", "docs/todo.txt", "docs/user.txt"};
    for (const QString& name : originals + backups) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(name == QLatin1String("docs/user.txt") ? "$a\r\n3C4\r\n" : name.toUtf8());
    }
    QFile location(file("location.txt"));
    ASSERT_TRUE(location.open(QIODevice::WriteOnly));
    location.write("FILE=docs/user.txt\r\nSLCT=4\r\n");
    location.close();
    static constexpr int Starts = 100;
    for (int start = 0; start < Starts; ++start) {
        RecordingPrompter quiet;
        quiet.defaultAnswer = true;
        std::unique_ptr<Trainer> trainer = Main(folder.path(), quiet, std::make_unique<RecordingOutput>());
        ASSERT_TRUE(trainer) << start;
        ASSERT_EQ(trainer->state.settings.UserFilePath, file("docs/user.txt").toStdString()) << start;
        trainer->window->close();
    }
    for (const QString& name : backups) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
        EXPECT_EQ(f.readAll(), name.toUtf8());
    }
}

TEST_F(StartupTest, MissingMusicFontIsReportedAndStartUpGoesOn) {
    QFile::remove(file("ZEPHMUSIC.ttf"));
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    // Beside that the chosen study's catalogue is not in the empty folder either.
    EXPECT_TRUE(prompter.messages.contains(captions::FontFailed));
    EXPECT_TRUE(trainer->window->isVisible());
    prompter.answers = {true};
    trainer->window->close();
}

TEST_F(StartupTest, RightColumnStacksThreeFramesDownToTheBottom) {
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    frmMain& w = *trainer->window;
    auto* f1 = w.findChild<QGroupBox*>(QStringLiteral("Frame1"));
    auto* f2 = w.findChild<QGroupBox*>(QStringLiteral("Frame2"));
    auto* f3 = w.findChild<QGroupBox*>(QStringLiteral("Frame3"));
    ASSERT_TRUE(f1 && f2 && f3);
    EXPECT_EQ(f1->y(), 0);
    EXPECT_EQ(f1->x(), f2->x());
    EXPECT_EQ(f2->x(), f3->x());
    EXPECT_LT(f1->geometry().bottom(), f2->y());
    EXPECT_LT(f2->geometry().bottom(), f3->y());
    // The third frame ends 100 logical units above the bottom edge; the column keeps 200 from the right.
    EXPECT_NEAR(w.scale().pixelToY(f3->geometry().bottom() + 1), 100, 40);
    EXPECT_NEAR(w.scale().pixelToX(f1->geometry().right() + 1), w.scale().logicalWidth - 200, 40);
    EXPECT_FALSE(w.findChild<QPushButton*>(QStringLiteral("Command9"))->isEnabled());
    EXPECT_EQ(trainer->state.FormWidthAtLoad, static_cast<float>(w.scale().logicalWidth));
    prompter.answers = {true};
    w.close();
}

} // namespace
} // namespace orbel

namespace orbel {
namespace {

// A FIFO in place of the settings or the scale file is unreadable at once: the window comes up.
TEST_F(StartupTest, AFifoInPlaceOfADataFileDoesNotHoldTheStart) {
    for (const char* name : {"cfg.infdat", "scale.txt"})
        ASSERT_EQ(::mkfifo(file(name).toLocal8Bit().constData(), 0600), 0) << name;
    prompter.defaultAnswer = true;
    std::unique_ptr<Trainer> trainer = Main(folder.path(), prompter, std::make_unique<RecordingOutput>());
    ASSERT_TRUE(trainer);
    EXPECT_TRUE(trainer->window->isVisible());
    trainer->window->close();
}

} // namespace
} // namespace orbel
