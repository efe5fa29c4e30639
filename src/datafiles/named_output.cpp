#include "datafiles/named_output.h"

#include "datafiles/atomic_save.h"
#include "datafiles/file_descriptor.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace orbel {

namespace {

// As many links as the kernel follows before it gives up on a loop.
static constexpr int MostLinks = 40;

QString Problem(const QString& path, const QString& why) {
    return QStringLiteral("%1: %2").arg(path, why);
}

QString SystemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// The file a chain of links leads to, which need not exist yet (a link to a file still to be made).
std::optional<QString> FollowLinks(QString path) {
    for (int i = 0; i < MostLinks; ++i) {
        const QFileInfo info(path);
        if (!info.isSymLink()) return path;
        path = info.symLinkTarget();
    }
    return std::nullopt;
}

// A listening socket of the local machine takes the bytes over a connection.
std::optional<QString> WriteToSocket(const QString& path, QByteArrayView bytes) {
    const QByteArray name = QFile::encodeName(path);
    sockaddr_un address{};
    if (static_cast<std::size_t>(name.size()) >= sizeof address.sun_path)
        return Problem(path, SystemReason(ENAMETOOLONG));
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const FileDescriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (socket.get() < 0 ||
        ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        !WriteAll(socket.get(), bytes))
        return Problem(path, SystemReason(errno));
    return std::nullopt;
}

// A device or a pipe is written into where it is; a pipe waits for its reader, as it does for any writer.
std::optional<QString> WriteInPlace(const QString& path, QByteArrayView bytes) {
    FileDescriptor fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || !WriteAll(fd.get(), bytes)) return Problem(path, SystemReason(errno));
    if (!fd.close()) return Problem(path, SystemReason(errno));
    return std::nullopt;
}

std::optional<QString> ReplaceFile(const QString& named, const QString& file, QByteArrayView bytes) {
    const QByteArray encoded = QFile::encodeName(file);
    // The replacement is a rename in the folder, which a file's own permissions would not stop: a file
    // the user may not write is refused, as the standard tools refuse it.
    if (::access(encoded.constData(), F_OK) == 0 && ::access(encoded.constData(), W_OK) != 0)
        return Problem(named, SystemReason(errno));
    const QString folder = QFileInfo(file).absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        return Problem(named, SystemReason(errno));
    errno = 0;
    if (!WriteFileAtomic(file, bytes)) return Problem(named, SystemReason(errno != 0 ? errno : EIO));
    return std::nullopt;
}

} // namespace

std::optional<QString> WriteNamedOutput(const QString& path, QByteArrayView bytes) {
    if (path == QLatin1String(named_output::StandardOutput)) {
        if (!WriteAll(STDOUT_FILENO, bytes))
            return Problem(QStringLiteral("standard output"), SystemReason(errno));
        return std::nullopt;
    }
    const std::optional<QString> file = FollowLinks(path);
    if (!file) return Problem(path, SystemReason(ELOOP));
    struct stat info {};
    if (::stat(QFile::encodeName(*file).constData(), &info) != 0) {
        if (errno != ENOENT) return Problem(path, SystemReason(errno));
        return ReplaceFile(path, *file, bytes);
    }
    if (S_ISREG(info.st_mode)) return ReplaceFile(path, *file, bytes);
    if (S_ISDIR(info.st_mode)) return Problem(path, QStringLiteral("is a folder"));
    if (S_ISBLK(info.st_mode))
        return Problem(path, QStringLiteral("is a block device; nothing is written to a disk"));
    if (S_ISSOCK(info.st_mode)) return WriteToSocket(*file, bytes);
    return WriteInPlace(*file, bytes);
}

} // namespace orbel
