#include "datafiles/named_output.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace orbel {
namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Reads everything that arrives on fd until the writer is done.
QByteArray Drain(int fd) {
    QByteArray got;
    char buffer[65536];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        got.append(buffer, n);
    return got;
}

// More than a pipe holds, so that a writer that stopped early would show.
const QByteArray Bytes = QByteArray(300000, 'x') + "end";

class NamedOutputTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QStringList entries() const {
        return QDir(dir.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }
    QTemporaryDir dir;
};

// Files, links and folders: each path is written as the standard tools write it, and nothing is left
// beside it.
TEST_F(NamedOutputTest, FilesAndLinks) {
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("D")));
    QFile old(path("D/old.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    ASSERT_TRUE(QFile::link(path("D/old.txt"), path("link")));
    ASSERT_TRUE(QFile::link(path("D/later.txt"), path("dangling")));

    const struct {
        const char* named;
        const char* written; // where the bytes land; nullptr when refused
    } cases[] = {{"new.txt", "new.txt"},
                 {"link", "D/old.txt"},
                 {"dangling", "D/later.txt"},
                 {"D", nullptr},
                 {"missing/new.txt", nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.named);
        const std::optional<QString> problem = WriteNamedOutput(path(c.named), Bytes);
        EXPECT_EQ(problem.has_value(), c.written == nullptr);
        if (problem) {
            EXPECT_TRUE(problem->startsWith(path(c.named))) << problem->toStdString();
        } else {
            EXPECT_EQ(ReadAll(path(c.written)), Bytes);
        }
    }
    EXPECT_TRUE(QFileInfo(path("link")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("dangling")).isSymLink());
    EXPECT_TRUE(QFileInfo(path("D")).isDir());
    EXPECT_EQ(entries(), (QStringList{"D", "dangling", "link", "new.txt"}));
    EXPECT_EQ(QDir(path("D")).entryList(QDir::Files | QDir::Hidden), (QStringList{"later.txt", "old.txt"}));
}

// A pipe, a socket and a device are written into where they are: they stay what they are, and a reader gets
// every byte.
TEST_F(NamedOutputTest, PipesSocketsAndDevicesAreWrittenInPlace) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path("fifo")).constData(), 0600), 0);
    QByteArray fromPipe;
    std::thread pipeReader([&] {
        const int fd = ::open(QFile::encodeName(path("fifo")).constData(), O_RDONLY);
        fromPipe = Drain(fd);
        ::close(fd);
    });
    EXPECT_EQ(WriteNamedOutput(path("fifo"), Bytes), std::nullopt);
    pipeReader.join();
    EXPECT_EQ(fromPipe, Bytes);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketName = QFile::encodeName(path("socket"));
    ASSERT_LT(static_cast<std::size_t>(socketName.size()), sizeof address.sun_path);
    std::memcpy(address.sun_path, socketName.constData(), static_cast<std::size_t>(socketName.size()));
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 1), 0);
    QByteArray fromSocket;
    std::thread socketReader([&] {
        const int connection = ::accept(listener, nullptr, nullptr);
        fromSocket = Drain(connection);
        ::close(connection);
    });
    EXPECT_EQ(WriteNamedOutput(path("socket"), Bytes), std::nullopt);
    socketReader.join();
    ::close(listener);
    EXPECT_EQ(fromSocket, Bytes);

    // The node of /dev/null, made here; only a privileged user may make one.
    if (::mknod(QFile::encodeName(path("null")).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(WriteNamedOutput(path("null"), Bytes), std::nullopt);
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path("null")).constData(), &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode));
    }
    for (const char* name : {"fifo", "socket"}) {
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(path(name)).constData(), &info), 0);
        EXPECT_FALSE(S_ISREG(info.st_mode)) << name;
    }
}

} // namespace
} // namespace orbel
