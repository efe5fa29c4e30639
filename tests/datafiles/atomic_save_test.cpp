// Replacing a file: the new content under the old name, nothing left beside it, and on any failure the old
// file as it was.

#include "datafiles/atomic_save.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace orbel {
namespace {

class AtomicSave : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void put(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray content(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    // A staging file as a killed save leaves it: marked as the saver's own.
    void putStaging(const QString& name, const QByteArray& bytes) {
        put(name, bytes);
        ASSERT_EQ(::setxattr(QFile::encodeName(path(name)).constData(), atomic_save::StagingMark, "1", 1, 0),
                  0);
    }
    QStringList names() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    QTemporaryDir dir;
};

TEST_F(AtomicSave, ReplacesTheFileAndLeavesNothingBeside) {
    put("cfg.infdat", "user settings that are longer");
    putStaging("cfg.infdat.orbel-saving", "half a save killed earlier");
    ASSERT_TRUE(WriteFileAtomic(path("cfg.infdat"), "new"));
    EXPECT_EQ(content("cfg.infdat"), "new");
    EXPECT_EQ(names(), QStringList{"cfg.infdat"});
    // A file of the user's under the staging name is not the saver's: it stays, and the save goes on.
    put("ric.txt.orbel-saving", "the user's own");
    ASSERT_TRUE(WriteFileAtomic(path("ric.txt"), "phrases"));
    EXPECT_EQ(content("ric.txt.orbel-saving"), "the user's own");
    EXPECT_EQ(content("ric.txt"), "phrases");

    // A read-only copy source and target: the copy replaces the target and stays writable.
    put("location_org.txt", "factory");
    put("location.txt", "old");
    for (const char* name : {"location_org.txt", "location.txt"})
        QFile::setPermissions(path(name), QFile::ReadOwner);
    ASSERT_TRUE(CopyFileAtomic(path("location_org.txt"), path("location.txt")));
    EXPECT_EQ(content("location.txt"), "factory");
    EXPECT_TRUE(QFile::permissions(path("location.txt")) & QFile::WriteOwner);
    EXPECT_TRUE(CopyFileAtomic(path("location_org.txt"), path("location.txt")))
        << "a second copy over the first";
}

TEST_F(AtomicSave, ALinkIsWrittenThroughAndStaysALink) {
    QDir(dir.path()).mkdir("D");
    put("D/linked.txt", "old phrases");
    ASSERT_TRUE(QFile::link(path("D/linked.txt"), path("AUX1.txt")));
    ASSERT_TRUE(WriteFileAtomic(path("AUX1.txt"), "new phrases"));
    EXPECT_TRUE(QFileInfo(path("AUX1.txt")).isSymLink());
    EXPECT_EQ(content("D/linked.txt"), "new phrases");
    EXPECT_EQ(QDir(path("D")).entryList(QDir::Files | QDir::Hidden), QStringList{"linked.txt"});
    // A link to nothing, a pipe and a link to a pipe are not replaced.
    ASSERT_TRUE(QFile::link(path("gone.txt"), path("dangling.txt")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(path("pipe"), path("to-pipe.txt")));
    for (const char* name : {"dangling.txt", "pipe", "to-pipe.txt"})
        EXPECT_FALSE(WriteFileAtomic(path(name), "x")) << name;
    EXPECT_FALSE(QFileInfo::exists(path("gone.txt")));
    EXPECT_FALSE(QFileInfo(path("pipe")).isFile());
}

TEST_F(AtomicSave, AFailedSaveLeavesTheOldFile) {
    put("cfg.infdat", "user");
    QDir(dir.path()).mkdir("sub");
    EXPECT_FALSE(CopyFileAtomic(path("none"), path("cfg.infdat")));
    EXPECT_FALSE(CopyFileAtomic(dir.path(), path("cfg.infdat"))) << "a folder is no source";
    EXPECT_FALSE(WriteFileAtomic(path("no-such-folder/cfg.infdat"), "x"));
    EXPECT_FALSE(WriteFileAtomic(path("sub"), "x")) << "a folder is not replaced";
    EXPECT_EQ(content("cfg.infdat"), "user");
    EXPECT_EQ(names(), (QStringList{"cfg.infdat", "sub"}));
}

TEST_F(AtomicSave, OnlyTheSaversOwnLeftoversFromBeforeTheStartAreRemoved) {
    // Backups and copies of the user's, whatever they are called, and files of the staging name that are
    // not marked as the saver's.
    const QStringList kept{"cfg.infdat",      "ric.txt",           "ric.txt.backup",
                           "AUX1.txt.edited", "cfg.infdat.backup", "scale.txt.2024v1",
                           "todo.txt.old001", "cfg.infdat.Ab12Cd", "AUX1.txt.orbel-saving"};
    for (const QString& name : kept)
        put(name, "keep");
    for (const char* name : {"cfg.infdat.orbel-saving", "ric.txt.orbel-saving.2"})
        putStaging(name, "stray");
    put("code.txt.orbel-saving", ""); // killed before it could be marked
    // A save in progress of a trainer that started later is not touched.
    EXPECT_EQ(RemoveStaleSaves(dir.path(), QDateTime::currentDateTime().addSecs(-60)), 0);
    EXPECT_EQ(RemoveStaleSaves(dir.path(), QDateTime::currentDateTime().addSecs(1)), 3);
    QStringList expected = kept;
    expected.sort();
    EXPECT_EQ(names(), expected);
}

} // namespace
} // namespace orbel
