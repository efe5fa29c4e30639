#include "app/single_instance.h"

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

TEST(SingleInstance, RefusalWritesNothingIntoTheProgramFolder) {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    ASSERT_TRUE(first.acquire());
    SingleInstance second(folder.path());
    second.acquire();
    EXPECT_TRUE(
        QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
}

} // namespace
} // namespace orbel
