#include "datafiles/atomic_save.h"

#include "datafiles/bounded_read.h"
#include "datafiles/file_descriptor.h"
#include "datafiles/text_encoding.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orbel {

namespace {

bool WriteAll(int fd, QByteArrayView bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// The rename is only durable once the folder's entry is on the disk too.
void SyncFolder(const QString& folder) {
    const FileDescriptor dir(
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) ::fsync(dir.get());
}

// The mode for the new file: the old file's, always writable by its owner.
mode_t ModeFor(const QByteArray& target) {
    struct stat info {};
    if (::stat(target.constData(), &info) == 0 && S_ISREG(info.st_mode))
        return (info.st_mode & 07777) | S_IWUSR;
    return 0644;
}

} // namespace

bool WriteFileAtomic(const QString& path, QByteArrayView bytes) {
    const QByteArray target = QFile::encodeName(path);
    const QByteArray staging = target + atomic_save::StagingSuffix;
    ::unlink(staging.constData()); // what an interrupted save of this file left
    FileDescriptor fd(
        ::open(staging.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, ModeFor(target)));
    if (fd.get() < 0) return false;
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.close() || !written || ::rename(staging.constData(), target.constData()) != 0) {
        ::unlink(staging.constData());
        return false;
    }
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}

bool CopyFileAtomic(const QString& source, const QString& target) {
    const BoundedRead read = ReadRegularFile(source, text_limits::MaxTextFileBytes);
    return read.bytes && WriteFileAtomic(target, *read.bytes);
}

int RemoveStaleSaves(const QString& folder) {
    const QDir dir(folder);
    int removed = 0;
    // A save of an earlier version wrote "<name>.XXXXXX" beside the file it replaced.
    static const QRegularExpression Leftover(QStringLiteral("^(.+\\.(?:infdat|txt))\\.[A-Za-z0-9]{6}$"));
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        const QString name = entry.fileName();
        bool stale = name.endsWith(QLatin1String(atomic_save::StagingSuffix));
        if (!stale) {
            const QRegularExpressionMatch match = Leftover.match(name);
            stale = match.hasMatch() && dir.exists(match.captured(1)) && entry.isFile() && !entry.isSymLink();
        }
        if (stale && QFile::remove(entry.filePath())) ++removed;
    }
    return removed;
}

} // namespace orbel
