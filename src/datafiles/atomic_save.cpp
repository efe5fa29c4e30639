#include "datafiles/atomic_save.h"

#include "datafiles/bounded_read.h"
#include "datafiles/file_descriptor.h"
#include "datafiles/text_encoding.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace orbel {

namespace {

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

// Whether path is a regular file that carries the saver's mark, or is empty (a save killed before it could
// mark its file; nothing of a user's is lost with an empty file).
bool IsMarkedStaging(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    char value = 0;
    return info.st_size == 0 || ::lgetxattr(path.constData(), atomic_save::StagingMark, &value, 1) == 1;
}

// Where the save is written: the staging name, unless a file that is not ours has it (then a numbered one).
// What an interrupted save of this file left is cleared first.
std::optional<QByteArray> StagingFor(const QByteArray& target) {
    constexpr int Alternatives = 9;
    for (int i = 0; i <= Alternatives; ++i) {
        QByteArray name = target + atomic_save::StagingSuffix;
        if (i > 0) name += '.' + QByteArray::number(i);
        if (IsMarkedStaging(name)) ::unlink(name.constData());
        struct stat info {};
        if (::lstat(name.constData(), &info) != 0) return name;
    }
    return std::nullopt;
}

} // namespace

bool WriteFileAtomic(const QString& linkOrFile, QByteArrayView bytes) {
    // A link is written through: the file it names is replaced in its own folder, and the link stays a link.
    const QFileInfo named(linkOrFile);
    const QString path = named.isSymLink() ? named.canonicalFilePath() : linkOrFile;
    if (path.isEmpty()) return false; // a link to nothing
    const QByteArray target = QFile::encodeName(path);
    // Only a regular file (or a new one) is replaced: never a device, a pipe or a folder.
    struct stat existing {};
    if (::lstat(target.constData(), &existing) == 0 && !S_ISREG(existing.st_mode)) return false;
    const std::optional<QByteArray> stagingName = StagingFor(target);
    if (!stagingName) return false;
    const QByteArray& staging = *stagingName;
    FileDescriptor fd(
        ::open(staging.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, ModeFor(target)));
    if (fd.get() < 0) return false;
    // Marked until it has taken the file's name; a file system without such attributes just leaves a
    // leftover that nothing removes, which is the safe side.
    (void)::fsetxattr(fd.get(), atomic_save::StagingMark, "1", 1, 0);
    const bool written = WriteAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (written && ::rename(staging.constData(), target.constData()) == 0) {
        (void)::fremovexattr(fd.get(), atomic_save::StagingMark);
        const bool closed = fd.close();
        SyncFolder(QFileInfo(path).absolutePath());
        return closed;
    }
    ::unlink(staging.constData());
    return false;
}

bool CopyFileAtomic(const QString& source, const QString& target) {
    const BoundedRead read = ReadRegularFile(source, text_limits::MaxTextFileBytes);
    return read.bytes && WriteFileAtomic(target, *read.bytes);
}

int RemoveStaleSaves(const QString& folder, const QDateTime& before) {
    int removed = 0;
    for (const QFileInfo& entry : QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!entry.fileName().contains(QLatin1String(atomic_save::StagingSuffix))) continue;
        const QByteArray path = QFile::encodeName(entry.filePath());
        if (!IsMarkedStaging(path) || entry.lastModified() >= before) continue;
        if (::unlink(path.constData()) == 0) ++removed;
    }
    return removed;
}

} // namespace orbel
