// Saves killed at random moments: the file is always the old or the new content, and what a killed save
// left beside it is gone once the trainer starts again.

#include "app/settings_file.h"
#include "datafiles/atomic_save.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace orbel {
namespace {

constexpr int Kills = 1000;
constexpr int LongestRunMicros = 30000;

QByteArray Content(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Starts the save loop, kills it after a random moment and waits for it; Kills times. Each time the file
// must be one of the allowed contents; the folder is then cleaned as at the trainer's start and must hold
// only what it held before. Returns how many kills left something to clean.
int KillSavesAtRandom(const char* mode, const QString& argument, const QString& target, const QString& folder,
                      const std::vector<QByteArray>& allowed) {
    const QStringList before = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    const QByteArray program = QByteArray(ORBEL_SAVE_LOOP);
    const QByteArray where = argument.toLocal8Bit();
    char* const argv[] = {const_cast<char*>(program.constData()), const_cast<char*>(mode),
                          const_cast<char*>(where.constData()), nullptr};
    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> after(0, LongestRunMicros);
    int strays = 0;
    for (int i = 0; i < Kills; ++i) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0) {
            ADD_FAILURE() << "the save loop did not start";
            return strays;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(after(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        const QByteArray now = Content(target);
        if (std::find(allowed.begin(), allowed.end(), now) == allowed.end()) {
            ADD_FAILURE() << mode << " kill " << i << ": the file is neither the old nor the new content";
            return strays;
        }
        if (RemoveStaleSaves(folder, QDateTime::currentDateTime().addSecs(1)) > 0) ++strays;
        if (QDir(folder).entryList(QDir::Files | QDir::Hidden) != before) {
            ADD_FAILURE() << mode << " kill " << i << ": something stayed beside the file: "
                          << QDir(folder).entryList(QDir::Files | QDir::Hidden).join(' ').toStdString();
            return strays;
        }
    }
    return strays;
}

TEST(CrashSafety, KilledSavesLeaveTheOldOrTheNewFileAndNothingBeside) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // The loop saves the record as the load rules leave it, with one of two tempi.
    Settings settings;
    ApplyLoadRules(settings);
    std::vector<QByteArray> records;
    for (std::int16_t tempo : {100, 200}) {
        settings.Tempo = tempo;
        records.push_back(EncodeSettingsRecord(settings));
    }
    const QString cfg = dir.filePath(QString::fromLatin1(settings_file::FileName));
    ASSERT_TRUE(WriteFileAtomic(cfg, records[0]));
    const int settingsStrays = KillSavesAtRandom("settings", dir.path(), cfg, dir.path(), records);
    EXPECT_EQ(Content(cfg).size(), settings_file::RecordBytes);

    const QString phrases = dir.filePath(QStringLiteral("mine.txt"));
    const std::vector<QByteArray> marks{"$HOT1\r\n3C4\r\n", "$HOT1\xE2\x98\x85\r\n3C4\r\n"};
    ASSERT_TRUE(WriteFileAtomic(phrases, marks[0]));
    const int favouriteStrays = KillSavesAtRandom("favourites", phrases, phrases, dir.path(), marks);
    // Reported for the record: how often a kill fell inside a save.
    std::printf("kills: %d each; cleaned after settings %d, after favourites %d\n", Kills, settingsStrays,
                favouriteStrays);
}

// The favourites of a phrase file reached through a link, and of a Shift-JIS file whose header holds
// characters with two Shift-JIS forms: the link stays a link, its target is the old or the new content, and
// every byte but the mark is kept.
TEST(CrashSafety, KilledFavouriteSavesThroughALinkAndInShiftJis) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("D")));
    const QString linked = dir.filePath(QStringLiteral("D/linked.txt"));
    const QString link = dir.filePath(QStringLiteral("AUX1.txt"));
    const std::vector<QByteArray> utf8{"  $a \n 3C4\n", "  $a\xE2\x98\x85 \n 3C4\n"};
    ASSERT_TRUE(WriteFileAtomic(linked, utf8[0]));
    ASSERT_TRUE(QFile::link(linked, link));
    KillSavesAtRandom("favourites", link, linked, dir.filePath(QStringLiteral("D")), utf8);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("AUX1.txt")});

    const QString shiftJis = dir.filePath(QStringLiteral("sjis.txt"));
    const std::vector<QByteArray> ibm{"$\xFA\x4A\xED\x40\r\n3C4\r\n", "$\xFA\x4A\xED\x40\x81\x9a\r\n3C4\r\n"};
    ASSERT_TRUE(WriteFileAtomic(shiftJis, ibm[0]));
    KillSavesAtRandom("favourites", shiftJis, shiftJis, dir.path(), ibm);
}

} // namespace
} // namespace orbel
