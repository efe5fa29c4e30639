// Only regular files are read, whole and within the reader's limit; anything else is refused at once.

#include "datafiles/bounded_read.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbel {
namespace {

TEST(BoundedRead, ReadsRegularFilesAndRefusesEverythingElseAtOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString regular = dir.filePath(QStringLiteral("scale.txt"));
    {
        QFile f(regular);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("C,major\r\n");
    }
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString dangling = dir.filePath(QStringLiteral("dangling"));
    ASSERT_EQ(::symlink("nowhere", dangling.toLocal8Bit().constData()), 0);
    const QString link = dir.filePath(QStringLiteral("link"));
    ASSERT_EQ(::symlink("scale.txt", link.toLocal8Bit().constData()), 0);

    const struct {
        QString path;
        qint64 limit;
        std::optional<QByteArray> bytes;
        ReadFailure failure;
    } cases[] = {
        {regular, 100, QByteArray("C,major\r\n"), ReadFailure::Unreadable},
        {link, 100, QByteArray("C,major\r\n"), ReadFailure::Unreadable},
        {regular, 9, QByteArray("C,major\r\n"), ReadFailure::Unreadable}, // exactly the limit
        {regular, 8, std::nullopt, ReadFailure::TooLarge},
        {dir.filePath(QStringLiteral("none")), 100, std::nullopt, ReadFailure::Missing},
        {dangling, 100, std::nullopt, ReadFailure::Missing},
        {dir.path(), 100, std::nullopt, ReadFailure::NotRegularFile},
        {fifo, 100, std::nullopt, ReadFailure::NotRegularFile},
        {QStringLiteral("/dev/zero"), 100, std::nullopt, ReadFailure::NotRegularFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const BoundedRead read = ReadRegularFile(c.path, c.limit);
        EXPECT_EQ(read.bytes, c.bytes);
        if (!c.bytes) {
            EXPECT_EQ(read.failure, c.failure);
        }
    }
}

} // namespace
} // namespace orbel
