#include "app/single_instance.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orbel {
namespace {

TEST(SingleInstance, SecondCopyOfTheSameFolderIsRefusedUntilTheFirstEnds) {
    QTemporaryDir folder;
    QTemporaryDir other;
    {
        SingleInstance first(folder.path());
        ASSERT_TRUE(first.acquire());
        SingleInstance second(folder.path());
        EXPECT_FALSE(second.acquire());
        // The refused copy leaves the running copy's lock in place.
        EXPECT_TRUE(QFile::exists(first.lockPath()));
        SingleInstance elsewhere(other.path());
        EXPECT_TRUE(elsewhere.acquire());
    }
    SingleInstance after(folder.path());
    EXPECT_TRUE(after.acquire());
}

TEST(SingleInstance, RefusalWritesNothingIntoTheProgramFolderButItsLock) {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    ASSERT_TRUE(first.acquire());
    SingleInstance second(folder.path());
    second.acquire();
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{single_instance::FolderLockName});
}

// A link to the folder, or another runtime folder, is still the same folder.
TEST(SingleInstance, TheSameFolderByAnotherWayIsRefused) {
    QTemporaryDir folder;
    QTemporaryDir elsewhere;
    const QString link = elsewhere.filePath(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(folder.path(), link));
    SingleInstance first(folder.path());
    ASSERT_TRUE(first.acquire());
    SingleInstance throughLink(link);
    EXPECT_FALSE(throughLink.acquire());
    const bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir otherRuntime;
    QFile::setPermissions(otherRuntime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", otherRuntime.path().toLocal8Bit());
    SingleInstance otherSession(folder.path());
    EXPECT_FALSE(otherSession.acquire());
    if (hadRuntime) {
        qputenv("XDG_RUNTIME_DIR", runtime);
    } else {
        qunsetenv("XDG_RUNTIME_DIR");
    }
}

} // namespace
} // namespace orbel
